#include "skinui/ImageSource.h"

#include <cwchar>

#include "skinui/SkinFileReader.h"
#include "skinui/UIManager.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

// Skin images are small; anything near this size is not one, and refusing it keeps the
// sizes inside what the decoder takes.
constexpr DWORD kMaxImageFileBytes = 64u * 1024 * 1024;

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (path.empty()) return false;
  Utils::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
  if (!file) return false;
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      size.QuadPart > kMaxImageFileBytes)
    return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), 0);
  DWORD read = 0;
  if (!::ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
      read != bytes->size()) {
    bytes->clear();
    return false;
  }
  return true;
}

bool ReadSkinFileBytes(const std::wstring& name, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (name.empty()) return false;
  if (ReadSkinFile(name, bytes, kMaxImageFileBytes) == SkinFileStatus::Ok) return true;
  return ReadWholeFile(name, bytes);
}

bool ReadResourceBytes(const std::wstring& name, const std::wstring& type,
                       std::vector<BYTE>* bytes) {
  bytes->clear();
  if (name.empty() || type.empty()) return false;
  HMODULE module = CUIManager::ResourceInstance();
  LPCWSTR resourceName = name.c_str();
  if (iswdigit(name[0]))
    resourceName = MAKEINTRESOURCEW(static_cast<WORD>(wcstoul(name.c_str(), nullptr, 10)));
  HRSRC resource = ::FindResourceW(module, resourceName, type.c_str());
  if (resource == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(module, resource);
  DWORD size = ::SizeofResource(module, resource);
  const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  if (data == nullptr || size == 0) return false;
  bytes->assign(data, data + size);
  return true;
}

}  // namespace SkinUI
