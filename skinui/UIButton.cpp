#include "skinui/UIButton.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

CButtonUI::DestroyWatch::DestroyWatch(CButtonUI* button)
    : button_(button), previous_(button->destroyedFlag_) {
  button_->destroyedFlag_ = &destroyed_;
}

CButtonUI::DestroyWatch::~DestroyWatch() {
  if (destroyed_) {
    // An outer watch of the same button must learn it too.
    if (previous_ != nullptr) *previous_ = true;
    return;
  }
  button_->destroyedFlag_ = previous_;
}

CButtonUI::CButtonUI() { textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

CButtonUI::~CButtonUI() {
  if (destroyedFlag_ != nullptr) *destroyedFlag_ = true;
}

std::wstring CButtonUI::ClassName() const { return L"Button"; }

void* CButtonUI::FindInterface(const std::wstring& name) {
  if (name == L"Button") return this;
  return CLabelUI::FindInterface(name);
}

UINT CButtonUI::ControlFlags() const {
  UINT flags = 0;
  if (IsKeyboardEnabled()) flags |= ControlFlagTabStop;
  if (IsEnabled()) flags |= ControlFlagSetCursor;
  return flags;
}

bool CButtonUI::Activate() {
  if (!CLabelUI::Activate()) return false;
  if (manager_ != nullptr) manager_->RaiseNotification(this, L"click");
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!enabled) buttonState_ = 0;
}

SIZE CButtonUI::MeasureSize(SIZE) { return MeasureByFont(); }

void CButtonUI::StartFade() {
  if (fadeStep_ > 0 && manager_ != nullptr) manager_->SetTimer(this, kFadeTimerId, kFadeInterval);
}

void CButtonUI::OnFadeTick() {
  bool done;
  if (buttonState_ & ButtonStateHot) {
    fadeAlpha_ = static_cast<BYTE>(std::max(0, fadeAlpha_ - fadeStep_));
    done = fadeAlpha_ == 0;
  } else {
    fadeAlpha_ = static_cast<BYTE>(std::min(255, fadeAlpha_ + fadeStep_));
    done = fadeAlpha_ == 255;
  }
  if (done && manager_ != nullptr) manager_->KillTimer(this, kFadeTimerId);
  Invalidate();
}

void CButtonUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) parent_->HandleEvent(event);
    return;
  }
  switch (event.type) {
    case EventKeyDown:
      if ((event.key == VK_SPACE || event.key == VK_RETURN) && IsKeyboardEnabled() &&
          IsEnabled()) {
        Activate();
        return;
      }
      break;
    case EventMouseMove:
      if (buttonState_ & ButtonStateCaptured) {
        if (IsInside(event.mouse)) buttonState_ |= ButtonStatePushed;
        else buttonState_ &= ~ButtonStatePushed;
        Invalidate();
        return;
      }
      break;
    case EventMouseEnter:
      if (IsInside(event.mouse) && IsEnabled() && !(buttonState_ & ButtonStateHot)) {
        buttonState_ |= ButtonStateHot;
        Invalidate();
        if (manager_ != nullptr) {
          DestroyWatch watch(this);
          manager_->RaiseNotification(this, L"mouseenter", event.wParam, event.lParam);
          if (watch.Destroyed()) return;
        }
        StartFade();
      }
      return;
    case EventMouseLeave:
      // The mouse went onto a control lying over this button: the button stays hot until
      // the mouse really leaves its rectangle.
      if (IsInside(event.mouse)) {
        if (manager_ != nullptr) manager_->WatchMouseLeave(this);
        return;
      }
      if (IsEnabled() && (buttonState_ & ButtonStateHot)) {
        buttonState_ &= ~ButtonStateHot;
        Invalidate();
        if (manager_ != nullptr) {
          DestroyWatch watch(this);
          manager_->RaiseNotification(this, L"mouseleave", event.wParam, event.lParam);
          if (watch.Destroyed()) return;
        }
      }
      if (manager_ != nullptr) manager_->UnwatchMouseLeave(this);
      StartFade();
      return;
    case EventButtonDown:
    case EventDoubleClick:
      if (IsInside(event.mouse) && IsEnabled()) {
        buttonState_ |= ButtonStatePushed | ButtonStateCaptured;
        Invalidate();
        return;
      }
      break;
    case EventButtonUp:
      if (buttonState_ & ButtonStateCaptured) {
        if (IsInside(event.mouse) && IsEnabled()) {
          // A receiver of "click" may destroy the button (close a page, rebuild a list).
          DestroyWatch watch(this);
          Activate();
          if (watch.Destroyed()) return;
        }
        buttonState_ &= ~(ButtonStatePushed | ButtonStateCaptured);
        Invalidate();
        return;
      }
      break;
    case EventContextMenu:
      if (usesContextMenu_) {
        if (IsEnabled() && manager_ != nullptr)
          manager_->RaiseNotification(this, L"menu", event.wParam, event.lParam);
        return;
      }
      break;
    case EventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return;
    case EventTimer:
      if (event.wParam == kFadeTimerId) {
        OnFadeTick();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CButtonUI::SetImage(UIDrawInfo& slot, const std::wstring& descriptor) {
  if (descriptor == slot.descriptor && slot.image != nullptr) return;
  slot.Clear();
  slot.descriptor = descriptor;
  Invalidate();
}

bool CButtonUI::SetFiveStatusImage(const std::wstring& descriptor) {
  if (manager_ == nullptr || descriptor.empty()) return false;
  ImageDescriptor parsed = ParseImageDescriptor(descriptor);
  const UIImageInfo* image =
      manager_->GetImage(parsed.name, parsed.type, parsed.mask, parsed.keepForHsl);
  if (image == nullptr) return false;
  RECT source = parsed.source;
  if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
    source = RECT{0, 0, image->width, image->height};
  source.right = std::min<LONG>(source.right, image->width);
  source.bottom = std::min<LONG>(source.bottom, image->height);
  const int column = (source.right - source.left) / 5;
  if (column <= 0 || source.bottom <= source.top) return false;

  // A later "source" pair overrides an earlier one, so each column is the descriptor with
  // its own part appended; a bare name becomes a "file" pair first.
  std::wstring base = parsed.name == descriptor ? L"file='" + descriptor + L"'" : descriptor;
  UIDrawInfo* slots[5] = {&normalImage_, &pushedImage_, &hotImage_, &focusedImage_,
                          &disabledImage_};
  for (int i = 0; i < 5; ++i) {
    LONG left = source.left + i * column;
    SetImage(*slots[i], base + L" source='" + std::to_wstring(left) + L"," +
                            std::to_wstring(source.top) + L"," + std::to_wstring(left + column) +
                            L"," + std::to_wstring(source.bottom) + L"'");
  }
  if (float_ && fixedSize_.cx == 0 && fixedSize_.cy == 0) {
    SetFixedWidth(column);
    SetFixedHeight(source.bottom - source.top);
  }
  return true;
}

void CButtonUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"normalimage") SetImage(normalImage_, value);
  else if (name == L"hotimage") SetImage(hotImage_, value);
  else if (name == L"pushedimage") SetImage(pushedImage_, value);
  else if (name == L"focusedimage") SetImage(focusedImage_, value);
  else if (name == L"disabledimage") SetImage(disabledImage_, value);
  else if (name == L"foreimage") SetImage(foreImage_, value);
  else if (name == L"hotforeimage") SetImage(hotForeImage_, value);
  else if (name == L"fivestatusimage") SetFiveStatusImage(value);
  else if (name == L"fadedelta") fadeStep_ = static_cast<BYTE>(std::clamp(ParseInteger(value), 0, 255));
  else if (name == L"hotbkcolor") hotBkColor_ = ParseColor(value);
  else if (name == L"pushedbkcolor") pushedBkColor_ = ParseColor(value);
  else if (name == L"disabledbkcolor") disabledBkColor_ = ParseColor(value);
  else if (name == L"hottextcolor") hotTextColor_ = ParseColor(value);
  else if (name == L"pushedtextcolor") pushedTextColor_ = ParseColor(value);
  else if (name == L"focusedtextcolor") focusedTextColor_ = ParseColor(value);
  else CLabelUI::ApplyAttribute(name, value);
}

