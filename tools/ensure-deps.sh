#!/usr/bin/env bash
# Installs what building and testing Zinnow needs on Debian 12, and nothing that is already there.
# Safe to run again and again: every step first looks whether its work is done.
set -euo pipefail

packages=(
  cmake ninja-build make g++ clang clang-format libclang-rt-14-dev libfuzzer-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  googletest
  wine wine64 fonts-wine
  xvfb x11-utils xdotool xclip imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho
  locales
  git zip unzip
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "ensure-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

# The tests run Wine with a Japanese locale so that its ANSI code page is 932 (Shift_JIS).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "ensure-deps: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
fi
