#!/bin/sh
# library-search-path.sh PROGRAM EXPECTED: fails unless PROGRAM's library
# search path (RUNPATH) is exactly EXPECTED.
set -eu
found=$(objdump -p "$1" | awk '$1 == "RUNPATH" { print $2 }')
if [ "$found" != "$2" ]; then
  echo "$1: RUNPATH [$found], expected [$2]" >&2
  exit 1
fi
