#!/usr/bin/env bash
# Installs the Debian packages Lintrel builds and tests with; skips apt when
# everything is already there.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libgl-dev)
# The language server's JSON, and the editor whose own client its test drives.
packages+=(nlohmann-json3-dev neovim)
# The Debian package and its checks: cpack's Depends from dpkg-shlibdeps, the
# desktop entry, the MIME type, the man pages, KDE's highlighting engine.
packages+=(dpkg-dev file desktop-file-utils shared-mime-info groff-base libkf5syntaxhighlighting-tools)
for option in "$@"; do
  case "$option" in
    --window) packages+=(xvfb xauth imagemagick xdotool openbox) ;;  # the window on a virtual display with a window manager, keys, screenshots
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;      # libFuzzer and clang's sanitizer runtimes
    --bench) packages+=(hyperfine time valgrind) ;;       # whole-process timings, peak memory, instruction counts
  esac
done
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
