#!/usr/bin/env bash
# One fuzz target as a test: replay its corpus and saved crashers, then fuzz for a bounded time.
# usage: run-fuzz.sh TARGET CORPUS CRASHERS WORKDIR SECONDS
set -euo pipefail
target=$1 corpus=$2 crashers=$3 work=$4 seconds=$5
mkdir -p "$work/corpus"
inputs=()
for d in "$corpus" "$crashers"; do
  [ -d "$d" ] && [ -n "$(ls -A "$d" 2>/dev/null)" ] && inputs+=("$d")
done
if [ ${#inputs[@]} -gt 0 ]; then
  "$target" -runs=0 "${inputs[@]}" >"$work/replay.log" 2>&1 || { tail -40 "$work/replay.log"; exit 1; }
fi
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/" \
  "$work/corpus" "${inputs[@]}" >"$work/fuzz.log" 2>&1 || { tail -60 "$work/fuzz.log"; exit 1; }
grep -E '^#[0-9]+.*DONE' "$work/fuzz.log" | tail -1 || true
