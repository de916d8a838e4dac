# Shared by scripts/demo and scripts/test. Source it; it does nothing on its own.

repo_root() { cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages pkg... : installs with apt whatever of these is missing, nothing otherwise.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

NATIVE_PACKAGES=(cmake make g++ libgtest-dev libbenchmark-dev libsndfile1-dev libcli11-dev
                 nlohmann-json3-dev libwebrtc-audio-processing-dev
                 pkgconf groff-base man-db clang-format)
# The fuzz preset: clang 14 and its runtimes (libFuzzer, the sanitizers).
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
WINDOWS_PACKAGES=(googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
                  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
                  wine wine32:i386 wine64 xvfb xauth)
# The linux-arm64 preset: Debian's cross compiler, GoogleTest's sources built for the target,
# and qemu-user, which runs the test programs.
ARM64_PACKAGES=(googletest g++-aarch64-linux-gnu qemu-user)
# The Windows release and its tests: Tessel.lib, a host linked the MSVC way, the zip.
PACKAGE_PACKAGES=(llvm lld clang zip python3-pytest)
# The Windows wheels beside the zip.
PACKAGE_PACKAGES+=(python3-setuptools python3-wheel)
# The Python package under Debian's own python3, installed offline into a virtual environment.
PYTHON_PACKAGES=(python3-numpy python3-pytest python3-soundfile python3-dask python3-distributed
                 python3-venv python3-pip python3-setuptools python3-wheel)
# pip builds the library into the package with CMake; python3 -m build makes the sdist and wheel.
PYTHON_PACKAGES+=(python3-build cmake g++)
# `tessel listen` records through libpulse-simple; its tests start a private PulseAudio server
# and play into it with pacat.
LIVE_PACKAGES=(libpulse-dev pulseaudio pulseaudio-utils)
# The command line's trace tests read its plots with an XML parser.
NATIVE_PACKAGES+=(libexpat1-dev)
# The format check lists the tracked files of a checkout with git.
NATIVE_PACKAGES+=(git)
# The wasm preset: Debian's Emscripten and Node, npm where Node came without it (Debian's own npm
# conflicts with a Node that bundles one), and tsc for the npm package's typed host.
WASM_PACKAGES=(emscripten nodejs node-typescript)
command -v npm >/dev/null || WASM_PACKAGES+=(npm)
# The web page's tests: Debian's Chromium headless under Selenium, sox for the test recordings.
WEB_PACKAGES=(chromium chromium-driver python3-selenium python3-pytest sox)
# The GStreamer plugin and its tests: the development files, gst-launch-1.0 and gst-inspect-1.0,
# wavparse, pulsesrc, and a PulseAudio server with pacat for the live pipeline.
GSTREAMER_PACKAGES=(libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools
                    gstreamer1.0-plugins-good gstreamer1.0-pulseaudio pulseaudio pulseaudio-utils)

jobs_count() { nproc 2>/dev/null || echo 2; }

build_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(jobs_count)"
}

# banner <line>... : a framed message that nobody can miss in a long log.
banner() {
  local rule line
  rule=$(printf '%.0s#' {1..96})
  printf '\n%s\n' "$rule"
  for line in "$@"; do printf '### %s\n' "$line"; done
  printf '%s\n\n' "$rule"
}

# print_table <header> <row>... : '|'-separated fields, printed in aligned columns.
print_table() {
  printf '%s\n' "$@" | awk -F'|' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) }
      if (NF > fields) fields = NF }
    END { for (r = 1; r <= NR; r++) {
            line = ""
            for (i = 1; i <= fields; i++)
              line = line sprintf(i < fields ? "%-" width[i] "s  " : "%s", cell[r, i])
            print line
            if (r == 1) { rule = ""; for (i = 1; i <= fields; i++) rule = rule sprintf("%s", substr("----------------------------------------------------------------------------------------------------", 1, width[i])) (i < fields ? "  " : ""); print rule }
          } }'
}
