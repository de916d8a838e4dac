#!/bin/sh
# Checks a built Windows program or DLL from its file alone, running nothing, so a machine that
# cannot run it still checks what can be checked.
# Usage: check_pe.sh <objdump> <file> <check> [arguments]
#   machine i386|x86-64      the PE machine type
#   exports <def file>       exactly the names the .def file lists, undecorated
#   imports <dll>...         nothing but these DLLs (case-insensitive)
#   tool <title> <class> <version text>
#                            a Windows GUI program with the tools' resources (icons, menu,
#                            About box, strings, accelerators) and a manifest that requests
#                            no execution level
set -eu
objdump=$1 file=$2 check=$3
shift 3
headers=$("$objdump" -p "$file")

fail() {
  echo "$file: $*"
  exit 1
}

# utf16 <text> : the text as the hex of its UTF-16LE code units, to find it in resource bytes.
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n'; }

case "$check" in
  machine)
    format=$("$objdump" -f "$file" | sed -n 's/.*file format pei-//p')
    [ "$format" = "$1" ] || fail "machine $format, expected $1"
    echo "machine: $format"
    ;;
  exports)
    expected=$(sed -n 's/^[[:space:]]\{1,\}\(Tessel_[A-Za-z0-9_]*\).*/\1/p' "$1" | sort)
    actual=$(echo "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
             sed -n 's/^[[:space:]]*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
    [ "$expected" = "$actual" ] || fail "exports differ from $1: $(echo $actual)"
    echo "exports: $(echo $actual)"
    ;;
  imports)
    allowed=$(echo "$@" | tr 'A-Z' 'a-z')
    imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    for name in $imports; do
      case " $allowed " in *" $name "*) ;; *) fail "unexpected import $name" ;; esac
    done
    echo "imports: $(echo $imports)"
    ;;
  tool)
    echo "$headers" | grep -q '^Subsystem[[:space:]].*(Windows GUI)' || fail "not a Windows GUI program"
    # Top-level entries of the resource directory: one per resource type.
    types=$(echo "$headers" | sed -n '/^The .rsrc Resource Directory section/,$p' |
            sed -n 's/^[0-9a-f]\{3\}   Entry: ID: 0x\([0-9a-f]*\).*/\1/p' | tr '\n' ' ')
    # icon, menu, dialog, string table, accelerators, icon group, manifest
    for type in 000003 000004 000005 000006 000009 00000e 000018; do
      case " $types" in *" $type "*) ;; *) fail "no resource of type 0x$type (has: $types)" ;; esac
    done
    rsrc=$(mktemp)
    trap 'rm -f "$rsrc"' EXIT
    "${objdump%objdump}objcopy" -O binary --only-section=.rsrc "$file" "$rsrc"
    bytes=$(od -An -v -tx1 "$rsrc" | tr -d ' \n')
    for text in "$1" "$2" "$3" "E&xit" "&About ..."; do
      case "$bytes" in *"$(utf16 "$text")"*) ;; *) fail "no resource text \"$text\"" ;; esac
    done
    grep -q '<assembly' "$rsrc" || fail "no manifest"
    ! grep -q 'requestedExecutionLevel\|trustInfo' "$rsrc" || fail "the manifest requests a level"
    echo "tool: Windows GUI; icons, menu, About box, strings, accelerators, manifest"
    ;;
  *)
    fail "unknown check $check"
    ;;
esac
