#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12. Safe to run again:
# it installs only what is missing. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  libsoxr-dev libsndfile1-dev sox
  # /usr/bin/time: the end-to-end benchmark's wall time and peak memory
  time
  # kob-bench --timeline draws with gnuplot; the release is a zip
  gnuplot-nox zip unzip
  # the Windows builds (win32 thread model: no libwinpthread) and the tools
  # that inspect what they build
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 icoutils
  # reliability: memcheck, and clang with its libFuzzer and sanitizer runtimes
  valgrind clang libclang-rt-14-dev
  # end-to-end runs of the x64 build under Wine, with a null-sink sound server
  wine64 pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
