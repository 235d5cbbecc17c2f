#include "skinui/UIRender.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/FormattedText.h"
#include "skinui/ImageDecoder.h"
#include "skinui/ImageSource.h"
#include "skinui/RenderColor.h"
#include "skinui/SoftwareBlend.h"
#include "skinui/SystemBlend.h"
#include "skinui/UIControl.h"
#include "skinui/UIDrawInfo.h"
#include "skinui/UIManager.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

const wchar_t kColorImageType[] = L"*COLOR*";

namespace {

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }
bool HasArea(const RECT& r) { return r.right > r.left && r.bottom > r.top; }
bool Meets(const RECT& a, const RECT& b) {
  RECT common;
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

BYTE AlphaOf(DWORD argb) { return static_cast<BYTE>(argb >> 24); }

AlphaBlendFunction AlphaBlender() {
  AlphaBlendFunction system = SystemBlendFunctions().alphaBlend;
  return system != nullptr ? system : SoftwareAlphaBlend;
}

// Draws parts of one bitmap (selected into source) onto the target: blended when the image
// has alpha or a fade, else copied; parts outside the paint area are left out.
class PiecePainter {
 public:
  PiecePainter(HDC target, HDC source, const RECT& sourceBounds, const RECT& paint, bool blend,
               BYTE fade)
      : target_(target), source_(source), sourceBounds_(sourceBounds), paint_(paint),
        blend_(blend), fade_(fade) {}

  void Draw(const RECT& dest, const RECT& src) const {
    if (!HasArea(dest) || !HasArea(src) || !Meets(dest, paint_)) return;
    // Corners wider than the source would give cells reaching outside it.
    if (src.left < sourceBounds_.left || src.top < sourceBounds_.top ||
        src.right > sourceBounds_.right || src.bottom > sourceBounds_.bottom)
      return;
    if (blend_) {
      BLENDFUNCTION function = {AC_SRC_OVER, 0, fade_, AC_SRC_ALPHA};
      AlphaBlender()(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left,
                     src.top, Width(src), Height(src), function);
    } else if (Width(dest) == Width(src) && Height(dest) == Height(src)) {
      ::BitBlt(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left,
               src.top, SRCCOPY);
    } else {
      ::StretchBlt(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left,
                   src.top, Width(src), Height(src), SRCCOPY);
    }
  }

  // The centre cell: stretched, or laid in tiles of the source size along the tiled
  // directions (stretched across the other one), the last tile of a row or column cut.
  void DrawCentre(const RECT& dest, const RECT& src, bool xtiled, bool ytiled) const {
    if (!HasArea(dest) || !HasArea(src)) return;
    if (!xtiled && !ytiled) {
      Draw(dest, src);
      return;
    }
    LONG stepY = ytiled ? Height(src) : Height(dest);
    LONG stepX = xtiled ? Width(src) : Width(dest);
    for (LONG y = dest.top; y < dest.bottom; y += stepY) {
      LONG rowHeight = std::min(stepY, dest.bottom - y);
      LONG sourceHeight = ytiled ? rowHeight : Height(src);
      for (LONG x = dest.left; x < dest.right; x += stepX) {
        LONG columnWidth = std::min(stepX, dest.right - x);
        LONG sourceWidth = xtiled ? columnWidth : Width(src);
        Draw(RECT{x, y, x + columnWidth, y + rowHeight},
             RECT{src.left, src.top, src.left + sourceWidth, src.top + sourceHeight});
      }
    }
  }

 private:
  HDC target_;
  HDC source_;
  RECT sourceBounds_;
  RECT paint_;
  bool blend_;
  BYTE fade_;
};

class StretchModeScope {
 public:
  explicit StretchModeScope(HDC dc) : dc_(dc), mode_(::SetStretchBltMode(dc, HALFTONE)) {
    // HALFTONE needs the brush origin reset after it is chosen.
    ::SetBrushOrgEx(dc, 0, 0, &origin_);
  }
  ~StretchModeScope() {
    if (mode_ != 0) ::SetStretchBltMode(dc_, mode_);
    ::SetBrushOrgEx(dc_, origin_.x, origin_.y, nullptr);
  }
  StretchModeScope(const StretchModeScope&) = delete;
  StretchModeScope& operator=(const StretchModeScope&) = delete;

 private:
  HDC dc_;
  int mode_;
  POINT origin_ = {};
};

void FillGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical, int steps) {
  GradientFillFunction gradientFill = SystemBlendFunctions().gradientFill;
  if (gradientFill != nullptr) {
    auto channel = [](DWORD color, int shift) {
      return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8);
    };
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, channel(color1, 16), channel(color1, 8), channel(color1, 0), 0xFF00},
        {rect.right, rect.bottom, channel(color2, 16), channel(color2, 8), channel(color2, 0),
         0xFF00}};
    GRADIENT_RECT mesh = {0, 1};
    if (gradientFill(dc, vertices, 2, &mesh, 1,
                     vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H))
      return;
  }
  FillGradientBands(dc, rect, color1, color2, vertical, steps);
}

