// Reads one whole skin file from the skin source in effect: the resource folder, or the
// resource archive (7z or zip) that the paint manager's process-wide settings name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

enum class SkinFileStatus {
  Ok,
  OpenFailed,         // the file could not be opened
  Empty,              // the file or archive item holds no bytes
  TooLarge,           // above the size limit
  ReadFailed,         // the file gave fewer bytes than its size
  ArchiveOpenFailed,  // the resource archive could not be opened
  NotFound,           // the archive holds no such item
  ExtractFailed,      // the archive item could not be decompressed
};

// Skin descriptions larger than this are refused (exactly 4 MiB is accepted).
constexpr DWORD kMaxSkinFileSize = 4 * 1024 * 1024;

// Fills bytes with the named skin file; anything but Ok leaves it empty.
SkinFileStatus ReadSkinFile(const std::wstring& name, std::vector<BYTE>* bytes,
                            DWORD maxSize = kMaxSkinFileSize);

}  // namespace SkinUI
