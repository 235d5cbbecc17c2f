// Text values of the registry, for the record an installation keeps of itself.
#pragma once

#include <windows.h>

#include <string>

// Reads a string value. A value stored without its terminating NUL reads correctly too.
// False, with `text` unchanged, when the key or the value cannot be read or the value
// holds no text.
bool ReadRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                        std::wstring& text);

// Creates the key when needed and sets the value as REG_SZ with its terminating NUL.
bool WriteRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                         const std::wstring& text);
