#include "app/WindowsVersion.h"

#include <string>

#include "utils/ScopedHandle.h"

namespace {

using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);

std::wstring Numbered(DWORD major, DWORD minor, DWORD build) {
  return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(build);
}

}  // namespace

std::wstring VersionNameFromNumbers(DWORD major, DWORD minor, DWORD build, bool serverR2) {
  build &= 0xFFFF;
  if (major <= 4) return L"XP-";
  if (major == 5) {
    if (minor == 0) return L"2K";
    if (minor == 1) return L"XP";
    if (minor == 2) return serverR2 ? L"Server 2003 R2" : L"Server 2003";
    return L"XP+";
  }
  if (major == 6) {
    switch (minor) {
      case 0: return L"Vista";
      case 1: return L"7";
      case 2: return L"8";
      case 3: return L"8.1";
      default: return L"8.1+";
    }
  }
  if (major == 10) return minor == 0 ? L"10" : L"10+";
  return Numbered(major, minor, build);
}

void GetWindowsVersionName(std::wstring& family, std::wstring& version) {
  family = L"Windows";
  Utils::ScopedModule ntdll(::LoadLibraryA("ntdll.dll"));
  if (!ntdll) {
    version = L"XP-";
    return;
  }
  DWORD major = 0, minor = 0, build = 0;
  auto getNumbers = reinterpret_cast<RtlGetNtVersionNumbersFn>(
      reinterpret_cast<void*>(::GetProcAddress(ntdll.get(), "RtlGetNtVersionNumbers")));
  if (getNumbers) getNumbers(&major, &minor, &build);
  ntdll.reset();
  const bool serverR2 = major == 5 && minor == 2 && ::GetSystemMetrics(SM_SERVERR2) != 0;
  version = VersionNameFromNumbers(major, minor, build, serverR2);
}

bool Wow64Answer(bool functionFound, bool callSucceeded, BOOL reported, WORD nativeArchitecture) {
  if (!functionFound) return false;
  if (callSucceeded) return reported != FALSE;
  return nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool IsRunningUnderWow64() {
  HMODULE kernel = ::GetModuleHandleA("kernel32");
  auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
  if (!isWow64) return Wow64Answer(false, false, FALSE, 0);
  BOOL reported = FALSE;
  if (isWow64(::GetCurrentProcess(), &reported)) return Wow64Answer(true, true, reported, 0);
  // GetNativeSystemInfo is XP and later; it is looked up like IsWow64Process.
  SYSTEM_INFO info{};
  auto nativeInfo = reinterpret_cast<GetNativeSystemInfoFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "GetNativeSystemInfo")));
  if (nativeInfo) nativeInfo(&info); else ::GetSystemInfo(&info);
  return Wow64Answer(true, false, FALSE, info.wProcessorArchitecture);
}
