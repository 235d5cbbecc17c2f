#include "skinui/ZipArchive.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "utils/ScopedHandle.h"
#include "utils/TextConvert.h"

namespace SkinUI {

namespace {

constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kEndOfDirectorySize = 22;
constexpr uint32_t kDirectoryEntrySize = 46;
constexpr uint32_t kLocalHeaderSize = 30;
// The end record may be followed by a comment of up to 65535 bytes.
constexpr uint32_t kMaxEndSearch = kEndOfDirectorySize + 0xFFFF;
constexpr size_t kMaxNameLength = 256;
constexpr uint16_t kFlagUtf8Name = 0x0800;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint32_t kOpenMagic = 0x5A495050;

ArchiveStatus g_lastStatus = StatusOk;

ArchiveStatus Report(ArchiveStatus status) {
  g_lastStatus = status;
  return status;
}

uint16_t Read16(const BYTE* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const BYTE* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct DirectoryEntry {
  std::string rawName;  // as stored, with slashes
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
};

}  // namespace

struct ZipArchive {
  uint32_t magic = kOpenMagic;
  Utils::ScopedFileHandle file;
  const BYTE* memory = nullptr;
  uint64_t size = 0;
  // Bytes in front of the archive proper (a self-extractor stub), added to every offset.
  uint64_t bias = 0;
  std::vector<DirectoryEntry> entries;
  int32_t currentIndex = -1;
  ZipEntry cachedEntry;

