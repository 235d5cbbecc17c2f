#!/usr/bin/env bash
# The one command that builds and tests everything on a fresh Debian 12 machine:
# installs what is missing, builds the shipped 32-bit program and the x86-64 test build,
# and runs every test under Wine with a virtual display.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
cd "$repo"

say() { printf '[test] %s\n' "$*"; }
# Configure quietly, but show everything CMake said when it fails.
configure() {
  local log
  log="$(mktemp)"
  if ! cmake --preset "$1" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

bash "$here/bootstrap.sh"

say "configuring and building the release preset (i686)"
configure release
cmake --build --preset release
bash "$here/check-release.sh" build/release

say "configuring and building the test preset (x86-64)"
configure test
cmake --build --preset test

export WINEPREFIX="$repo/build/test/wineprefix"
export WINEDEBUG=-all
wineserver=/usr/lib/wine/wineserver
xvfb_pid=""
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# A virtual display of our own for the tests that open windows.
for n in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
say "starting Xvfb on $display"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

# One wineserver for the whole run: each test process then starts in a fraction of a second.
mkdir -p "$WINEPREFIX"
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -p
if [ ! -f "$WINEPREFIX/.folvane-ready" ]; then
  say "making the Wine prefix (first time only, about half a minute)"
fi
build/test/wine-run.sh cmd /c exit >/dev/null 2>&1

say "running the tests"
set +e
ctest --preset test -j 2 2>&1 | tee build/test/ctest.log
status=${PIPESTATUS[0]}
set -e
exit "$status"
