// Reader of zip skin archives: the central directory is read when the archive opens and
// entries (stored or deflated) are decompressed on demand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "skinui/ArchiveStatus.h"

namespace SkinUI {

struct ZipArchive;

// Source kinds for OpenZipArchive and the destination kind for ExtractZipEntry.
constexpr uint32_t kZipSourceFile = 2;
constexpr uint32_t kZipSourceMemory = 3;

struct ZipEntry {
  int32_t index = -1;
  std::wstring name;  // converted from the ANSI code page
  uint32_t attributes = 0;
  FILETIME accessTime = {};
  FILETIME createTime = {};
  FILETIME writeTime = {};
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
};

// kZipSourceFile: source is a NUL-terminated wide path; kZipSourceMemory: source is a
// buffer of size bytes that must outlive the handle.
ZipArchive* OpenZipArchive(const void* source, uint32_t size, uint32_t flags);
// Names of 256 characters or more are never found. The framework always ignores case.
ArchiveStatus FindZipEntry(ZipArchive* archive, const wchar_t* name, bool ignoreCase,
                           int32_t* index, ZipEntry* entry);
// Decompresses the entry into buffer (flags kZipSourceMemory). StatusMore when the
// buffer filled before the entry ended.
ArchiveStatus ExtractZipEntry(ZipArchive* archive, int32_t index, void* buffer, uint32_t size,
                              uint32_t flags);
ArchiveStatus CloseZipArchive(ZipArchive* archive);
// Status of the last zip operation of the process.
ArchiveStatus LastZipStatus();

}  // namespace SkinUI
