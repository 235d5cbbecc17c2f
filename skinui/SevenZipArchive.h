// Reader of 7z skin archives. The whole archive is decompressed when it is opened, so a
// handle is a plain list of items in memory and needs no archive bytes afterwards.
#pragma once

#include <windows.h>

#include <cstdint>

#include "skinui/ArchiveStatus.h"

namespace SkinUI {

struct SevenZipArchive;

// Reads the archive from a copy of the given bytes; none when it cannot be decoded.
SevenZipArchive* OpenSevenZipMemory(const void* bytes, size_t size);
// None when the file cannot be opened; a handle with no items when it is no readable 7z.
SevenZipArchive* OpenSevenZipFile(const wchar_t* path);
// Matches with either separator and any letter case; the first match in archive order.
ArchiveStatus FindSevenZipItem(const SevenZipArchive* archive, const wchar_t* name,
                               uint32_t* index, uint64_t* size);
// Copies the item's whole content (its size) into buffer.
ArchiveStatus ExtractSevenZipItem(const SevenZipArchive* archive, uint32_t index, void* buffer);
ArchiveStatus CloseSevenZip(SevenZipArchive* archive);

// Number of items (entries that are not directories) the handle holds.
uint32_t SevenZipItemCount(const SevenZipArchive* archive);

}  // namespace SkinUI
