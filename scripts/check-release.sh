#!/usr/bin/env bash
# Checks what the release build produced: i686 objects only. Once the program exists,
# also that it is a PE32 GUI executable whose imports Windows XP can satisfy.
set -euo pipefail
dir="$1"
fail() { echo "check-release: $*" >&2; exit 1; }

mapfile -t libs < <(find "$dir" -name 'lib*.a' | sort)
[ ${#libs[@]} -gt 0 ] || fail "no libraries in $dir"
for lib in "${libs[@]}"; do
  i686-w64-mingw32-objdump -f "$lib" | grep -q 'file format pe-i386' ||
    fail "$lib is not built for i686"
done
echo "[check-release] ${#libs[@]} libraries, all i686"
