#!/usr/bin/env bash
# Prepares a fresh Debian 12 machine to build and test the installer:
# Debian packages, deb-src entries, and the three libraries that Debian only ships
# as source (curl, jsoncpp, the 7z decoder of the LZMA SDK), built with both MinGW
# toolchains into a cache folder that later runs reuse. Safe to run again: every
# step checks whether its result is already there and says so.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
cache="${FOLVANE_DEPS_CACHE:-$HOME/.cache/folvane-deps}"
triples=(i686-w64-mingw32 x86_64-w64-mingw32)

step() { printf '[bootstrap] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  cmake ninja-build make python3 dpkg-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth imagemagick xdotool fonts-wqy-microhei
  googletest libstb-dev libz-mingw-w64-dev 7zip
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    step "Debian packages: all present"
    return
  fi
  step "Debian packages: installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# apt-get source needs deb-src entries. They are derived from the machine's own
# Debian sources so that no mirror name is written down here.
src_list=/etc/apt/sources.list.d/folvane-deb-src.sources
add_deb_src() {
  if [ -f "$src_list" ]; then
    step "deb-src entries: present"
    return
  fi
  local out
  out="$(mktemp)"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822 stanzas: keep those of type deb whose suites are Debian's, retyped deb-src.
    awk 'BEGIN{RS=""; ORS="\n\n"}
         /(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:[^\n]*(bookworm|trixie|bullseye|sid|stable)/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$out"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' "$f" >>"$out"
  done
  if ! [ -s "$out" ]; then
    echo "bootstrap: no Debian apt sources found to derive deb-src entries from" >&2
    exit 1
  fi
  step "deb-src entries: writing $src_list"
  if grep -q '^deb-src ' "$out"; then
    as_root cp "$out" "${src_list%.sources}.list"; src_list="${src_list%.sources}.list"
  else
    as_root cp "$out" "$src_list"
  fi
  rm -f "$out"
  as_root apt-get update -q
}

install_packages
add_deb_src

# ---- source dependencies -------------------------------------------------------
# Each library is built once per target into $cache/<triple>; a stamp file holding the
# source version marks a finished build, so a second run skips it.

fetch_source() { # name -> prints the unpacked source folder
  local name="$1" dir
  mkdir -p "$cache/src"
  dir="$(find "$cache/src" -maxdepth 1 -type d -name "$name-[0-9]*" | sort | tail -n 1)"
  if [ -z "$dir" ]; then
    step "fetching Debian source of $name" >&2
    (cd "$cache/src" && apt-get source -q "$name" >"$cache/src/$name.log" 2>&1) || {
      cat "$cache/src/$name.log" >&2; exit 1; }
    dir="$(find "$cache/src" -maxdepth 1 -type d -name "$name-[0-9]*" | sort | tail -n 1)"
  fi
  [ -n "$dir" ] || { echo "bootstrap: source of $name not unpacked" >&2; exit 1; }
  printf '%s\n' "$dir"
}

stamp_ok() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }

cmake_dep() { # triple name srcdir version extra-cmake-args...
  local triple="$1" name="$2" src="$3" version="$4"; shift 4
  local arch="${triple%%-*}" prefix="$cache/$triple" bdir="$cache/build/$triple/$name"
  local stamp="$prefix/.$name.stamp"
  if stamp_ok "$stamp" "$version"; then
    step "$name for $triple: cached ($version)"
    return
  fi
  step "$name for $triple: building $version (log in $bdir/build.log)"
  rm -rf "$bdir"; mkdir -p "$bdir"
  if ! { cmake -S "$src" -B "$bdir" -G Ninja \
           -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$arch.cmake" \
           -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
           -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" &&
         cmake --build "$bdir" &&
         cmake --install "$bdir"; } >"$bdir/build.log" 2>&1; then
    tail -n 40 "$bdir/build.log" >&2
    echo "bootstrap: building $name for $triple failed" >&2
    exit 1
  fi
  printf '%s' "$version" >"$stamp"
}

curl_src="$(fetch_source curl)"
jsoncpp_src="$(fetch_source libjsoncpp)"
sevenzip_src="$(fetch_source 7zip)"

for triple in "${triples[@]}"; do
  # Windows XP is the oldest system the shipped program runs on: building curl against
  # the XP API keeps Vista-only imports (BCryptGenRandom, inet_pton, if_nametoindex)
  # out of its import table.
  xp_flags=""
  [ "$triple" = i686-w64-mingw32 ] && xp_flags="-D_WIN32_WINNT=0x0501"
  cmake_dep "$triple" curl "$curl_src" "$(basename "$curl_src")-$xp_flags" \
    -DCMAKE_C_FLAGS="-O2 $xp_flags" \
    -DCURL_USE_SCHANNEL=ON -DHTTP_ONLY=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_DISABLE_LDAP=ON -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_ZLIB=ON -DENABLE_UNIX_SOCKETS=OFF -DENABLE_IPV6=ON -DCURL_STATIC_CRT=OFF
  cmake_dep "$triple" jsoncpp "$jsoncpp_src" "$(basename "$jsoncpp_src")" \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=ON \
    -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF
  cmake_dep "$triple" lzmasdk "$repo/cmake/lzma-sdk" \
    "$(basename "$sevenzip_src")-$(cksum <"$repo/cmake/lzma-sdk/CMakeLists.txt" | cut -d' ' -f1)" \
    -DLZMA_SDK_C_DIR="$sevenzip_src/C"
done
step "done; dependencies in $cache"
