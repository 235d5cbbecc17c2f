#include "skinui/EffectText.h"

#include <algorithm>
#include <cmath>
#include <memory>

// The GDI+ headers use unqualified min and max.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
// The build trims windows.h, which then leaves out the COM types GDI+ needs.
#include <objidl.h>
#include <gdiplus.h>

namespace SkinUI {

namespace {

constexpr double kPi = 3.14159265358979323846;

Gdiplus::Color ToColor(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

void ApplyAlignment(UINT style, Gdiplus::StringFormat& format) {
  if (style & DT_CENTER) format.SetAlignment(Gdiplus::StringAlignmentCenter);
  else if (style & DT_RIGHT) format.SetAlignment(Gdiplus::StringAlignmentFar);
  else format.SetAlignment(Gdiplus::StringAlignmentNear);
  if (style & DT_VCENTER) format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  else if (style & DT_BOTTOM) format.SetLineAlignment(Gdiplus::StringAlignmentFar);
  else format.SetLineAlignment(Gdiplus::StringAlignmentNear);
  if (style & DT_SINGLELINE) format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  if (style & DT_END_ELLIPSIS) format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
}

}  // namespace

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

bool DrawEffectText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, UINT style,
                    DWORD color, const TextEffects& effects) {
  if (dc == nullptr || font == nullptr) return false;
  if (text.empty()) return true;
  LOGFONTW logFont = {};
  if (::GetObjectW(font, sizeof(logFont), &logFont) == 0) return false;

  Gdiplus::Graphics graphics(dc);
  if (graphics.GetLastStatus() != Gdiplus::Ok) return false;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

  Gdiplus::Font gdipFont(dc, font);
  Gdiplus::FontFamily family;
  if (gdipFont.GetFamily(&family) != Gdiplus::Ok) return false;
  INT fontStyle = Gdiplus::FontStyleRegular;
  if (logFont.lfWeight >= FW_BOLD) fontStyle |= Gdiplus::FontStyleBold;
  if (logFont.lfItalic) fontStyle |= Gdiplus::FontStyleItalic;
  if (logFont.lfUnderline) fontStyle |= Gdiplus::FontStyleUnderline;
  // A negative height is the character height, which is what an em size is.
  Gdiplus::REAL emSize = static_cast<Gdiplus::REAL>(std::abs(logFont.lfHeight));
  if (emSize <= 0) emSize = 12;

  Gdiplus::StringFormat format;
  ApplyAlignment(style, format);
  Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                        static_cast<Gdiplus::REAL>(rect.right - rect.left),
                        static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
  Gdiplus::GraphicsPath path;
  path.AddString(text.c_str(), static_cast<INT>(text.size()), &family, fontStyle, emSize, layout,
                 &format);
  if (path.GetLastStatus() != Gdiplus::Ok) return false;

  if (effects.shadow) {
    double radians = effects.shadowAngle * kPi / 180.0;
    Gdiplus::Matrix shift;
    shift.Translate(static_cast<Gdiplus::REAL>(effects.shadowOffset * std::cos(radians)),
                    static_cast<Gdiplus::REAL>(effects.shadowOffset * std::sin(radians)));
    std::unique_ptr<Gdiplus::GraphicsPath> shadow(path.Clone());
    shadow->Transform(&shift);
    Gdiplus::LinearGradientBrush shadowBrush(layout, ToColor(effects.shadowColorA),
                                             ToColor(effects.shadowColorB),
                                             Gdiplus::LinearGradientModeVertical);
    graphics.FillPath(&shadowBrush, shadow.get());
  }
  if (effects.luminous) {
    // A glow is a stack of ever wider, faint outlines.
    int steps = std::max(1, static_cast<int>(effects.luminousBlur + 0.5f));
    BYTE alpha = static_cast<BYTE>(std::max(8, 160 / steps));
    DWORD glow = (static_cast<DWORD>(alpha) << 24) | (effects.textColor2 & 0x00FFFFFF);
    for (int step = steps; step >= 1; --step) {
      Gdiplus::Pen pen(ToColor(glow), static_cast<Gdiplus::REAL>(step * 2));
      pen.SetLineJoin(Gdiplus::LineJoinRound);
      graphics.DrawPath(&pen, &path);
    }
  }
  if (effects.stroke && effects.strokeColor != 0) {
    Gdiplus::Pen pen(ToColor(effects.strokeColor), 2.0f);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    graphics.DrawPath(&pen, &path);
  }
  if (effects.gradientLength > 0) {
    Gdiplus::RectF span(layout.X, layout.Y, static_cast<Gdiplus::REAL>(effects.gradientLength),
                        static_cast<Gdiplus::REAL>(effects.gradientLength));
    Gdiplus::LinearGradientBrush fill(span, ToColor(color), ToColor(effects.textColor2),
                                      static_cast<Gdiplus::REAL>(effects.gradientAngle));
    graphics.FillPath(&fill, &path);
  } else {
    Gdiplus::SolidBrush fill(ToColor(color));
    graphics.FillPath(&fill, &path);
  }
  return graphics.GetLastStatus() == Gdiplus::Ok;
}

}  // namespace SkinUI
