#!/usr/bin/env bash
# Builds one consumer project against the staged install made by check_install.sh, and runs it.
# Usage: build_consumer.sh cmake_consumer|pkg_config_consumer <source> <work> <stage> <prefix>
#                          <libdir> <version>
set -euo pipefail
kind=$1 source=$2 work=$3 stage=$4 prefix=$5 libdir=$6 version=$7
root=$stage$prefix
fail() { echo "build_consumer: $*" >&2; exit 1; }
rm -rf "$work"

case "$kind" in
  cmake_consumer)
    # The version file must refuse the next major version, and accept this one.
    next_major=$((${version%%.*} + 1)).0
    if cmake -S "$source" -B "$work" -DCMAKE_PREFIX_PATH="$root" \
         -DTESSEL_WANTED_VERSION="$next_major" >"$work.log" 2>&1; then
      fail "find_package(Tessel $next_major) accepted version $version"
    fi
    grep -q "$version" "$work.log" || { cat "$work.log"; fail "the refusal does not name $version"; }
    rm -rf "$work"
    cmake -S "$source" -B "$work" -DCMAKE_PREFIX_PATH="$root" -DTESSEL_WANTED_VERSION="$version" \
      >/dev/null
    cmake --build "$work" >/dev/null
    ;;
  pkg_config_consumer)
    # The usual way to point pkg-config at a staged install: its .pc folder, and the stage as
    # the sysroot in front of every path tessel.pc names.
    export PKG_CONFIG_LIBDIR=$root/$libdir/pkgconfig PKG_CONFIG_SYSROOT_DIR=$stage
    unset PKG_CONFIG_PATH
    [ "$(pkg-config --modversion tessel)" = "$version" ] || fail "pkg-config --modversion tessel"
    cp -r "$source" "$work"
    make -s -C "$work"
    export LD_LIBRARY_PATH=$root/$libdir
    ;;
  *) fail "unknown consumer $kind" ;;
esac

loaded=$(ldd "$work/consumer" | awk '$1 ~ /^libtessel/ { print $3 }')
[ "$(realpath "$loaded")" = "$(realpath "$root/$libdir/libtessel.so.$version")" ] ||
  fail "the consumer loads '$loaded' instead of the staged library"
"$work/consumer"