  // Reads exactly count bytes at offset; false past the end or on a read error.
  bool ReadAt(uint64_t offset, void* buffer, uint32_t count) const {
    if (offset > size || count > size - offset) return false;
    if (count == 0) return true;
    if (memory != nullptr) {
      std::memcpy(buffer, memory + offset, count);
      return true;
    }
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return false;
    DWORD read = 0;
    return ::ReadFile(file.get(), buffer, count, &read, nullptr) && read == count;
  }
};

namespace {

bool FindEndOfDirectory(const ZipArchive& zip, uint64_t* endOffset, std::vector<BYTE>* record) {
  if (zip.size < kEndOfDirectorySize) return false;
  uint32_t searched = static_cast<uint32_t>(zip.size < kMaxEndSearch ? zip.size : kMaxEndSearch);
  std::vector<BYTE> tail(searched);
  uint64_t tailStart = zip.size - searched;
  if (!zip.ReadAt(tailStart, tail.data(), searched)) return false;
  for (uint32_t pos = searched - kEndOfDirectorySize + 1; pos-- > 0;) {
    if (Read32(&tail[pos]) == kEndOfDirectorySignature) {
      *endOffset = tailStart + pos;
      record->assign(tail.begin() + pos, tail.begin() + pos + kEndOfDirectorySize);
      return true;
    }
  }
  return false;
}

bool ReadDirectory(ZipArchive& zip) {
  uint64_t endOffset = 0;
  std::vector<BYTE> end;
  if (!FindEndOfDirectory(zip, &endOffset, &end)) return false;
  uint16_t count = Read16(&end[10]);
  uint32_t directorySize = Read32(&end[12]);
  uint32_t directoryOffset = Read32(&end[16]);
  if (directorySize > endOffset || directoryOffset > endOffset - directorySize) return false;
  zip.bias = endOffset - directorySize - directoryOffset;

  std::vector<BYTE> directory(directorySize);
  if (!zip.ReadAt(zip.bias + directoryOffset, directory.data(), directorySize)) return false;
  size_t pos = 0;
  for (uint16_t i = 0; i < count; ++i) {
    if (directory.size() - pos < kDirectoryEntrySize) return false;
    const BYTE* record = &directory[pos];
    if (Read32(record) != kDirectoryEntrySignature) return false;
    uint16_t nameLength = Read16(record + 28);
    uint16_t extraLength = Read16(record + 30);
    uint16_t commentLength = Read16(record + 32);
    size_t recordSize = kDirectoryEntrySize + nameLength + extraLength + commentLength;
    if (directory.size() - pos < recordSize) return false;
    DirectoryEntry entry;
    entry.flags = Read16(record + 8);
    entry.method = Read16(record + 10);
    entry.dosTime = Read16(record + 12);
    entry.dosDate = Read16(record + 14);
    entry.crc = Read32(record + 16);
    entry.compressedSize = Read32(record + 20);
    entry.uncompressedSize = Read32(record + 24);
    entry.externalAttributes = Read32(record + 38);
    entry.localHeaderOffset = Read32(record + 42);
    entry.rawName.assign(reinterpret_cast<const char*>(record + kDirectoryEntrySize), nameLength);
    zip.entries.push_back(std::move(entry));
    pos += recordSize;
  }
  return true;
}

bool SameName(const std::string& stored, const std::string& wanted, bool ignoreCase) {
  if (stored.size() != wanted.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i) {
    char a = stored[i];
    char b = wanted[i];
    if (ignoreCase) {
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    }
    if (a != b) return false;
  }
  return true;
}

void FillEntry(const DirectoryEntry& source, int32_t index, ZipEntry* entry) {
  entry->index = index;
  UINT codePage = (source.flags & kFlagUtf8Name) != 0 ? CP_UTF8 : CP_ACP;
  entry->name = Utils::MultiByteToWide(source.rawName, codePage);
  entry->attributes = source.externalAttributes & 0xFF;
  FILETIME local = {};
  FILETIME written = {};
  if (::DosDateTimeToFileTime(source.dosDate, source.dosTime, &local)) {
    ::LocalFileTimeToFileTime(&local, &written);
  }
  entry->writeTime = written;
  entry->accessTime = written;
  entry->createTime = written;
  entry->compressedSize = source.compressedSize;
  entry->uncompressedSize = source.uncompressedSize;
}

ArchiveStatus Inflate(const std::vector<BYTE>& packed, BYTE* out, uint32_t outSize,
                      uint32_t expectedSize, uint32_t* written) {
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return StatusCorrupt;
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = out;
  stream.avail_out = outSize < expectedSize ? outSize : expectedSize;
  int result = inflate(&stream, Z_FINISH);
  *written = static_cast<uint32_t>(stream.total_out);
  inflateEnd(&stream);
  if (result == Z_STREAM_END) return StatusOk;
  if (result == Z_BUF_ERROR && stream.avail_out == 0) {
    // The output is full: either the caller's buffer was short, or the entry holds more
    // than its directory record claims, which is damage.
    return outSize < expectedSize ? StatusMore : StatusCorrupt;
  }
  return StatusCorrupt;
}

}  // namespace

ZipArchive* OpenZipArchive(const void* source, uint32_t size, uint32_t flags) {
  if (source == nullptr) {
    Report(StatusArgs);
    return nullptr;
  }
  std::unique_ptr<ZipArchive> zip(new (std::nothrow) ZipArchive);
  if (!zip) return nullptr;
  if (flags == kZipSourceFile) {
    zip->file.reset(::CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER fileSize = {};
    if (!zip->file || !::GetFileSizeEx(zip->file.get(), &fileSize)) {
      Report(StatusRead);
      return nullptr;
    }
    zip->size = static_cast<uint64_t>(fileSize.QuadPart);
  } else if (flags == kZipSourceMemory) {
    zip->memory = static_cast<const BYTE*>(source);
    zip->size = size;
  } else {
    Report(StatusArgs);
    return nullptr;
  }
  if (!ReadDirectory(*zip)) {
    Report(StatusCorrupt);
    return nullptr;
  }
  Report(StatusOk);
  return zip.release();
}

ArchiveStatus FindZipEntry(ZipArchive* zip, const wchar_t* name, bool ignoreCase,
                           int32_t* index, ZipEntry* entry) {
  if (index != nullptr) *index = -1;
  if (entry != nullptr) entry->index = -1;
  if (zip == nullptr || name == nullptr) return Report(StatusArgs);
  if (zip->magic != kOpenMagic) return Report(StatusMode);
  std::wstring wanted(name);
  if (wanted.size() >= kMaxNameLength) return Report(StatusNotFound);
  for (wchar_t& c : wanted) {
    if (c == L'\\') c = L'/';
  }
  const std::string ansiName = Utils::WideToMultiByte(wanted, CP_ACP);
  const std::string utf8Name = Utils::WideToMultiByte(wanted, CP_UTF8);
  for (size_t i = 0; i < zip->entries.size(); ++i) {
    const DirectoryEntry& candidate = zip->entries[i];
    const std::string& encoded = (candidate.flags & kFlagUtf8Name) != 0 ? utf8Name : ansiName;
    if (!SameName(candidate.rawName, encoded, ignoreCase)) continue;
    int32_t found = static_cast<int32_t>(i);
    if (zip->currentIndex != found) {
      FillEntry(candidate, found, &zip->cachedEntry);
      zip->currentIndex = found;
    }
    if (index != nullptr) *index = found;
    if (entry != nullptr) *entry = zip->cachedEntry;
    return Report(StatusOk);
  }
  return Report(StatusNotFound);
}

ArchiveStatus ExtractZipEntry(ZipArchive* zip, int32_t index, void* buffer, uint32_t size,
                              uint32_t flags) {
  if (zip == nullptr || flags != kZipSourceMemory) return Report(StatusArgs);
  if (zip->magic != kOpenMagic) return Report(StatusMode);
  if (index < 0 || static_cast<size_t>(index) >= zip->entries.size()) return Report(StatusArgs);
  if (buffer == nullptr && size != 0) return Report(StatusArgs);
  const DirectoryEntry& entry = zip->entries[static_cast<size_t>(index)];

  BYTE header[kLocalHeaderSize];
  uint64_t headerOffset = zip->bias + entry.localHeaderOffset;
  if (!zip->ReadAt(headerOffset, header, kLocalHeaderSize)) return Report(StatusRead);
  if (Read32(header) != kLocalHeaderSignature) return Report(StatusCorrupt);
  uint64_t dataOffset = headerOffset + kLocalHeaderSize + Read16(header + 26) + Read16(header + 28);
  std::vector<BYTE> packed;
  if (entry.compressedSize != 0) {
    if (zip->size < dataOffset || zip->size - dataOffset < entry.compressedSize)
      return Report(StatusCorrupt);
    packed.resize(entry.compressedSize);
    if (!zip->ReadAt(dataOffset, packed.data(), entry.compressedSize)) return Report(StatusRead);
  }

  BYTE* out = static_cast<BYTE*>(buffer);
  uint32_t written = 0;
  ArchiveStatus status = StatusOk;
  if (entry.method == kMethodStored) {
    if (entry.compressedSize != entry.uncompressedSize) return Report(StatusCorrupt);
    written = size < entry.uncompressedSize ? size : entry.uncompressedSize;
    if (written != 0) std::memcpy(out, packed.data(), written);
    if (written < entry.uncompressedSize) status = StatusMore;
  } else if (entry.method == kMethodDeflated) {
    if (entry.uncompressedSize == 0) return Report(StatusOk);
    if (size == 0) return Report(StatusMore);
    status = Inflate(packed, out, size, entry.uncompressedSize, &written);
    if (status == StatusOk && written != entry.uncompressedSize) status = StatusCorrupt;
  } else {
    return Report(StatusCorrupt);
  }
  if (status == StatusOk && crc32(0, out, written) != entry.crc) status = StatusCorrupt;
  return Report(status);
}

ArchiveStatus CloseZipArchive(ZipArchive* zip) {
  if (zip == nullptr) return Report(StatusArgs);
  if (zip->magic != kOpenMagic) return Report(StatusMode);
  zip->magic = 0;
  delete zip;
  return Report(StatusOk);
}

ArchiveStatus LastZipStatus() { return g_lastStatus; }

}  // namespace SkinUI
