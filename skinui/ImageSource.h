// Where the bytes of a skin image come from: a Windows resource of the program, or the
// skin source in effect (the resource folder or the resource archive, 7z or zip, as the
// manager's process-wide settings say), with the name as a plain path as the last resort.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

// The whole skin file; false when no source has it or it is empty.
bool ReadSkinFileBytes(const std::wstring& name, std::vector<BYTE>* bytes);

// A resource of the given type from the resource module; a name starting with a digit is
// a numeric id. False when it is missing or empty.
bool ReadResourceBytes(const std::wstring& name, const std::wstring& type,
                       std::vector<BYTE>* bytes);

// The whole file at path; false when it cannot be read or is empty.
bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes);

}  // namespace SkinUI
