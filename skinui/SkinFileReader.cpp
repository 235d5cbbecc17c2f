#include "skinui/SkinFileReader.h"

#include "skinui/SevenZipArchive.h"
#include "skinui/UIManager.h"
#include "skinui/ZipArchive.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

const wchar_t kMemoryArchiveName[] = L"membuffer";

SkinFileStatus ReadPlainFile(const std::wstring& path, std::vector<BYTE>* bytes,
                             DWORD maxSize) {
  Utils::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
  if (!file) return SkinFileStatus::OpenFailed;
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.get(), &size)) return SkinFileStatus::ReadFailed;
  if (size.QuadPart == 0) return SkinFileStatus::Empty;
  if (size.QuadPart > maxSize) return SkinFileStatus::TooLarge;
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!::ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
      read != bytes->size()) {
    bytes->clear();
    return SkinFileStatus::ReadFailed;
  }
  return SkinFileStatus::Ok;
}

ResourceArchiveHandle OpenArchiveFile(const std::wstring& path) {
  ResourceArchiveHandle handle;
  if (CUIManager::IsSevenZipArchive()) {
    handle.sevenZip = OpenSevenZipFile(path.c_str());
  } else {
    handle.zip = OpenZipArchive(path.c_str(), 0, kZipSourceFile);
  }
  return handle;
}

void CloseArchiveHandle(ResourceArchiveHandle& handle) {
  if (handle.sevenZip != nullptr) CloseSevenZip(handle.sevenZip);
  if (handle.zip != nullptr) CloseZipArchive(handle.zip);
  handle = ResourceArchiveHandle();
}

SkinFileStatus ReadArchiveItem(const ResourceArchiveHandle& archive, const std::wstring& name,
                               std::vector<BYTE>* bytes, DWORD maxSize) {
  if (archive.sevenZip != nullptr) {
    uint32_t index = 0;
    uint64_t size = 0;
    if (FindSevenZipItem(archive.sevenZip, name.c_str(), &index, &size) != StatusOk)
      return SkinFileStatus::NotFound;
    if (size == 0) return SkinFileStatus::Empty;
    if (size > maxSize) return SkinFileStatus::TooLarge;
    bytes->resize(static_cast<size_t>(size));
    if (ExtractSevenZipItem(archive.sevenZip, index, bytes->data()) != StatusOk) {
      bytes->clear();
      return SkinFileStatus::ExtractFailed;
    }
    return SkinFileStatus::Ok;
  }
  int32_t index = -1;
  ZipEntry entry;
  if (FindZipEntry(archive.zip, name.c_str(), true, &index, &entry) != StatusOk)
    return SkinFileStatus::NotFound;
  if (entry.uncompressedSize == 0) return SkinFileStatus::Empty;
  if (entry.uncompressedSize > maxSize) return SkinFileStatus::TooLarge;
  bytes->resize(entry.uncompressedSize);
  ArchiveStatus status = ExtractZipEntry(archive.zip, index, bytes->data(),
                                         entry.uncompressedSize, kZipSourceMemory);
  if (status != StatusOk && status != StatusMore) {
    bytes->clear();
    return SkinFileStatus::ExtractFailed;
  }
  return SkinFileStatus::Ok;
}

}  // namespace

SkinFileStatus ReadSkinFile(const std::wstring& name, std::vector<BYTE>* bytes, DWORD maxSize) {
  bytes->clear();
  const std::wstring& archiveName = CUIManager::ResourceArchive();
  if (archiveName.empty()) return ReadPlainFile(CUIManager::ResourcePath() + name, bytes, maxSize);

  if (CUIManager::IsResourceArchiveCached()) {
    ResourceArchiveHandle archive = CUIManager::CachedArchive();
    if (!archive.IsOpen()) {
      // An archive in memory is opened when it is set; one that failed stays unopened.
      if (archiveName == kMemoryArchiveName) return SkinFileStatus::ArchiveOpenFailed;
      archive = OpenArchiveFile(CUIManager::ResourcePath() + archiveName);
      if (!archive.IsOpen()) return SkinFileStatus::ArchiveOpenFailed;
      CUIManager::SetCachedArchive(archive);
    }
    return ReadArchiveItem(archive, name, bytes, maxSize);
  }

  ResourceArchiveHandle archive = OpenArchiveFile(CUIManager::ResourcePath() + archiveName);
  if (!archive.IsOpen()) return SkinFileStatus::ArchiveOpenFailed;
  SkinFileStatus status = ReadArchiveItem(archive, name, bytes, maxSize);
  CloseArchiveHandle(archive);
  return status;
}

}  // namespace SkinUI
