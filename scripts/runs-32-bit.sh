#!/usr/bin/env bash
# Succeeds when this host executes 32-bit x86 programs: builds the smallest 32-bit Linux program
# (exit code 42) with the binutils and runs it. Some kernels refuse such code altogether.
set -uo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $42, %%ebx\n  int $0x80\n' >"$dir/exit.s"
as --32 "$dir/exit.s" -o "$dir/exit.o" 2>/dev/null && ld -m elf_i386 "$dir/exit.o" -o "$dir/exit" 2>/dev/null || exit 1
"$dir/exit" 2>/dev/null
[ $? -eq 42 ]
