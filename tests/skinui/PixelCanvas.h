// A real 32-bit top-down DIB section selected into a memory DC, for drawing tests that read
// the pixels back as 0xAARRGGBB values.
#pragma once

#include <windows.h>

#include "skinui/UIRender.h"
#include "utils/ScopedHandle.h"

class PixelCanvas {
 public:
  PixelCanvas(int width, int height, DWORD fill = 0xFFFFFFFF)
      : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
    bitmap_.reset(SkinUI::CUIRender::CreatePixelBitmap(dc_.get(), width, height, &bits_));
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
    Fill(fill);
  }
  ~PixelCanvas() { ::SelectObject(dc_.get(), old_); }
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;

  HDC dc() const { return dc_.get(); }
  bool valid() const { return bits_ != nullptr; }
  RECT bounds() const { return RECT{0, 0, width_, height_}; }

  void Fill(DWORD value) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) Pixels()[i] = value;
  }
  DWORD Pixel(int x, int y) const {
    ::GdiFlush();
    return Pixels()[y * width_ + x];
  }
  void SetPixel(int x, int y, DWORD value) {
    ::GdiFlush();
    Pixels()[y * width_ + x] = value;
  }
  // The colour channels only, for checks where the system leaves alpha undefined.
  DWORD Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }

 private:
  DWORD* Pixels() const { return reinterpret_cast<DWORD*>(bits_); }

  int width_;
  int height_;
  Utils::ScopedMemoryDC dc_;
  Utils::ScopedBitmap bitmap_;
  BYTE* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Channels of two pixels differ by at most tolerance each.
inline bool NearPixel(DWORD a, DWORD b, int tolerance = 1) {
  for (int shift = 0; shift < 32; shift += 8) {
    int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (x - y > tolerance || y - x > tolerance) return false;
  }
  return true;
}