bool CButtonUI::DrawImageFaded(HDC dc, UIDrawInfo& info, BYTE fade) {
  if (!info.EnsureParsed(manager_)) return false;
  BYTE own = info.fade;
  info.fade = fade;
  bool drawn = DrawImage(dc, info);
  info.fade = own;
  return drawn;
}

void CButtonUI::UpdateStateBits() {
  if (HasFocus()) buttonState_ |= ButtonStateFocused;
  else buttonState_ &= ~ButtonStateFocused;
  if (!IsEnabled()) buttonState_ |= ButtonStateDisabled;
  else buttonState_ &= ~ButtonStateDisabled;
}

RECT CButtonUI::TextRect() const {
  return RECT{item_.left + textPadding_.left, item_.top + textPadding_.top,
              item_.right - textPadding_.right, item_.bottom - textPadding_.bottom};
}

void CButtonUI::PaintStateImage(HDC dc) {
  UpdateStateBits();

  if (buttonState_ & ButtonStateDisabled) {
    if (disabledBkColor_ != 0) CUIRender::DrawColor(dc, paintRect_, disabledBkColor_);
    if (DrawImage(dc, disabledImage_)) return;
  } else if (buttonState_ & ButtonStatePushed) {
    if (pushedBkColor_ != 0) CUIRender::DrawColor(dc, paintRect_, pushedBkColor_);
    if (!DrawImage(dc, pushedImage_)) DrawImage(dc, normalImage_);
    DrawImage(dc, foreImage_);
    return;
  } else if (buttonState_ & ButtonStateHot) {
    if (hotBkColor_ != 0) CUIRender::DrawColor(dc, paintRect_, hotBkColor_);
    if (fadeStep_ > 0) {
      if (fadeAlpha_ != 0) DrawImageFaded(dc, normalImage_, fadeAlpha_);
      DrawImageFaded(dc, hotImage_, static_cast<BYTE>(255 - fadeAlpha_));
    } else if (!DrawImage(dc, hotImage_)) {
      DrawImage(dc, normalImage_);
    }
    if (!DrawImage(dc, hotForeImage_)) DrawImage(dc, foreImage_);
    return;
  } else if ((buttonState_ & ButtonStateFocused) && DrawImage(dc, focusedImage_)) {
    DrawImage(dc, foreImage_);
    return;
  }

  if (fadeStep_ > 0 && fadeAlpha_ < 255) {
    DrawImageFaded(dc, hotImage_, static_cast<BYTE>(255 - fadeAlpha_));
    DrawImageFaded(dc, normalImage_, fadeAlpha_);
  } else {
    DrawImage(dc, normalImage_);
  }
  DrawImage(dc, foreImage_);
}

void CButtonUI::PaintText(HDC dc) {
  if (text_.empty() || manager_ == nullptr) return;
  DWORD color;
  if ((buttonState_ & ButtonStatePushed) && pushedTextColor_ != 0) color = pushedTextColor_;
  else if ((buttonState_ & ButtonStateHot) && hotTextColor_ != 0) color = hotTextColor_;
  else if ((buttonState_ & ButtonStateFocused) && focusedTextColor_ != 0) color = focusedTextColor_;
  else color = IsEnabled() ? ShownTextColor() : ShownDisabledTextColor();
  DrawLabelText(dc, TextRect(), text_, color, textStyle_);
}

}  // namespace SkinUI