RECT ToDevice(HDC dc, const RECT& rect) {
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  ::LPtoDP(dc, corners, 2);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace

UIImageInfo* CUIRender::LoadImage(const std::wstring& name, const std::wstring& type, DWORD mask) {
  if (name.empty()) return nullptr;
  if (type == kColorImageType) return MakeColorImage(ParseColor(name), mask);
  std::vector<BYTE> bytes;
  bool found = type.empty() ? ReadSkinFileBytes(name, &bytes) : ReadResourceBytes(name, type, &bytes);
  if (!found) return nullptr;
  UIImageInfo* image = DecodeImage(bytes.data(), bytes.size(), mask);
  if (image != nullptr) image->type = type;
  return image;
}

UIImageInfo* CUIRender::LoadImageFromMemory(const BYTE* data, size_t size, DWORD mask) {
  return DecodeImage(data, size, mask);
}

void CUIRender::FreeImage(UIImageInfo* image, bool deleteRecord) {
  if (image == nullptr) return;
  if (image->bitmap != nullptr) ::DeleteObject(image->bitmap);
  image->bitmap = nullptr;
  image->bits = nullptr;
  std::vector<BYTE>().swap(image->pixelCopy);
  if (deleteRecord) delete image;
}

void CUIRender::DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint,
                          const RECT& source, const RECT& corners, bool alpha, BYTE fade,
                          bool hole, bool xtiled, bool ytiled) {
  if (dc == nullptr || bitmap == nullptr || !HasArea(dest)) return;
  BITMAP info = {};
  if (::GetObjectW(bitmap, sizeof(info), &info) == 0) return;
  // A source beyond the bitmap would make the blit read outside it.
  RECT src = {std::max<LONG>(source.left, 0), std::max<LONG>(source.top, 0),
              std::min<LONG>(source.right, info.bmWidth), std::min<LONG>(source.bottom, info.bmHeight)};
  if (!HasArea(src)) return;

  Utils::ScopedMemoryDC sourceDC(::CreateCompatibleDC(dc));
  if (!sourceDC) return;
  Utils::ScopedSelectObject selected(sourceDC.get(), bitmap);
  StretchModeScope stretchMode(dc);

  LONG left = std::max<LONG>(corners.left, 0), top = std::max<LONG>(corners.top, 0);
  LONG right = std::max<LONG>(corners.right, 0), bottom = std::max<LONG>(corners.bottom, 0);
  bool blend = alpha || fade < 255;
  PiecePainter painter(dc, sourceDC.get(), src, paint, blend, fade);

  bool noCorners = left == 0 && top == 0 && right == 0 && bottom == 0;
  if (!blend && noCorners && !xtiled && !ytiled && Width(dest) == Width(src) &&
      Height(dest) == Height(src)) {
    // One to one: only the part the paint area needs.
    RECT part;
    if (::IntersectRect(&part, &dest, &paint))
      ::BitBlt(dc, part.left, part.top, Width(part), Height(part), sourceDC.get(),
               src.left + part.left - dest.left, src.top + part.top - dest.top, SRCCOPY);
    return;
  }

  // Column and row edges of the nine cells, destination and source.
  const LONG destX[4] = {dest.left, dest.left + left, dest.right - right, dest.right};
  const LONG destY[4] = {dest.top, dest.top + top, dest.bottom - bottom, dest.bottom};
  const LONG srcX[4] = {src.left, src.left + left, src.right - right, src.right};
  const LONG srcY[4] = {src.top, src.top + top, src.bottom - bottom, src.bottom};
  // A border cell exists only where its corner width is above 0.
  const bool columnOn[3] = {left > 0, true, right > 0};
  const bool rowOn[3] = {top > 0, true, bottom > 0};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (!rowOn[row] || !columnOn[column]) continue;
      RECT cellDest = {destX[column], destY[row], destX[column + 1], destY[row + 1]};
      RECT cellSrc = {srcX[column], srcY[row], srcX[column + 1], srcY[row + 1]};
      if (row == 1 && column == 1) {
        if (!hole) painter.DrawCentre(cellDest, cellSrc, xtiled, ytiled);
      } else {
        painter.Draw(cellDest, cellSrc);
      }
    }
  }
}

