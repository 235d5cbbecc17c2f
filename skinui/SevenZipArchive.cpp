#include "skinui/SevenZipArchive.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "utils/ScopedHandle.h"

extern "C" {
#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
}

namespace SkinUI {

struct SevenZipItem {
  std::wstring name;
  uint32_t nameLength = 0;  // UTF-16 units including the terminating NUL
  uint32_t index = 0;
  uint64_t size = 0;
  std::vector<BYTE> data;
};

struct SevenZipArchive {
  std::vector<SevenZipItem> items;
};

namespace {

// A seekable stream over a private copy of the archive bytes. Reads stop at the end of
// the copy, whatever offsets a damaged header asks for.
struct MemoryInStream {
  ISeekInStream vt;  // first member: the decoder hands back a pointer to it
  const BYTE* data;
  size_t size;
  size_t position;
};

SRes MemoryRead(ISeekInStreamPtr stream, void* buffer, size_t* size) {
  auto* self = reinterpret_cast<MemoryInStream*>(const_cast<ISeekInStream*>(stream));
  size_t available = self->position < self->size ? self->size - self->position : 0;
  size_t count = *size < available ? *size : available;
  if (count != 0) std::memcpy(buffer, self->data + self->position, count);
  self->position += count;
  *size = count;
  return SZ_OK;
}

SRes MemorySeek(ISeekInStreamPtr stream, Int64* position, ESzSeek origin) {
  auto* self = reinterpret_cast<MemoryInStream*>(const_cast<ISeekInStream*>(stream));
  Int64 base = 0;
  switch (origin) {
    case SZ_SEEK_SET: base = 0; break;
    case SZ_SEEK_CUR: base = static_cast<Int64>(self->position); break;
    case SZ_SEEK_END: base = static_cast<Int64>(self->size); break;
    default: return SZ_ERROR_PARAM;
  }
  Int64 target = base + *position;
  if (target < 0) return SZ_ERROR_PARAM;
  // Past the end is allowed, as for a file; reads there simply return nothing.
  self->position = static_cast<size_t>(target);
  *position = target;
  return SZ_OK;
}

const ISzAlloc kHeapAlloc = {SzAlloc, SzFree};
const ISzAlloc kHeapAllocTemp = {SzAllocTemp, SzFreeTemp};
constexpr size_t kLookBufferSize = 1 << 14;

// Decodes every non-directory entry into the archive's items. False when the database
// itself cannot be read; a failed extraction only ends the list early.
bool ReadAllItems(const BYTE* bytes, size_t size, SevenZipArchive& archive) {
  static bool crcTableReady = false;
  if (!crcTableReady) {
    CrcGenerateTable();
    crcTableReady = true;
  }

  MemoryInStream memory = {};
  memory.vt.Read = MemoryRead;
  memory.vt.Seek = MemorySeek;
  memory.data = bytes;
  memory.size = size;

  std::unique_ptr<Byte[]> lookBuffer(new (std::nothrow) Byte[kLookBufferSize]);
  if (!lookBuffer) return false;
  CLookToRead2 look = {};
  LookToRead2_CreateVTable(&look, False);
  look.buf = lookBuffer.get();
  look.bufSize = kLookBufferSize;
  look.realStream = &memory.vt;
  LookToRead2_INIT(&look);

  CSzArEx db;
  SzArEx_Init(&db);
  if (SzArEx_Open(&db, &look.vt, &kHeapAlloc, &kHeapAllocTemp) != SZ_OK) {
    SzArEx_Free(&db, &kHeapAlloc);
    return false;
  }

  UInt32 blockIndex = 0xFFFFFFFF;
  Byte* blockBuffer = nullptr;
  size_t blockBufferSize = 0;
  std::vector<UInt16> nameBuffer;
  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    if (SzArEx_IsDir(&db, i)) continue;
    size_t nameLength = SzArEx_GetFileNameUtf16(&db, i, nullptr);
    nameBuffer.assign(nameLength + 1, 0);
    SzArEx_GetFileNameUtf16(&db, i, nameBuffer.data());

    size_t offset = 0;
    size_t processed = 0;
    if (SzArEx_Extract(&db, &look.vt, i, &blockIndex, &blockBuffer, &blockBufferSize, &offset,
                       &processed, &kHeapAlloc, &kHeapAllocTemp) != SZ_OK) {
      break;
    }
    SevenZipItem item;
    // The length the decoder reports counts the NUL; a name never holds one of its own.
    item.name.assign(reinterpret_cast<const wchar_t*>(nameBuffer.data()));
    item.nameLength = static_cast<uint32_t>(item.name.size() + 1);
    item.index = i;
    item.size = processed;
    item.data.assign(blockBuffer + offset, blockBuffer + offset + processed);
    archive.items.push_back(std::move(item));
  }
  ISzAlloc_Free(&kHeapAlloc, blockBuffer);
  SzArEx_Free(&db, &kHeapAlloc);
  return true;
}

const SevenZipItem* ItemAt(const SevenZipArchive* archive, uint32_t index) {
  if (archive == nullptr) return nullptr;
  for (const SevenZipItem& item : archive->items) {
    if (item.index == index) return &item;
  }
  return nullptr;
}

}  // namespace

