#!/usr/bin/env bash
# Installs the Debian packages Postwright's build and tests need, when any is
# missing. Idempotent and quick when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb x11-apps imagemagick thunderbird nodejs libxml2-utils locales
  clang-14 libclang-rt-14-dev
  wixl msitools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Wine tests run Postwright on a Hebrew system too: Wine takes the system
# code page (1255) from this locale.
if ! locale -a 2>/dev/null | grep -qi '^he_IL\.utf-\?8$'; then
  echo "bootstrap: generating the he_IL.UTF-8 locale"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO localedef -i he_IL -c -f UTF-8 he_IL.UTF-8
fi
