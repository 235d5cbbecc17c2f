// A fresh folder below the test prefix's temporary path, removed with everything in it
// when the test ends.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    path_ = std::wstring(temp) + L"folvane-test-" + std::to_wstring(::GetCurrentProcessId()) +
            L"-" + std::to_wstring(++counter);
    ::CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    std::wstring from = path_ + L'\0';  // SHFileOperation wants a double-NUL list
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }

  // Writes bytes to a file below the folder (relative name) and answers its full path.
  std::wstring WriteFile(const std::wstring& relative, const std::string& bytes) const {
    std::wstring full = path_ + L"\\" + relative;
    HANDLE file = ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      ::CloseHandle(file);
    }
    return full;
  }

 private:
  std::wstring path_;
};
