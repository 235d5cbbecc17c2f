// Stateless drawing on a device context for every control's paint steps: skin images as
// premultiplied 32-bit bitmaps drawn through a nine-grid, colour and gradient fills that
// may be translucent, lines and frames, plain and formatted text, and clipping.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skinui/RenderClip.h"

namespace SkinUI {

class CUIManager;
class CControlUI;
struct UIDrawInfo;

// One loaded image; the manager's image store owns it and frees it with FreeImage.
struct UIImageInfo {
  HBITMAP bitmap = nullptr;  // 32-bit top-down DIB section
  BYTE* bits = nullptr;      // its pixels: blue, green, red, alpha; premultiplied by alpha
  std::vector<BYTE> pixelCopy;  // unadjusted pixels, kept only for keep-for-HSL images
  int width = 0;
  int height = 0;
  bool alpha = false;  // some pixel is not fully opaque (or was cleared by the mask)
  bool keepForHsl = false;
  std::wstring type;  // resource type when loaded from a resource
  DWORD mask = 0;     // 0xAARRGGBB compared with each premultiplied pixel
};

// Type that makes LoadImage read the name as a colour instead of a file or resource.
extern const wchar_t kColorImageType[];  // "*COLOR*"

class CUIRender {
 public:
  // name: a file (relative to the resource path or inside the resource archive; then the
  // name as a plain path), a resource name or id of the given type (a name starting with
  // a digit is a numeric id), or a hexadecimal colour with kColorImageType. None when
  // nothing can be read or decoded.
  static UIImageInfo* LoadImage(const std::wstring& name, const std::wstring& type = L"",
                                DWORD mask = 0);
  // Decodes image file bytes (PNG, JPEG, BMP, GIF ...) into a new image; none on failure.
  static UIImageInfo* LoadImageFromMemory(const BYTE* data, size_t size, DWORD mask = 0);
  // Frees the bitmap and the pixel copy; deletes the record too when deleteRecord is set.
  static void FreeImage(UIImageInfo* image, bool deleteRecord = true);

  // Draws the source part of bitmap into dest through a nine-grid of the given corner
  // widths (left, top, right, bottom), only where it meets paint.
  static void DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint,
                        const RECT& source, const RECT& corners, bool alpha, BYTE fade = 255,
                        bool hole = false, bool xtiled = false, bool ytiled = false);
  // Parses the descriptor on first use (loading the image through the manager) and draws
  // it into the control rectangle item.
  static bool DrawImageInfo(HDC dc, CUIManager* manager, const RECT& item, const RECT& paint,
                            UIDrawInfo& info);

  // Colours are 0xAARRGGBB; alpha 0 draws nothing.
  static void DrawColor(HDC dc, const RECT& rect, DWORD color);
  static void DrawGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical,
                           int steps);

  // A line from the rectangle's left-top to its right-bottom point.
  static void DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int style = PS_SOLID);
  // Outlines drawn inside the rectangle with a hollow brush.
  static void DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int style = PS_SOLID);
  static void DrawRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth,
                            int ellipseHeight, DWORD color, int style = PS_SOLID);

  // Replaces language tokens, then draws in the manager's font of that index with the
  // given DT_* flags (DT_NOPREFIX always added). With DT_CALCRECT rect receives the size.
  static void DrawText(HDC dc, CUIManager* manager, RECT& rect, const std::wstring& text,
                       DWORD color, int font, UINT format);
  // Text with <b> <i> <u> <c #..> <f ..> <a ..> <n> <p> <r> <s> <x> <y> <v> <i ..> tags
  // (or the same in braces). links receives up to linkCount link rectangles with their
  // texts in linkTexts; linkCount receives how many were found. DT_CALCRECT measures.
  static void DrawFormattedText(HDC dc, CUIManager* manager, RECT& rect,
                                const std::wstring& text, DWORD color, RECT* links,
                                std::wstring* linkTexts, int& linkCount, UINT format);

  // A 32-bit top-down DIB section with its pixels at *bits; none on failure.
  static HBITMAP CreatePixelBitmap(HDC dc, int width, int height, BYTE** bits);
  // Paints the manager's tree inside rect (window client coordinates) into a new bitmap
  // of the rectangle's size, stopping at stop; filled with background first unless 0.
  static HBITMAP RenderToBitmap(CUIManager* manager, const RECT& rect, CControlUI* stop = nullptr,
                                DWORD background = 0);

  // Narrows the DC's clip to rect (or to the paint area and a rounded rectangle of item)
  // until clip is released.
  static void ClipToRect(HDC dc, const RECT& rect, CRenderClip& clip);
  static void ClipToRoundRect(HDC dc, const RECT& paint, const RECT& item, int ellipseWidth,
                              int ellipseHeight, CRenderClip& clip);
};

}  // namespace SkinUI
