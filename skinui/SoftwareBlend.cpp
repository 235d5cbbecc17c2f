#include "skinui/SoftwareBlend.h"

#include <algorithm>

#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

BYTE Channel(DWORD pixel, int shift) { return static_cast<BYTE>(pixel >> shift); }

// x * y / 255, rounded.
unsigned Scale(unsigned x, unsigned y) { return (x * y + 127) / 255; }

// A source pixel that was not really premultiplied can push a channel past 255.
DWORD Clamp(unsigned value) { return value > 255 ? 255 : value; }

struct PixelSurface {
  BYTE* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;   // bytes from one row to the next, negative for bottom-up bitmaps
  BYTE* firstRow = nullptr;  // top row

  DWORD* Row(int y) const { return reinterpret_cast<DWORD*>(firstRow + y * stride); }
};

// The pixels of the 32-bit DIB section that is selected into dc.
bool PixelsOfSelectedBitmap(HDC dc, PixelSurface* surface) {
  HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
  DIBSECTION section = {};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
    return false;
  if (section.dsBm.bmBitsPixel != 32 || section.dsBm.bmBits == nullptr) return false;
  surface->bits = static_cast<BYTE*>(section.dsBm.bmBits);
  surface->width = section.dsBm.bmWidth;
  surface->height = section.dsBm.bmHeight;
  int rowBytes = section.dsBm.bmWidthBytes;
  if (section.dsBmih.biHeight < 0) {
    surface->stride = rowBytes;
    surface->firstRow = surface->bits;
  } else {
    surface->stride = -rowBytes;
    surface->firstRow = surface->bits + (surface->height - 1) * rowBytes;
  }
  return true;
}

COLORREF ToColorRef(DWORD argb) {
  return RGB(Channel(argb, 16), Channel(argb, 8), Channel(argb, 0));
}

void FillSolid(HDC dc, const RECT& rect, DWORD argb) {
  COLORREF old = ::SetBkColor(dc, ToColorRef(argb));
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

DWORD Interpolate(DWORD from, DWORD to, int index, int count) {
  if (count <= 1) return from;
  DWORD result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int a = Channel(from, shift);
    int b = Channel(to, shift);
    result |= static_cast<DWORD>(a + (b - a) * index / (count - 1)) << shift;
  }
  return result;
}

}  // namespace

DWORD BlendPixel(DWORD destination, DWORD source, BYTE constantAlpha, bool perPixelAlpha) {
  DWORD result = 0;
  if (perPixelAlpha) {
    unsigned sourceAlpha = Scale(Channel(source, 24), constantAlpha);
    for (int shift = 0; shift <= 24; shift += 8) {
      unsigned s = Scale(Channel(source, shift), constantAlpha);
      unsigned d = Scale(Channel(destination, shift), 255 - sourceAlpha);
      result |= Clamp(s + d) << shift;
    }
  } else {
    for (int shift = 0; shift <= 24; shift += 8) {
      unsigned s = Channel(source, shift) * constantAlpha;
      unsigned d = Channel(destination, shift) * (255u - constantAlpha);
      result |= Clamp((s + d + 127) / 255) << shift;
    }
  }
  return result;
}

BOOL WINAPI SoftwareAlphaBlend(HDC destination, int x, int y, int width, int height, HDC source,
                               int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                               BLENDFUNCTION blend) {
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return FALSE;
  if (blend.BlendOp != AC_SRC_OVER) return FALSE;
  PixelSurface from;
  if (!PixelsOfSelectedBitmap(source, &from)) return FALSE;
  // Like the system call, a source rectangle outside the bitmap is refused rather than
  // read past the end of the pixels.
  if (sourceX < 0 || sourceY < 0 || sourceX + sourceWidth > from.width ||
      sourceY + sourceHeight > from.height)
    return FALSE;

  // The destination may be any DC, so its pixels go through a 32-bit copy.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Utils::ScopedBitmap copy(::CreateDIBSection(destination, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  Utils::ScopedMemoryDC copyDC(::CreateCompatibleDC(destination));
  if (!copy || !copyDC || bits == nullptr) return FALSE;
  Utils::ScopedSelectObject selected(copyDC.get(), copy.get());
  if (!::BitBlt(copyDC.get(), 0, 0, width, height, destination, x, y, SRCCOPY)) return FALSE;
  ::GdiFlush();

  bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  DWORD* target = static_cast<DWORD*>(bits);
  for (int row = 0; row < height; ++row) {
    const DWORD* sourceRow = from.Row(sourceY + row * sourceHeight / height);
    for (int column = 0; column < width; ++column) {
      DWORD pixel = sourceRow[sourceX + column * sourceWidth / width];
      DWORD& out = target[row * width + column];
      out = BlendPixel(out, pixel, blend.SourceConstantAlpha, perPixel);
    }
  }
  return ::BitBlt(destination, x, y, width, height, copyDC.get(), 0, 0, SRCCOPY);
}

int GradientBandCount(int steps) {
  if (steps < 4) return 2;
  if (steps < 8) return 4;
  if (steps < 16) return 8;
  if (steps < 32) return 16;
  if (steps < 64) return 32;
  return 64;
}

void FillGradientBands(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical,
                       int steps) {
  int length = vertical ? rect.bottom - rect.top : rect.right - rect.left;
  if (length <= 0) return;
  int bands = GradientBandCount(steps);
  for (int band = 0; band < bands; ++band) {
    int start = length * band / bands;
    int end = length * (band + 1) / bands;
    if (end <= start) continue;
    RECT part = rect;
    if (vertical) {
      part.top = rect.top + start;
      part.bottom = rect.top + end;
    } else {
      part.left = rect.left + start;
      part.right = rect.left + end;
    }
    FillSolid(dc, part, Interpolate(color1, color2, band, bands));
  }
}

}  // namespace SkinUI
