#include "skinui/ImageSource.h"

#include <cwchar>

#include "skinui/SevenZipArchive.h"
#include "skinui/UIManager.h"
#include "skinui/ZipArchive.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

// Skin images are small; anything near this size is not one, and refusing it keeps the
// sizes inside what the decoder takes.
constexpr uint64_t kMaxImageFileBytes = 64u * 1024 * 1024;

bool ReadSevenZipItem(const SevenZipArchive* archive, const std::wstring& name,
                      std::vector<BYTE>* bytes) {
  uint32_t index = 0;
  uint64_t size = 0;
  if (FindSevenZipItem(archive, name.c_str(), &index, &size) != StatusOk) return false;
  if (size == 0 || size > kMaxImageFileBytes) return false;
  bytes->assign(static_cast<size_t>(size), 0);
  return ExtractSevenZipItem(archive, index, bytes->data()) == StatusOk;
}

bool ReadZipEntry(ZipArchive* archive, const std::wstring& name, std::vector<BYTE>* bytes) {
  int32_t index = -1;
  ZipEntry entry;
  if (FindZipEntry(archive, name.c_str(), true, &index, &entry) != StatusOk) return false;
  if (entry.uncompressedSize == 0 || entry.uncompressedSize > kMaxImageFileBytes) return false;
  bytes->assign(entry.uncompressedSize, 0);
  ArchiveStatus status = ExtractZipEntry(archive, index, bytes->data(),
                                         entry.uncompressedSize, kZipSourceMemory);
  return status == StatusOk || status == StatusMore;
}

ResourceArchiveHandle OpenArchiveFile(const std::wstring& path) {
  ResourceArchiveHandle handle;
  if (CUIManager::IsSevenZipArchive())
    handle.sevenZip = OpenSevenZipFile(path.c_str());
  else
    handle.zip = OpenZipArchive(path.c_str(), 0, kZipSourceFile);
  return handle;
}

void CloseArchiveHandle(ResourceArchiveHandle& handle) {
  if (handle.sevenZip != nullptr) CloseSevenZip(handle.sevenZip);
  if (handle.zip != nullptr) CloseZipArchive(handle.zip);
  handle = ResourceArchiveHandle();
}

bool ReadFromHandle(const ResourceArchiveHandle& handle, const std::wstring& name,
                    std::vector<BYTE>* bytes) {
  if (handle.sevenZip != nullptr) return ReadSevenZipItem(handle.sevenZip, name, bytes);
  if (handle.zip != nullptr) return ReadZipEntry(handle.zip, name, bytes);
  return false;
}

bool ReadFromResourceArchive(const std::wstring& name, std::vector<BYTE>* bytes) {
  if (CUIManager::IsResourceArchiveCached()) {
    ResourceArchiveHandle handle = CUIManager::CachedArchive();
    if (!handle.IsOpen()) {
      // An archive in memory was opened when it was set; only a file archive is opened
      // on first use and then kept for every later load.
      if (CUIManager::ResourceArchive() == L"membuffer") return false;
      handle = OpenArchiveFile(CUIManager::ResourcePath() + CUIManager::ResourceArchive());
      if (!handle.IsOpen()) return false;
      CUIManager::SetCachedArchive(handle);
    }
    return ReadFromHandle(handle, name, bytes);
  }
  ResourceArchiveHandle handle =
      OpenArchiveFile(CUIManager::ResourcePath() + CUIManager::ResourceArchive());
  bool found = ReadFromHandle(handle, name, bytes);
  CloseArchiveHandle(handle);
  return found;
}

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
      static_cast<uint64_t>(size.QuadPart) > kMaxImageFileBytes)
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
  bool found = CUIManager::ResourceArchive().empty()
                   ? ReadWholeFile(CUIManager::ResourcePath() + name, bytes)
                   : ReadFromResourceArchive(name, bytes);
  if (found && !bytes->empty()) return true;
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
