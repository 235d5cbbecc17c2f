#include "utils/FileSystem.h"

#include <windows.h>
#include <shlwapi.h>

namespace Utils {
namespace {

constexpr wchar_t kTempWorkFolderName[] = L"~ZarnTemp\\";

// Creates one folder unless something already exists at the path.
bool EnsureFolder(const std::wstring& path) {
  if (path.size() >= MAX_PATH) return false;
  if (::PathFileExistsW(path.c_str())) return true;
  return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

}  // namespace

bool CreateDirectoryTree(const std::wstring& path) {
  if (path.size() > MAX_PATH) return false;
  for (size_t slash = path.find(L'\\'); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1)) {
    const std::wstring prefix = path.substr(0, slash + 1);
    // "C:\" and "\\server\" exist or cannot be made; only real folders are created.
    if (::PathFileExistsW(prefix.c_str())) continue;
    if (!EnsureFolder(prefix)) return false;
  }
  if (!path.empty() && path.back() == L'\\') return true;
  return EnsureFolder(path);
}

std::wstring GetTempWorkFolderIn(const std::wstring& tempPath) {
  if (tempPath.empty()) return {};
  std::wstring folder = tempPath + kTempWorkFolderName;
  if (folder.size() > MAX_PATH - 1) return {};
  if (::PathFileExistsW(folder.c_str())) return folder;
  if (!::CreateDirectoryW(folder.c_str(), nullptr)) return {};
  return folder;
}

std::wstring GetTempWorkFolder() {
  wchar_t buffer[MAX_PATH] = {};
  DWORD length = ::GetTempPathW(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return {};
  return GetTempWorkFolderIn(std::wstring(buffer, length));
}

}  // namespace Utils
