#include "skinui/EditWnd.h"

#include <string>

#include "skinui/UIEdit.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

// The skinned window reflects these back to the child that sent them.
const UINT kReflectedCommand = WM_COMMAND + 0x2000;
const UINT kReflectedColorEdit = WM_CTLCOLOREDIT + 0x2000;
const UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + 0x2000;

COLORREF ToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI* owner) {
  if (owner == nullptr || owner->Manager() == nullptr || owner->Manager()->Window() == nullptr)
    return nullptr;
  auto* window = new CEditWnd(owner, owner->Manager());
  if (!window->Create()) {
    delete window;
    return nullptr;
  }
  return window;
}

bool CEditWnd::Create() {
  DWORD style = WS_CHILD | ES_AUTOHSCROLL | owner_->nativeStyle_;
  const UINT textStyle = owner_->TextStyle();
  if (textStyle & DT_CENTER) style |= ES_CENTER;
  else if (textStyle & DT_RIGHT) style |= ES_RIGHT;
  else style |= ES_LEFT;
  if (owner_->IsPassword()) style |= ES_PASSWORD;

  RECT rect = owner_->NativeWindowRect();
  if (CWindowWnd::Create(manager_->Window(), nullptr, style, 0, rect) == nullptr) return false;

  HFONT font = manager_->GetFont(owner_->Font());
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(owner_->MaxChar()), 0);
  if (owner_->IsPassword()) SendMessage(EM_SETPASSWORDCHAR, owner_->PasswordChar(), 0);
  ::SetWindowTextW(hwnd_, owner_->GetText().c_str());
  SendMessage(EM_SETMODIFY, FALSE, 0);
  SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::EnableWindow(hwnd_, owner_->IsEnabled());
  SendMessage(EM_SETREADONLY, owner_->IsReadOnly(), 0);
  manager_->RegisterNativeChild(owner_, hwnd_);
  if (manager_->IsLayered())
    ::SetTimer(hwnd_, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
  if (!::IsRectEmpty(&rect)) ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  ::SetFocus(hwnd_);
  int length = ::GetWindowTextLengthW(hwnd_);
  if (owner_->IsAutoSelectAll()) SendMessage(EM_SETSEL, 0, -1);
  else SendMessage(EM_SETSEL, static_cast<WPARAM>(length), length);
  ready_ = true;
  return true;
}

void CEditWnd::Reposition() {
  if (hwnd_ == nullptr || owner_ == nullptr) return;
  RECT rect = owner_->NativeWindowRect();
  if (::IsRectEmpty(&rect)) {
    ::ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  ::SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CEditWnd::ReplaceText(const std::wstring& text) {
  if (hwnd_ == nullptr) return;
  bool wasReady = ready_;
  ready_ = false;
  ::SetWindowTextW(hwnd_, text.c_str());
  ready_ = wasReady;
  // As when the window opens: typing goes on at the end.
  int length = ::GetWindowTextLengthW(hwnd_);
  SendMessage(EM_SETSEL, static_cast<WPARAM>(length), length);
}

void CEditWnd::OnTextChanged() {
  if (!ready_ || owner_ == nullptr) return;
  int length = ::GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(hwnd_, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  owner_->TakeTypedText(text);
  if (owner_ != nullptr) manager_->RaiseNotification(owner_, L"textchanged");
}

LRESULT CEditWnd::OnReflectedColor(UINT message, WPARAM wParam, LPARAM lParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  UINT original = message - 0x2000;
  HWND parent = manager_->Window();
  if (owner_ == nullptr || owner_->NativeBkColor() == CEditUI::kNoNativeBkColor)
    return ::DefWindowProcW(parent, original, wParam, lParam);

  ::SetBkMode(dc, TRANSPARENT);
  DWORD textColor = owner_->NativeTextColor() != 0 ? owner_->NativeTextColor()
                                                   : owner_->TextColor();
  if (textColor == 0) textColor = manager_->DefaultFontColor();
  ::SetTextColor(dc, ToColorRef(textColor));
  if (!brush_) {
    DWORD color = owner_->NativeBkColor();
    if ((color >> 24) < 0xFF) {
      // A translucent colour over what the skin paints beneath the field: the pattern is
      // the window's own picture of that spot with the colour blended on top.
      RECT area = {};
      ::GetWindowRect(hwnd_, &area);
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
      Utils::ScopedBitmap under(CUIRender::RenderToBitmap(manager_, area, nullptr, 0xFFFFFFFF));
      if (under) {
        Utils::ScopedMemoryDC memory(::CreateCompatibleDC(dc));
        HGDIOBJ old = ::SelectObject(memory.get(), under.get());
        RECT whole = {0, 0, area.right - area.left, area.bottom - area.top};
        CUIRender::DrawColor(memory.get(), whole, color);
        ::SelectObject(memory.get(), old);
        brush_.reset(::CreatePatternBrush(under.get()));
      }
    }
    if (!brush_) brush_.reset(::CreateSolidBrush(ToColorRef(color)));
  }
  return reinterpret_cast<LRESULT>(brush_.get());
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  ++handling_;
  LRESULT result = 0;
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        if (owner_ != nullptr) manager_->RaiseNotification(owner_, L"return");
        break;
      }
      result = CallPreviousProc(message, wParam, lParam);
      break;
    case WM_CHAR:
      // The Enter character would only beep in a single-line field.
      if (wParam != VK_RETURN) result = CallPreviousProc(message, wParam, lParam);
      break;
    case WM_KILLFOCUS: {
      result = CallPreviousProc(message, wParam, lParam);
      HWND next = reinterpret_cast<HWND>(wParam);
      if (next != manager_->Window()) ::SendMessageW(manager_->Window(), WM_KILLFOCUS, wParam, 0);
      ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      break;
    }
    case kReflectedCommand:
      if (HIWORD(wParam) == EN_CHANGE) OnTextChanged();
      break;
    case kReflectedColorEdit:
    case kReflectedColorStatic:
      result = OnReflectedColor(message, wParam, lParam);
      break;
    case WM_TIMER:
      if (wParam == kCaretTimerId) {
        caretShown_ = !caretShown_;
        if (owner_ != nullptr) owner_->Invalidate();
        break;
      }
      result = CallPreviousProc(message, wParam, lParam);
      break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      result = CallPreviousProc(message, wParam, lParam);
      // A layered window shows its native children only through printing, which leaves
      // the caret out; it is drawn here in its blink phase.
      POINT caret = {};
      if (caretShown_ && manager_->IsLayered() && ::GetCaretPos(&caret)) {
        UIFontInfo* font = manager_->GetFontInfo(owner_ != nullptr ? owner_->Font() : -1);
        int height = font != nullptr ? font->metrics.tmHeight : 12;
        RECT bar = {caret.x, caret.y, caret.x + 1, caret.y + height};
        ::FillRect(reinterpret_cast<HDC>(wParam), &bar,
                   static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      }
      break;
    }
    default:
      result = CallPreviousProc(message, wParam, lParam);
      break;
  }
  // A receiver of "textchanged" or "return" may have destroyed the edit, and with it this
  // window; the object goes only once no message of it is on the stack any more.
  if (--handling_ == 0 && gone_) delete this;
  return result;
}

void CEditWnd::OnWindowGone(HWND window) {
  brush_.reset();
  manager_->UnregisterNativeChild(window);
  if (owner_ != nullptr) {
    owner_->Invalidate();
    owner_->NativeWindowGone();
    owner_ = nullptr;
  }
  if (handling_ > 0) gone_ = true;
  else delete this;
}

}  // namespace SkinUI
