// The archives in tests/skinui/data, copied beside the test program by the build.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::wstring SkinTestDataFolder() {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring folder(module);
  folder.resize(folder.rfind(L'\\') + 1);
  return folder + L"skinui_data\\";
}

inline std::vector<BYTE> ReadSkinTestData(const std::wstring& name) {
  std::vector<BYTE> bytes;
  HANDLE file = ::CreateFileW((SkinTestDataFolder() + name).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = ::GetFileSize(file, nullptr);
  bytes.resize(size);
  DWORD read = 0;
  ::ReadFile(file, bytes.data(), size, &read, nullptr);
  bytes.resize(read);
  ::CloseHandle(file);
  return bytes;
}
