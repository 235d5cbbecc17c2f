// UTF-16 <-> narrow text at the few places the program meets bytes: child programs'
// output, skin files, HTTP bodies and debugger thread names.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace Utils {

// Code pages the program uses: CP_UTF8 (65001) and CP_ACP (0). Both answer the empty
// string when the system converts nothing (empty input or an unknown code page).
std::string WideToMultiByte(std::wstring_view text, UINT codePage);
std::wstring MultiByteToWide(std::string_view bytes, UINT codePage);

}  // namespace Utils
