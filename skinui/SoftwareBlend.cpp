#include "skinui/SoftwareBlend.h"

#include "skinui/RenderColor.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

BYTE Channel(DWORD pixel, int shift) { return static_cast<BYTE>(pixel >> shift); }

// x * y / 255, rounded.
unsigned Scale(unsigned x, unsigned y) { return (x * y + 127) / 255; }

// A source pixel that was not really premultiplied can push a channel past 255.
DWORD Clamp(unsigned value) { return value > 255 ? 255 : value; }

// A top-down 32-bit copy of part of a DC. How a DIB section's rows lie in memory cannot be
// read back reliably from every system, so the pixels are always worked on in a copy whose
// layout this code chose.
class PixelCopy {
 public:
  PixelCopy(HDC like, int width, int height) : width_(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dc_.reset(::CreateCompatibleDC(like));
    if (bitmap_ && dc_ && bits != nullptr) {
      old_ = ::SelectObject(dc_.get(), bitmap_.get());
      pixels_ = static_cast<DWORD*>(bits);
    }
  }
  ~PixelCopy() {
    if (old_ != nullptr) ::SelectObject(dc_.get(), old_);
  }
  PixelCopy(const PixelCopy&) = delete;
  PixelCopy& operator=(const PixelCopy&) = delete;

  bool valid() const { return pixels_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  DWORD& At(int x, int y) { return pixels_[y * width_ + x]; }

 private:
  int width_;
  Utils::ScopedBitmap bitmap_;
  Utils::ScopedMemoryDC dc_;
  HGDIOBJ old_ = nullptr;
  DWORD* pixels_ = nullptr;
};

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
  HGDIOBJ sourceBitmap = ::GetCurrentObject(source, OBJ_BITMAP);
  BITMAP sourceInfo = {};
  if (sourceBitmap == nullptr || ::GetObjectW(sourceBitmap, sizeof(sourceInfo), &sourceInfo) == 0 ||
      sourceInfo.bmBitsPixel != 32)
    return FALSE;
  // Like the system call, a source rectangle outside the bitmap is refused.
  if (sourceX < 0 || sourceY < 0 || sourceX + sourceWidth > sourceInfo.bmWidth ||
      sourceY + sourceHeight > sourceInfo.bmHeight)
    return FALSE;

  PixelCopy from(destination, sourceWidth, sourceHeight);
  PixelCopy to(destination, width, height);
  if (!from.valid() || !to.valid()) return FALSE;
  if (!::BitBlt(from.dc(), 0, 0, sourceWidth, sourceHeight, source, sourceX, sourceY, SRCCOPY) ||
      !::BitBlt(to.dc(), 0, 0, width, height, destination, x, y, SRCCOPY))
    return FALSE;
  ::GdiFlush();

  bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  for (int row = 0; row < height; ++row) {
    int sourceRow = row * sourceHeight / height;
    for (int column = 0; column < width; ++column) {
      DWORD& out = to.At(column, row);
      out = BlendPixel(out, from.At(column * sourceWidth / width, sourceRow),
                       blend.SourceConstantAlpha, perPixel);
    }
  }
  return ::BitBlt(destination, x, y, width, height, to.dc(), 0, 0, SRCCOPY);
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
    FillOpaque(dc, part, Interpolate(color1, color2, band, bands));
  }
}

}  // namespace SkinUI
