#!/usr/bin/env bash
# Packs the npm package, installs the tarball into an empty project offline, from the file, and
# runs a host written as a user writes one with Node's own test runner; where tsc is found
# (Debian's node-typescript), a typed host is checked against the package's declarations.
# Usage: install_package.sh <package folder> <work folder> <host sources> <speech-16k.wav>
set -euo pipefail
package=$1 work=$2 host=$3 recording=$4
version=$(node -p "require('$package/package.json').version")

rm -rf "$work"
mkdir -p "$work/project"
(cd "$package" && npm pack --silent --pack-destination "$work" >/dev/null)
tarball=$work/tessel-$version.tgz
[ -f "$tarball" ] || { echo "npm pack made no $tarball"; exit 1; }

expected="package/LICENSE package/README.md package/package.json package/tessel-core-portable.mjs \
package/tessel-core-portable.wasm package/tessel-core.mjs package/tessel-core.wasm package/tessel.d.ts package/tessel.mjs"
listed=$(tar -tzf "$tarball" | LC_ALL=C sort | paste -sd " ")
if [ "$listed" != "$expected" ]; then
  echo "the tarball holds: $listed"
  echo "expected:          $expected"
  exit 1
fi

cd "$work/project"
cp "$host"/host.test.mjs "$host"/host.ts "$host"/tsconfig.json "$recording" .
printf '{ "name": "tessel-host", "private": true, "type": "module" }\n' >package.json
npm install --offline --no-audit --no-fund --silent "$tarball"
[ -f node_modules/tessel/tessel-core.wasm ] || { echo "the install holds no tessel-core.wasm"; exit 1; }

if command -v tsc >/dev/null; then
  tsc -p tsconfig.json
  echo "tsc: host.ts checks against tessel.d.ts"
else
  echo "tsc not found (Debian's node-typescript): the typed host was not checked"
fi
node --test