bool CUIRender::DrawImageInfo(HDC dc, CUIManager* manager, const RECT& item, const RECT& paint,
                              UIDrawInfo& info) {
  if (dc == nullptr || !info.EnsureParsed(manager) || info.image == nullptr) return false;
  const UIImageInfo& image = *info.image;
  RECT dest = info.Destination(item);
  if (!Meets(dest, item) || !Meets(dest, paint)) return true;
  DrawImage(dc, image.bitmap, dest, paint, info.ClampedSource(image.width, image.height),
            info.corner, image.alpha, info.fade, info.hole, info.xtiled, info.ytiled);
  return true;
}

void CUIRender::DrawColor(HDC dc, const RECT& rect, DWORD color) {
  BYTE alpha = AlphaOf(color);
  if (dc == nullptr || alpha == 0 || !HasArea(rect)) return;
  if (alpha == 255) {
    FillOpaque(dc, rect, color);
    return;
  }
  // The blend takes premultiplied pixels; the raw colour would land at full strength on
  // a dark background.
  BYTE* bits = nullptr;
  Utils::ScopedBitmap pixel(CreatePixelBitmap(dc, 1, 1, &bits));
  Utils::ScopedMemoryDC pixelDC(::CreateCompatibleDC(dc));
  if (!pixel || !pixelDC || bits == nullptr) return;
  auto premultiply = [alpha](DWORD channel) { return channel * alpha / 255; };
  *reinterpret_cast<DWORD*>(bits) = (static_cast<DWORD>(alpha) << 24) |
                                    (premultiply((color >> 16) & 0xFF) << 16) |
                                    (premultiply((color >> 8) & 0xFF) << 8) |
                                    premultiply(color & 0xFF);
  Utils::ScopedSelectObject selected(pixelDC.get(), pixel.get());
  BLENDFUNCTION function = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlender()(dc, rect.left, rect.top, Width(rect), Height(rect), pixelDC.get(), 0, 0, 1, 1,
                 function);
}

void CUIRender::DrawGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical,
                             int steps) {
  if (dc == nullptr || !HasArea(rect)) return;
  int alpha = (AlphaOf(color1) + AlphaOf(color2)) / 2;
  if (alpha == 0) return;
  if (alpha == 255) {
    FillGradient(dc, rect, color1, color2, vertical, steps);
    return;
  }
  BYTE* bits = nullptr;
  Utils::ScopedBitmap buffer(CreatePixelBitmap(dc, Width(rect), Height(rect), &bits));
  Utils::ScopedMemoryDC bufferDC(::CreateCompatibleDC(dc));
  if (!buffer || !bufferDC) return;
  Utils::ScopedSelectObject selected(bufferDC.get(), buffer.get());
  FillGradient(bufferDC.get(), RECT{0, 0, Width(rect), Height(rect)}, color1, color2, vertical,
               steps);
  BLENDFUNCTION function = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
  AlphaBlender()(dc, rect.left, rect.top, Width(rect), Height(rect), bufferDC.get(), 0, 0,
                 Width(rect), Height(rect), function);
}

void CUIRender::DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int style) {
  if (dc == nullptr) return;
  Utils::ScopedPen pen(::CreatePen(style, width, ToColorRef(color)));
  if (!pen) return;
  Utils::ScopedSelectObject selected(dc, pen.get());
  POINT old = {};
  ::MoveToEx(dc, rect.left, rect.top, &old);
  ::LineTo(dc, rect.right, rect.bottom);
  ::MoveToEx(dc, old.x, old.y, nullptr);
}

