#include "skinui/UIEdit.h"

#include "skinui/AttributeValue.h"
#include "skinui/EditWnd.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

CEditUI::CEditUI() {
  textPadding_ = RECT{4, 3, 4, 3};
  bkColor_ = 0xFFFFFFFF;
}

CEditUI::~CEditUI() {
  // The native window must not outlive the edit it calls back into.
  if (window_ != nullptr) {
    CEditWnd* window = window_;
    window_ = nullptr;
    window->ForgetOwner();
    ::DestroyWindow(window->GetHWND());
  }
}

std::wstring CEditUI::ClassName() const { return L"Edit"; }

void* CEditUI::FindInterface(const std::wstring& name) {
  if (name == L"Edit") return this;
  return CLabelUI::FindInterface(name);
}

UINT CEditUI::ControlFlags() const {
  return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0;
}

HWND CEditUI::NativeWindow() const { return window_ != nullptr ? window_->GetHWND() : nullptr; }

SIZE CEditUI::MeasureSize(SIZE) { return MeasureByFont(); }

void CEditUI::SetText(const std::wstring& text) {
  if (text == text_) return;
  CLabelUI::SetText(text);
  if (window_ != nullptr) window_->ReplaceText(text_);
}

void CEditUI::TakeTypedText(const std::wstring& text) {
  // Stored without writing it back: the native window already shows it, and setting it
  // again would report another change.
  CLabelUI::SetText(text);
}

void CEditUI::NativeWindowGone() {
  window_ = nullptr;
  Invalidate();
}

RECT CEditUI::NativeWindowRect() const {
  RECT rect = {item_.left + textPadding_.left, item_.top + textPadding_.top,
               item_.right - textPadding_.right, item_.bottom - textPadding_.bottom};
  UIFontInfo* font = manager_ != nullptr ? manager_->GetFontInfo(font_) : nullptr;
  int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
  if (fontHeight > 0 && fontHeight < rect.bottom - rect.top) {
    rect.top += (rect.bottom - rect.top - fontHeight) / 2;
    rect.bottom = rect.top + fontHeight;
  }
  for (const CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->Parent()) {
    if (!ancestor->IsVisible()) return RECT{};
    RECT client = ancestor->ClientBounds();
    if (!::IntersectRect(&rect, &rect, &client)) return RECT{};
  }
  return rect;
}

bool CEditUI::OpenNativeWindow() {
  if (window_ != nullptr) return true;
  window_ = CEditWnd::Open(this);
  return window_ != nullptr;
}

void CEditUI::FollowWithNativeWindow() {
  if (window_ != nullptr) window_->Reposition();
}

void CEditUI::LeaveNativeWindow() {
  if (window_ == nullptr || manager_ == nullptr) return;
  if (::GetFocus() == window_->GetHWND()) ::SetFocus(manager_->Window());
}

void CEditUI::SetBounds(const RECT& rect, bool invalidate) {
  CLabelUI::SetBounds(rect, invalidate);
  FollowWithNativeWindow();
}

void CEditUI::MoveBy(int dx, int dy, bool invalidate) {
  CLabelUI::MoveBy(dx, dy, invalidate);
  FollowWithNativeWindow();
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible()) LeaveNativeWindow();
}

void CEditUI::SetParentVisible(bool visible) {
  CLabelUI::SetParentVisible(visible);
  if (!IsVisible()) LeaveNativeWindow();
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (enabled) return;
  buttonState_ = 0;
  LeaveNativeWindow();
}

void CEditUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) parent_->HandleEvent(event);
    return;
  }
  const bool inside = ::PtInRect(&item_, event.mouse) != FALSE;
  switch (event.type) {
    case EventSetCursor:
      if (!IsEnabled()) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
      return;
    case EventWindowSize:
      if (window_ != nullptr && manager_ != nullptr) manager_->RequestFocusAfterLayout(this);
      return;
    case EventScrollWheel:
      if (window_ != nullptr) return;
      break;
    case EventSetFocus:
      if (!IsEnabled()) break;
      focused_ = true;
      OpenNativeWindow();
      Invalidate();
      return;
    case EventKillFocus:
      if (!IsEnabled()) break;
      focused_ = false;
      Invalidate();
      return;
    case EventButtonDown:
    case EventDoubleClick:
    case EventRightButtonDown:
      if (!IsEnabled()) break;
      if (manager_ != nullptr) manager_->ReleaseCapture();
      if (HasFocus() && window_ == nullptr) {
        OpenNativeWindow();
      } else if (window_ != nullptr && !autoSelectAll_) {
        // The click goes on into the native window, at the same spot of the text.
        RECT native = NativeWindowRect();
        POINT at = {event.mouse.x - native.left, event.mouse.y - native.top};
        HWND hwnd = window_->GetHWND();
        ::SendMessageW(hwnd, EM_SETSEL, 0, 0);
        ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
      }
      return;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
      return;
    case EventMouseEnter:
      if (inside && IsEnabled()) {
        buttonState_ |= ButtonStateHot;
        Invalidate();
      }
      return;
    case EventMouseLeave:
      if (inside) {
        if (manager_ != nullptr) manager_->WatchMouseLeave(this);
        return;
      }
      if (buttonState_ & ButtonStateHot) {
        buttonState_ &= ~ButtonStateHot;
        Invalidate();
      }
      if (manager_ != nullptr) manager_->UnwatchMouseLeave(this);
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CEditUI::SetMaxChar(int count) {
  maxChar_ = count;
  if (window_ != nullptr) ::SendMessageW(window_->GetHWND(), EM_LIMITTEXT, maxChar_, 0);
}

void CEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (window_ != nullptr) ::SendMessageW(window_->GetHWND(), EM_SETREADONLY, readOnly_, 0);
  Invalidate();
}

void CEditUI::SetPassword(bool password) {
  password_ = password;
  Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
  if (numberOnly) nativeStyle_ |= ES_NUMBER;
  else nativeStyle_ &= ~static_cast<UINT>(ES_NUMBER);
}

void CEditUI::SetTipValue(const std::wstring& tip) {
  tip_ = tip;
  if (text_.empty()) CLabelUI::SetText(tip);
  Invalidate();
}

void CEditUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  auto setImage = [this](UIDrawInfo& slot, const std::wstring& descriptor) {
    if (descriptor == slot.descriptor && slot.image != nullptr) return;
    slot.Clear();
    slot.descriptor = descriptor;
    Invalidate();
  };
  if (name == L"readonly") SetReadOnly(ParseBool(value));
  else if (name == L"numberonly") SetNumberOnly(ParseBool(value));
  else if (name == L"password") SetPassword(ParseBool(value));
  else if (name == L"autoselall") autoSelectAll_ = ParseBool(value);
  else if (name == L"maxchar") SetMaxChar(ParseInteger(value));
  else if (name == L"normalimage") setImage(normalImage_, value);
  else if (name == L"hotimage") setImage(hotImage_, value);
  else if (name == L"focusedimage") setImage(focusedImage_, value);
  else if (name == L"disabledimage") setImage(disabledImage_, value);
  else if (name == L"nativebkcolor") nativeBkColor_ = ParseColor(value);
  else if (name == L"tipvalue") SetTipValue(value);
  else if (name == L"tipvaluecolor") tipColor_ = ParseColor(value);
  else if (name == L"nativetextcolor") nativeTextColor_ = ParseColor(value);
  else CLabelUI::ApplyAttribute(name, value);
}

void CEditUI::PaintStateImage(HDC dc) {
  if (HasFocus()) buttonState_ |= ButtonStateFocused;
  else buttonState_ &= ~ButtonStateFocused;
  if (!IsEnabled()) buttonState_ |= ButtonStateDisabled;
  else buttonState_ &= ~ButtonStateDisabled;

  if ((buttonState_ & ButtonStateDisabled) && DrawImage(dc, disabledImage_)) return;
  if ((buttonState_ & ButtonStateFocused) && DrawImage(dc, focusedImage_)) return;
  if ((buttonState_ & ButtonStateHot) && DrawImage(dc, hotImage_)) return;
  DrawImage(dc, normalImage_);
}

std::wstring CEditUI::ShownText() const {
  if (text_.empty() || text_ == tip_) return tip_;
  if (password_) return std::wstring(text_.size(), passwordChar_);
  return text_;
}

void CEditUI::PaintText(HDC dc) {
  if (manager_ == nullptr) return;
  std::wstring shown = ShownText();
  if (shown.empty()) return;
  DWORD color = IsEnabled() ? ShownTextColor() : ShownDisabledTextColor();
  if ((text_.empty() || text_ == tip_) && tipColor_ != 0) color = tipColor_;
  RECT rect = {item_.left + textPadding_.left, item_.top + textPadding_.top,
               item_.right - textPadding_.right, item_.bottom - textPadding_.bottom};
  CUIRender::DrawText(dc, manager_, rect, shown, color, font_, textStyle_ | DT_SINGLELINE);
}

}  // namespace SkinUI
