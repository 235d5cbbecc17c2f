#include "pipeline/RegistryString.h"

#include <vector>

#include "utils/ScopedHandle.h"

bool ReadRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                        std::wstring& text) {
  Utils::ScopedRegKey key;
  if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
    return false;
  // The value may grow between asking for its size and reading it; ask again then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS)
      return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // Zero-filled with room for a terminator the stored value may lack.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD capacity = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LONG result = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &capacity);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return false;
    text.assign(buffer.data());
    return true;
  }
  return false;
}

bool WriteRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                         const std::wstring& text) {
  Utils::ScopedRegKey key;
  if (::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.receive(), nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}
