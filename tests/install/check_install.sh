#!/usr/bin/env bash
# Installs a build folder into a staging folder (DESTDIR) and checks what a consumer relies on:
# the header, libtessel.so with its SONAME and version, the trace library beside it, the CMake
# package and tessel.pc for this version, and a tessel command that runs from the staged prefix
# on the staged libraries, with its man page. Then installs each component on its own: together
# they are exactly the plain install, and none holds another's files.
# Usage: check_install.sh <build folder> <stage> <prefix> <libdir> <version>
set -euo pipefail
build=$1 stage=$2 prefix=$3 libdir=$4 version=$5
root=$stage$prefix
major=${version%%.*}
fail() { echo "check_install: $*" >&2; exit 1; }

rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null

for file in include/tessel.h "$libdir/libtessel.so.$version" "$libdir/libtessel_trace.so" \
            "$libdir/cmake/Tessel/TesselConfig.cmake" \
            "$libdir/cmake/Tessel/TesselConfigVersion.cmake" "$libdir/pkgconfig/tessel.pc" \
            bin/tessel share/man/man1/tessel.1; do
  [ -f "$root/$file" ] || fail "missing $prefix/$file"
done
# The linker finds libtessel.so, programs load libtessel.so.MAJOR, the file carries the version.
[ "$(readlink "$root/$libdir/libtessel.so")" = "libtessel.so.$major" ] || fail "libtessel.so link"
[ "$(readlink "$root/$libdir/libtessel.so.$major")" = "libtessel.so.$version" ] ||
  fail "libtessel.so.$major link"
soname=$(objdump -p "$root/$libdir/libtessel.so.$version" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = "libtessel.so.$major" ] || fail "SONAME is '$soname', not libtessel.so.$major"
# Hosts look for the trace library beside the libtessel they loaded.
nm -D --defined-only "$root/$libdir/libtessel_trace.so" | grep -qw TesselTrace_SetObserver ||
  fail "the staged libtessel_trace.so does not export TesselTrace_SetObserver"
grep -qx "prefix=$prefix" "$root/$libdir/pkgconfig/tessel.pc" || fail "tessel.pc names another prefix"
grep -q "PACKAGE_VERSION \"$version\"" "$root/$libdir/cmake/Tessel/TesselConfigVersion.cmake" ||
  fail "the CMake package's version file is not for $version"

tessel=$root/bin/tessel
# The command runs on the installed libtessel.so, and watches the detector through the trace
# library beside it.
loaded=$(env -u LD_LIBRARY_PATH ldd "$tessel" | awk '$1 ~ /^libtessel/ { print $3 }')
[ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$root/$libdir/libtessel.so.$version")" ] ||
  fail "bin/tessel loads '$loaded' instead of the staged library"
[ "$(env -u LD_LIBRARY_PATH "$tessel" --version | head -n 1)" = "tessel $version" ] ||
  fail "tessel --version does not start with 'tessel $version'"
samples=$(dirname "$0")/../../samples/speech-16k.wav
env -u LD_LIBRARY_PATH -u TESSEL_TRACE_LIBRARY "$tessel" analyze --trace "$stage/trace.csv" \
  "$samples" >/dev/null || fail "tessel analyze --trace fails on the staged install"
[ "$(wc -l <"$stage/trace.csv")" -gt 100 ] || fail "the staged trace is empty"

# The man page renders without warnings and documents both commands and this version.
page=$root/share/man/man1/tessel.1
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff fails on tessel.1"
[ -z "$warnings" ] || fail "tessel.1 has warnings: $warnings"
text=$(MANWIDTH=100 man -l "$page" 2>/dev/null)
for expected in "tessel snr [OPTIONS] files..." "tessel analyze [OPTIONS] files..." "--frame-ms" \
                "tessel $version"; do
  grep -qF -- "$expected" <<<"$text" || fail "tessel.1 does not mention '$expected'"
done
# The components, each into a stage of its own.
(cd "$stage" && find . -type f -o -type l | grep -v '^./trace.csv$' | sort) >"$stage.all"
: >"$stage.parts"
components=(runtime dev trace cli)
grep -qx 'TESSEL_BUILD_GSTREAMER:BOOL=ON' "$build/CMakeCache.txt" && components+=(gstreamer)
for component in "${components[@]}"; do
  part=$stage.$component
  rm -rf "$part"
  DESTDIR=$part cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
  [ -d "$part" ] || fail "component $component installs nothing"
  (cd "$part" && find . -type f -o -type l) >>"$stage.parts"
  rm -rf "$part"
done
sort "$stage.parts" | uniq -d | grep . && fail "files installed by two components"
sort -o "$stage.parts" "$stage.parts"
diff "$stage.all" "$stage.parts" >&2 || fail "the components differ from the plain install"
for expected in "runtime:$libdir/libtessel.so.$version" "dev:include/tessel.h"; do
  DESTDIR=$stage.one cmake --install "$build" --prefix "$prefix" --component "${expected%%:*}" \
    >/dev/null
  [ -f "$stage.one$prefix/${expected#*:}" ] || fail "component ${expected%%:*} lacks ${expected#*:}"
  rm -rf "$stage.one"
done
rm -f "$stage.all" "$stage.parts"
echo "staged install in $root: checked, and its components ${components[*]}"
