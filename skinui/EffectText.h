// Label text drawn through GDI+ with a gradient fill, an outline, a drop shadow and a
// glow. Plain GDI text cannot be anti-aliased over translucent skins nor filled with a
// gradient, which is why labels that ask for effects take this road.
#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {

// How a label's effect text looks; the defaults are those of a label that sets nothing.
struct TextEffects {
  bool enabled = false;
  bool luminous = false;
  float luminousBlur = 3.0f;  // glow radius in pixels
  int gradientLength = 0;     // 0: the text is filled in its plain colour
  int gradientAngle = 0;      // degrees, clockwise from the x axis
  bool stroke = false;
  bool shadow = false;
  int shadowOffset = 0;       // distance of the shadow from the text in pixels
  int shadowAngle = 0;        // direction in degrees, -180..180
  DWORD textColor2 = 0xFFFFFFFF;    // far end of the gradient and colour of the glow
  DWORD shadowColorA = 0xFF000000;  // shadow colour at the top ...
  DWORD shadowColorB = 0xFFFFFFFF;  // ... fading into this one at the bottom
  DWORD strokeColor = 0;
};

// Keeps GDI+ started for as long as the object lives. GDI+ counts its start-ups, so
// every owner can hold its own session.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool IsStarted() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

// Draws text inside rect with the DT_* alignment flags of style (centre, right, vertical
// centre, bottom, single line, end ellipsis) in font and color (0xAARRGGBB). Returns false
// when GDI+ could not draw, so the caller can fall back to plain text.
bool DrawEffectText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, UINT style,
                    DWORD color, const TextEffects& effects);

}  // namespace SkinUI
