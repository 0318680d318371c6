#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs and Wine's 32-bit loader is installed;
# otherwise prints why not and exits 1. Tried with a tiny 32-bit program, since the kernel
# may have its 32-bit emulation switched off whatever its version.
#   can-run-32bit.sh [--without-wine]   (the program only, not Wine's loader)
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/exit0.asm" <<'ASM'
BITS 32
global _start
section .text
_start: mov eax, 1      ; exit(0)
        xor ebx, ebx
        int 0x80
ASM
if ! nasm -f elf32 -o "$work/exit0.o" "$work/exit0.asm" || ! ld -m elf_i386 -o "$work/exit0" "$work/exit0.o"; then
  echo "a 32-bit test program could not be built (nasm, ld)"
  exit 1
fi
if ! out=$("$work/exit0" 2>&1); then
  echo "this machine does not run 32-bit programs (${out##*: })"
  exit 1
fi
if [ "${1:-}" != --without-wine ] && [ ! -x /usr/lib/wine/wine ]; then
  echo "Wine's 32-bit loader is not installed"
  exit 1
fi
