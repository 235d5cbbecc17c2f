// CLabelUI: a control that shows one text in its font, colour and alignment. It measures
// itself for the layouts (caching the result until something that changes the size
// changes), and can draw its text through GDI+ with gradient, stroke, shadow and glow.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/EffectText.h"
#include "skinui/UIControl.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;

  void SetText(const std::wstring& text) override;
  void SetFixedWidth(int width) override;
  void SetFixedHeight(int height) override;
  SIZE MeasureSize(SIZE available) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintText(HDC dc) override;

  // DT_* flags of the text.
  UINT TextStyle() const { return textStyle_; }
  void SetTextStyle(UINT style);
  // 0 stands for the window's default colours.
  DWORD TextColor() const { return textColor_; }
  void SetTextColor(DWORD color);
  DWORD DisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(DWORD color);
  // -1 stands for the window's default font.
  int Font() const { return font_; }
  void SetFont(int index);
  const RECT& TextPadding() const { return textPadding_; }
  void SetTextPadding(const RECT& padding);
  bool ShowsFormattedText() const { return showHtml_; }
  void SetShowFormattedText(bool show);
  const TextEffects& Effects() const { return effects_; }

 protected:
  // The text colour and disabled colour with the window's defaults filled in.
  DWORD ShownTextColor() const;
  DWORD ShownDisabledTextColor() const;
  // The size of text laid out with format (DT_CALCRECT is added) within the width; a
  // width of 0 measures on one line.
  SIZE MeasureText(const std::wstring& text, UINT format, int width) const;
  // Draws text inside rect as plain or formatted text in the label's font.
  void DrawLabelText(HDC dc, RECT rect, const std::wstring& text, DWORD color, UINT style);
  void MarkForMeasuring() { measureNeeded_ = true; }
  // Fixed width and height, else the font height + 8 and the fixed width: the measure of
  // controls whose text never decides their size.
  SIZE MeasureByFont();

  DWORD textColor_ = 0;
  DWORD disabledTextColor_ = 0;
  int font_ = -1;
  UINT textStyle_ = DT_VCENTER | DT_SINGLELINE;
  RECT textPadding_ = {};
  bool showHtml_ = false;
  SIZE lastAvailable_ = {};
  SIZE measured_ = {};
  bool measureNeeded_ = true;
  TextEffects effects_;

 private:
  GdiplusSession gdiplus_;
};

}  // namespace SkinUI
