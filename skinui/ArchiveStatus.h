// Results of the skin archive readers (7z and zip share the values).
#pragma once

#include <cstdint>

namespace SkinUI {

using ArchiveStatus = uint32_t;

constexpr ArchiveStatus StatusOk = 0;
constexpr ArchiveStatus StatusNotFound = 0x500;  // zip: no entry with that name
// zip: the output buffer filled before the entry ended; callers that asked for the
// whole entry take it as success.
constexpr ArchiveStatus StatusMore = 0x600;
constexpr ArchiveStatus StatusCorrupt = 0x700;  // zip: damaged entry header or data
constexpr ArchiveStatus StatusRead = 0x800;     // zip: reading the archive failed
// Missing handle or argument; the 7z reader also answers it for "no such item".
constexpr ArchiveStatus StatusArgs = 0x10000;
constexpr ArchiveStatus StatusMode = 0x80000;  // zip: the handle is not an open zip

}  // namespace SkinUI
