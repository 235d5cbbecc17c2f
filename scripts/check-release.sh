#!/usr/bin/env bash
# Checks what the release build produced: i686 objects only, and for every executable a
# PE32 GUI program whose imports Windows XP can satisfy (no DLL that XP lacks and none
# of the Vista-and-later functions that toolchains and libraries tend to bring in).
# Usage: check-release.sh BUILD_DIR   or   check-release.sh --exe FILE.exe
set -euo pipefail
fail() { echo "check-release: $*" >&2; exit 1; }
objdump=i686-w64-mingw32-objdump

allowed_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|urlmon|comctl32|comdlg32|ws2_32|wsock32|crypt32|secur32|msvcrt|wtsapi32|netapi32|imm32|msimg32|gdiplus|version|winmm|wininet|rpcrt4|iphlpapi|userenv|ntdll)\.dll$'
vista_functions='^(GetTickCount64|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|Wake(All)?ConditionVariable|InitializeSRWLock|(Acquire|Release|TryAcquire)SRWLock(Exclusive|Shared)|InitOnce(ExecuteOnce|BeginInitialize|Complete)|Fls(Alloc|Free|GetValue|SetValue)|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]|(Get|Set)FileInformationByHandle(Ex)?|CompareStringEx|LCIDToLocaleName|LocaleNameToLCID|GetLocaleInfoEx|GetUserDefaultLocaleName|Create(Event|Mutex|Semaphore)Ex[AW]|CancelIoEx|GetQueuedCompletionStatusEx|SetDefaultDllDirectories|AddDllDirectory|RemoveDllDirectory|SetThreadDescription|GetThreadDescription|QueryFullProcessImageName[AW]|GetErrorMode|RegGetValue[AW]|RegDeleteKeyEx[AW]|RegSetKeyValue[AW]|SHGetKnownFolderPath|inet_pton|inet_ntop|InetPtonW|InetNtopW|if_nametoindex|if_indextoname|WSAPoll|BCryptGenRandom|GetSystemTimePreciseAsFileTime|GetCurrentProcessorNumber|GetDpiForWindow|SetProcessDpiAwarenessContext|TaskDialog(Indirect)?|DwmExtendFrameIntoClientArea|ChangeWindowMessageFilter(Ex)?)$'

check_exe() {
  local exe="$1" dump
  dump="$($objdump -p "$exe")" || fail "$exe: not a PE file"
  grep -qE '^Magic[[:space:]]+010b' <<<"$dump" || fail "$exe: not PE32 (32-bit)"
  grep -qE '^Subsystem[[:space:]]+00000002' <<<"$dump" || fail "$exe: not a GUI-subsystem program"
  local dlls bad_dlls functions bad_functions
  dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u)"
  bad_dlls="$(grep -vE "$allowed_dlls" <<<"$dlls" || true)"
  [ -z "$bad_dlls" ] || fail "$exe imports DLLs that Windows XP lacks: $(echo $bad_dlls)"
  # Import lines read "<vma> <hint> <name>" inside the import tables.
  functions="$(awk '/The Import Tables/{on=1} /^The Export Tables|^PE File Base Relocations/{on=0}
                    on && NF==3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' <<<"$dump" | sort -u)"
  [ -n "$functions" ] || fail "$exe: no imports found (objdump output not understood)"
  bad_functions="$(grep -E "$vista_functions" <<<"$functions" || true)"
  [ -z "$bad_functions" ] || fail "$exe imports functions that Windows XP lacks: $(echo $bad_functions)"
  echo "[check-release] $(basename "$exe"): PE32, GUI, $(wc -l <<<"$dlls") DLLs and $(wc -l <<<"$functions") functions, all on Windows XP"
}

if [ "${1:-}" = "--exe" ]; then
  check_exe "$2"
  exit 0
fi

dir="$1"
mapfile -t libs < <(find "$dir" -name 'lib*.a' -not -path '*/googletest/*' | sort)
[ ${#libs[@]} -gt 0 ] || fail "no libraries in $dir"
for lib in "${libs[@]}"; do
  formats="$($objdump -f "$lib" | sed -n 's/.*file format //p' | sort -u)"
  [ "$formats" = pe-i386 ] || fail "$lib is not built for i686 only (${formats//$'\n'/, })"
done
echo "[check-release] ${#libs[@]} libraries, all i686"
mapfile -t exes < <(find "$dir" -name '*.exe' -not -path '*/CMakeFiles/*' | sort)
for exe in "${exes[@]}"; do check_exe "$exe"; done
