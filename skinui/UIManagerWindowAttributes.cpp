// The attributes of a skin's "Window" element as the manager keeps them, and the
// window-level modes they switch (opacity, self-painted layered mode).
#include <windows.h>

#include "skinui/AttributeValue.h"
#include "skinui/UIControl.h"
#include "skinui/UIManager.h"

namespace SkinUI {

namespace {

bool SameIgnoringCase(const std::wstring& a, const wchar_t* b) {
  return ::lstrcmpiW(a.c_str(), b) == 0;
}

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*,
                                                  COLORREF, BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Windows before 2000 have neither entry point; the program must still start there.
void* User32Entry(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<void*>(::GetProcAddress(user32, name)) : nullptr;
}

}  // namespace

void CUIManager::ApplyWindowAttribute(const std::wstring& name, const std::wstring& value) {
  if (SameIgnoringCase(name, L"size")) {
    SIZE size = ParseSize(value);
    SetInitialSize(size.cx, size.cy);
  } else if (SameIgnoringCase(name, L"sizebox")) {
    SetSizeBox(ParseRect(value));
  } else if (SameIgnoringCase(name, L"caption")) {
    SetCaption(ParseRect(value));
  } else if (SameIgnoringCase(name, L"roundcorner")) {
    SIZE size = ParseSize(value);
    SetRoundCorner(size.cx, size.cy);
  } else if (SameIgnoringCase(name, L"mininfo")) {
    SIZE size = ParseSize(value);
    SetMinInfo(size.cx, size.cy);
  } else if (SameIgnoringCase(name, L"maxinfo")) {
    SIZE size = ParseSize(value);
    SetMaxInfo(size.cx, size.cy);
  } else if (SameIgnoringCase(name, L"showdirty")) {
    SetShowDirty(ParseBool(value));
  } else if (name == L"noactivate") {
    SetNoActivate(ParseBool(value));
  } else if (SameIgnoringCase(name, L"opacity")) {
    SetOpacity(static_cast<BYTE>(ParseInteger(value)));
  } else if (name == L"layeredopacity") {
    SetLayeredAlpha(static_cast<BYTE>(ParseInteger(value)));
  } else if (name == L"layeredimage") {
    SetLayered(true);
    SetLayeredImage(value);
  } else if (SameIgnoringCase(name, L"disabledfontcolor")) {
    SetDefaultDisabledColor(ParseColor(value));
  } else if (SameIgnoringCase(name, L"defaultfontcolor")) {
    SetDefaultFontColor(ParseColor(value));
  } else if (SameIgnoringCase(name, L"linkfontcolor")) {
    SetDefaultLinkFontColor(ParseColor(value));
  } else if (SameIgnoringCase(name, L"linkhoverfontcolor")) {
    SetDefaultLinkHoverFontColor(ParseColor(value));
  } else if (SameIgnoringCase(name, L"selectedcolor")) {
    SetDefaultSelectedBkColor(ParseColor(value));
  } else {
    AddWindowExtraAttribute(name, value);
  }
}

void CUIManager::AddWindowExtraAttribute(const std::wstring& name, const std::wstring& value) {
  if (name.empty()) return;
  windowCustomAttributes_.emplace(name, value);
}

const std::wstring* CUIManager::WindowExtraAttribute(const std::wstring& name) const {
  auto found = windowCustomAttributes_.find(name);
  return found == windowCustomAttributes_.end() ? nullptr : &found->second;
}

void CUIManager::SetInitialSize(int cx, int cy) {
  initialSize_ = SIZE{cx, cy};
  if (window_ != nullptr && root_ == nullptr)
    ::SetWindowPos(window_, nullptr, 0, 0, cx, cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CUIManager::SetOpacity(BYTE opacity) {
  opacity_ = opacity;
  if (window_ == nullptr) return;
  auto setAttributes = reinterpret_cast<SetLayeredWindowAttributesFunction>(
      User32Entry("SetLayeredWindowAttributes"));
  if (setAttributes == nullptr) return;
  LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
  if ((style & WS_EX_LAYERED) == 0)
    ::SetWindowLongPtrW(window_, GWL_EXSTYLE, style | WS_EX_LAYERED);
  setAttributes(window_, 0, opacity, LWA_ALPHA);
}

void CUIManager::SetLayered(bool layered) {
  if (window_ == nullptr || layered == layered_) return;
  if ((::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0) return;
  if (User32Entry("UpdateLayeredWindow") == nullptr) return;
  LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
  if (layered) {
    ::SetWindowLongPtrW(window_, GWL_EXSTYLE, style | WS_EX_LAYERED);
    ::SetTimer(window_, kLayeredTimerId, 10, nullptr);
  } else {
    ::SetWindowLongPtrW(window_, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    ::KillTimer(window_, kLayeredTimerId);
  }
  layered_ = layered;
  // The off-screen buffer changes kind (DIB with pixel access in layered mode).
  ReleaseBuffers();
  if (root_ != nullptr) root_->RequestLayout();
  Invalidate();
}

void CUIManager::SetLayeredImage(const std::wstring& descriptor) {
  layeredImage_.SetDescriptor(descriptor);
  layeredImage_.EnsureParsed(this);
  layeredChanged_ = true;
  Invalidate();
}

void CUIManager::SetLayeredAlpha(BYTE alpha) {
  opacity_ = alpha;
  layeredChanged_ = true;
  Invalidate();
}

void CUIManager::SetLayeredInset(const RECT& inset) {
  layeredInset_ = inset;
  layeredChanged_ = true;
  Invalidate();
}

void CUIManager::SetOffscreenPaint(bool offscreen) {
  if (offscreen == offscreenPaint_) return;
  offscreenPaint_ = offscreen;
  ReleaseBuffers();
  Invalidate();
}

bool CUIManager::UpdateLayeredWindowPicture(const RECT& client) {
  auto update =
      reinterpret_cast<UpdateLayeredWindowFunction>(User32Entry("UpdateLayeredWindow"));
  if (update == nullptr || window_ == nullptr) return false;
  RECT window = {};
  ::GetWindowRect(window_, &window);
  POINT destination = {window.left, window.top};
  SIZE size = {client.right - client.left, client.bottom - client.top};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity_, AC_SRC_ALPHA};
  return update(window_, nullptr, &destination, &size, offscreenDC_.get(), &source, 0, &blend,
                ULW_ALPHA) != FALSE;
}

}  // namespace SkinUI