SevenZipArchive* OpenSevenZipMemory(const void* bytes, size_t size) {
  if (bytes == nullptr || size == 0) return nullptr;
  const BYTE* source = static_cast<const BYTE*>(bytes);
  std::vector<BYTE> copy(source, source + size);
  std::unique_ptr<SevenZipArchive> archive(new (std::nothrow) SevenZipArchive);
  if (!archive) return nullptr;
  if (!ReadAllItems(copy.data(), copy.size(), *archive)) return nullptr;
  return archive.release();
}

SevenZipArchive* OpenSevenZipFile(const wchar_t* path) {
  if (path == nullptr) return nullptr;
  Utils::ScopedFileHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  std::unique_ptr<SevenZipArchive> archive(new (std::nothrow) SevenZipArchive);
  if (!archive) return nullptr;
  LARGE_INTEGER fileSize = {};
  if (!::GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart <= 0 ||
      static_cast<uint64_t>(fileSize.QuadPart) > 0x7FFFFFFF) {
    return archive.release();
  }
  std::vector<BYTE> bytes(static_cast<size_t>(fileSize.QuadPart));
  DWORD read = 0;
  if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return archive.release();
  }
  bytes.resize(read);
  // An unreadable archive file still gives a handle: its lookups simply find nothing.
  ReadAllItems(bytes.data(), bytes.size(), *archive);
  return archive.release();
}

ArchiveStatus FindSevenZipItem(const SevenZipArchive* archive, const wchar_t* name,
                               uint32_t* index, uint64_t* size) {
  if (archive == nullptr || name == nullptr) return StatusArgs;
  std::wstring wanted(name);
  for (wchar_t& c : wanted) {
    if (c == L'\\') c = L'/';
  }
  for (const SevenZipItem& item : archive->items) {
    if (item.nameLength != wanted.size() + 1) continue;
    if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item.name.c_str(),
                         static_cast<int>(item.name.size()), wanted.c_str(),
                         static_cast<int>(wanted.size())) != CSTR_EQUAL) {
      continue;
    }
    if (index != nullptr) *index = item.index;
    if (size != nullptr) *size = item.size;
    return StatusOk;
  }
  return StatusArgs;
}

ArchiveStatus ExtractSevenZipItem(const SevenZipArchive* archive, uint32_t index, void* buffer) {
  const SevenZipItem* item = ItemAt(archive, index);
  if (item == nullptr) return StatusArgs;
  if (!item->data.empty()) {
    if (buffer == nullptr) return StatusArgs;
    std::memcpy(buffer, item->data.data(), item->data.size());
  }
  return StatusOk;
}

ArchiveStatus CloseSevenZip(SevenZipArchive* archive) {
  if (archive == nullptr) return StatusArgs;
  delete archive;
  return StatusOk;
}

uint32_t SevenZipItemCount(const SevenZipArchive* archive) {
  return archive == nullptr ? 0 : static_cast<uint32_t>(archive->items.size());
}

}  // namespace SkinUI
