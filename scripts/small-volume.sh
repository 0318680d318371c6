#!/usr/bin/env bash
# A 1 MiB volume for the tests of saving onto a full disk.
#   small-volume.sh mount DIR    mounts a tmpfs on DIR and marks it; without the right to
#                                mount, says so and leaves DIR unmarked (the tests then skip)
#   small-volume.sh unmount DIR
set -uo pipefail
dir=$2
case "$1" in
  mount)
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir"
    if mount -t tmpfs -o size=1m,mode=0777 pelio-small "$dir" 2>/dev/null; then
      touch "$dir/.small-volume"
    else
      echo "no small volume: this user cannot mount a tmpfs on $dir"
    fi ;;
  unmount)
    if mountpoint -q "$dir"; then umount "$dir"; fi ;;
  *) echo "usage: $0 mount|unmount DIR" >&2; exit 2 ;;
esac
exit 0