void CUIRender::DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int style) {
  if (dc == nullptr) return;
  Utils::ScopedPen pen(::CreatePen(style | PS_INSIDEFRAME, width, ToColorRef(color)));
  if (!pen) return;
  Utils::ScopedSelectObject selectedPen(dc, pen.get());
  Utils::ScopedSelectObject selectedBrush(dc, ::GetStockObject(HOLLOW_BRUSH));
  ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CUIRender::DrawRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth,
                              int ellipseHeight, DWORD color, int style) {
  if (dc == nullptr) return;
  Utils::ScopedPen pen(::CreatePen(style | PS_INSIDEFRAME, width, ToColorRef(color)));
  if (!pen) return;
  Utils::ScopedSelectObject selectedPen(dc, pen.get());
  Utils::ScopedSelectObject selectedBrush(dc, ::GetStockObject(HOLLOW_BRUSH));
  ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight);
}

void CUIRender::DrawText(HDC dc, CUIManager* manager, RECT& rect, const std::wstring& text,
                         DWORD color, int font, UINT format) {
  if (dc == nullptr || manager == nullptr || text.empty()) return;
  std::wstring shown = CUIManager::ReplaceLanguageTokens(text);
  int oldMode = ::SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = ::SetTextColor(dc, ToColorRef(color));
  {
    Utils::ScopedSelectObject selectedFont(dc, manager->GetFont(font));
    ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect, format | DT_NOPREFIX);
  }
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}

void CUIRender::DrawFormattedText(HDC dc, CUIManager* manager, RECT& rect,
                                  const std::wstring& text, DWORD color, RECT* links,
                                  std::wstring* linkTexts, int& linkCount, UINT format) {
  RenderFormattedText(dc, manager, rect, CUIManager::ReplaceLanguageTokens(text), color, links,
                      linkTexts, linkCount, format);
}

HBITMAP CUIRender::CreatePixelBitmap(HDC dc, int width, int height, BYTE** bits) {
  if (bits != nullptr) *bits = nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  // Negative height: rows top-down, as the pixel loops expect.
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 0;
  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  if (bits != nullptr) *bits = static_cast<BYTE*>(pixels);
  return bitmap;
}

HBITMAP CUIRender::RenderToBitmap(CUIManager* manager, const RECT& rect, CControlUI* stop,
                                  DWORD background) {
  if (manager == nullptr || manager->Root() == nullptr || !HasArea(rect)) return nullptr;
  Utils::ScopedMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc) return nullptr;
  BYTE* bits = nullptr;
  Utils::ScopedBitmap bitmap(CreatePixelBitmap(dc.get(), Width(rect), Height(rect), &bits));
  if (!bitmap) return nullptr;
  {
    Utils::ScopedSelectObject selected(dc.get(), bitmap.get());
    // The tree paints in window client coordinates; the bitmap starts at rect's corner.
    ::SetWindowOrgEx(dc.get(), rect.left, rect.top, nullptr);
    if (background != 0) DrawColor(dc.get(), rect, background);
    manager->Root()->Paint(dc.get(), rect, stop);
  }
  return bitmap.release();
}

void CUIRender::ClipToRect(HDC dc, const RECT& rect, CRenderClip& clip) {
  RECT device = ToDevice(dc, rect);
  clip.Apply(dc, rect, ::CreateRectRgnIndirect(&device));
}

void CUIRender::ClipToRoundRect(HDC dc, const RECT& paint, const RECT& item, int ellipseWidth,
                                int ellipseHeight, CRenderClip& clip) {
  RECT itemDevice = ToDevice(dc, item);
  RECT paintDevice = ToDevice(dc, paint);
  HRGN region = ::CreateRoundRectRgn(itemDevice.left, itemDevice.top, itemDevice.right + 1,
                                     itemDevice.bottom + 1, ellipseWidth, ellipseHeight);
  Utils::ScopedRegion paintRegion(::CreateRectRgnIndirect(&paintDevice));
  if (region != nullptr && paintRegion) ::CombineRgn(region, region, paintRegion.get(), RGN_AND);
  clip.Apply(dc, item, region);
}

}  // namespace SkinUI
