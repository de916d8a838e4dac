#!/bin/sh
# Tessel.dll must need nothing but system DLLs: the compiler's runtimes are linked in.
set -eu
objdump=$1
dll=$2
imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo "$imports" | tr '\n' ' ')"
for name in $imports; do
  case "$name" in
    kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll|ucrtbase.dll|api-ms-win-crt-*.dll) ;;
    *) echo "unexpected import: $name"; exit 1 ;;
  esac
done
