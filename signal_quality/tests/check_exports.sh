#!/bin/sh
# The shared library must export exactly the functions the .def file lists, and the names given
# after it (the trace library's additions).
# Usage: check_exports.sh <library> <.def file> [name...]
set -eu
lib=$1
def=$2
shift 2
expected=$({
  sed -n 's/^[[:space:]]\{1,\}\(Tessel_[A-Za-z0-9_]*\).*/\1/p' "$def"
  for name; do echo "$name"; done
} | sort)
actual=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TWDBRV]$/ {print $3}' | sort)
if [ "$expected" != "$actual" ]; then
  echo "exports differ from $def"
  echo "expected:"; echo "$expected"
  echo "actual:"; echo "$actual"
  exit 1
fi
echo "exports: $(echo "$actual" | tr '\n' ' ')"
