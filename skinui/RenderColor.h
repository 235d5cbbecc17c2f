// The framework's colours are 0xAARRGGBB; the system's drawing functions take 0x00BBGGRR
// and know no alpha.
#pragma once

#include <windows.h>

namespace SkinUI {

inline COLORREF ToColorRef(DWORD argb) {
  return RGB(static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb));
}

// Fills with the colour's red, green and blue through the text-background fill, the
// cheapest solid fill GDI has.
inline void FillOpaque(HDC dc, const RECT& rect, DWORD argb) {
  COLORREF old = ::SetBkColor(dc, ToColorRef(argb));
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

}  // namespace SkinUI
