// The project's fake package/uninstaller program (tools/FakePackage.cpp) as tests use it.
// A test target that includes this defines FAKE_PACKAGE_EXE as the program's build path,
// a Linux path; under Wine the Linux root is drive Z:.
#pragma once

#include <windows.h>

#include <string>

#ifndef FAKE_PACKAGE_EXE
#error "FAKE_PACKAGE_EXE must name the fake package program"
#endif

// "Z:\..." for an absolute Linux path; any other path unchanged but for its slashes.
inline std::wstring WindowsPathOfBuildFile(const std::string& linuxPath) {
  std::wstring path(linuxPath.begin(), linuxPath.end());
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (!path.empty() && path[0] == L'\\') path = L"Z:" + path;
  return path;
}

inline std::wstring FakeProgramPath() { return WindowsPathOfBuildFile(FAKE_PACKAGE_EXE); }

// Copies the fake program to `target` (a full path); true on success.
inline bool CopyFakeProgram(const std::wstring& target) {
  return ::CopyFileW(FakeProgramPath().c_str(), target.c_str(), FALSE) != FALSE;
}

// Gives the fake program its script for the life of the object: the script is written
// to `scriptPath` and named in this process's environment, which children inherit.
class FakeScript {
 public:
  FakeScript(const std::wstring& scriptPath, const std::string& script) {
    HANDLE file = ::CreateFileW(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ::WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
      ::CloseHandle(file);
    }
    ::SetEnvironmentVariableW(kVariable, scriptPath.c_str());
  }
  ~FakeScript() { ::SetEnvironmentVariableW(kVariable, nullptr); }
  FakeScript(const FakeScript&) = delete;
  FakeScript& operator=(const FakeScript&) = delete;

  static constexpr const wchar_t* kVariable = L"FOLVANE_FAKE_SCRIPT";
};
