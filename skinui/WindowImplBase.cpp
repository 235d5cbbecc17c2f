#include "skinui/WindowImplBase.h"

#include <windowsx.h>

#include <cwchar>
#include <cwctype>
#include <map>
#include <vector>

#include "skinui/UIControl.h"

namespace SkinUI {
namespace {

// "Failed to load the resource file": the skin is the whole window, so without it the
// program cannot go on.
constexpr wchar_t kSkinErrorText[] = L"\u52a0\u8f7d\u8d44\u6e90\u6587\u4ef6\u5931\u8d25";
constexpr wchar_t kSkinErrorCaption[] = L"SkinUI";

// WM_NCCALCSIZE: keep the proposed rectangle but ask for a full redraw
// (WVR_HREDRAW | WVR_VREDRAW).
constexpr LRESULT kRedrawWholeClient = 0x300;

bool IsDecimal(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t ch : text) {
    if (!std::iswdigit(ch)) return false;
  }
  return true;
}

bool IsCaptionPassThrough(const CControlUI* control) {
  std::wstring name = control->ClassName();
  return ::lstrcmpiW(name.c_str(), L"Button") == 0 || ::lstrcmpiW(name.c_str(), L"Option") == 0 ||
         ::lstrcmpiW(name.c_str(), L"Text") == 0;
}

MONITORINFO MonitorOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
  return info;
}

}  // namespace

WindowImplBase::~WindowImplBase() {
  // The window must not reach this object's manager or hooks once they are gone.
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

const NotifyMapTable* WindowImplBase::NotifyMap() const {
  static const NotifyMapEntry entries[] = {
      NotifyRecordEntry<WindowImplBase>(L"click", L"", &WindowImplBase::OnClick),
  };
  static const NotifyMapTable table = {CNotifyPump::NotifyMap(), entries, 1};
  return &table;
}

void WindowImplBase::Notify(UINotification& notification) { NotifyPump(notification); }

CControlUI* WindowImplBase::CreateCustomControl(const wchar_t* className) {
  (void)className;
  return nullptr;
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                       bool& handled) {
  (void)lParam;
  (void)handled;
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    return OnDefaultKey(wParam) ? 1 : 0;
  }
  return 0;
}

bool WindowImplBase::OnDefaultKey(WPARAM key) {
  if (key != VK_ESCAPE) return false;
  Close(IDOK);
  return true;
}

void WindowImplBase::OnClick(UINotification& notification) {
  if (notification.sender == nullptr) return;
  const std::wstring& name = notification.sender->GetName();
  if (name == L"closebtn") {
    Close(IDOK);
  } else if (name == L"minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

void WindowImplBase::OnWindowGone(HWND window) {
  (void)window;
  manager_.RemovePreDispatchFilter(this);
  manager_.RemoveNotifyReceiver(this);
  if (manager_.Root() != nullptr) manager_.ForgetControl(manager_.Root());
}

LONG WindowImplBase::WindowStyle() const {
  return static_cast<LONG>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)) & ~WS_CAPTION;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  using Hook = LRESULT (WindowImplBase::*)(UINT, WPARAM, LPARAM, bool&);
  Hook hook = nullptr;
  switch (message) {
    case WM_CREATE: hook = &WindowImplBase::OnCreate; break;
    case WM_CLOSE: hook = &WindowImplBase::OnClose; break;
    case WM_DESTROY: hook = &WindowImplBase::OnDestroy; break;
    case WM_NCACTIVATE: hook = &WindowImplBase::OnNcActivate; break;
    case WM_NCCALCSIZE: hook = &WindowImplBase::OnNcCalcSize; break;
    case WM_NCPAINT: hook = &WindowImplBase::OnNcPaint; break;
    case WM_NCHITTEST: hook = &WindowImplBase::OnNcHitTest; break;
    case WM_GETMINMAXINFO: hook = &WindowImplBase::OnGetMinMaxInfo; break;
    case WM_MOUSEWHEEL: hook = &WindowImplBase::OnMouseWheel; break;
    case WM_MOUSEHOVER: hook = &WindowImplBase::OnMouseHover; break;
    case WM_SIZE: hook = &WindowImplBase::OnSize; break;
    case WM_CHAR: hook = &WindowImplBase::OnChar; break;
    case WM_SYSCOMMAND: hook = &WindowImplBase::OnSysCommand; break;
    case WM_KEYDOWN: hook = &WindowImplBase::OnKeyDown; break;
    case WM_KILLFOCUS: hook = &WindowImplBase::OnKillFocus; break;
    case WM_SETFOCUS: hook = &WindowImplBase::OnSetFocus; break;
    case WM_LBUTTONDOWN: hook = &WindowImplBase::OnLButtonDown; break;
    case WM_LBUTTONUP: hook = &WindowImplBase::OnLButtonUp; break;
    case WM_MOUSEMOVE: hook = &WindowImplBase::OnMouseMove; break;
    default: break;
  }
  bool handled = true;
  if (hook != nullptr) {
    LRESULT result = (this->*hook)(message, wParam, lParam, handled);
    if (handled) return result;
  }
  handled = true;
  LRESULT result = HandleExtraMessage(message, wParam, lParam, handled);
  if (handled) return result;
  if (manager_.MessageHandler(message, wParam, lParam, result)) return result;
  return CallPreviousProc(message, wParam, lParam);
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (::IsIconic(hwnd_)) {
    handled = false;
    return 0;
  }
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&) {
  // The whole window is client area: the skin draws its own frame. A maximised window
  // would otherwise spill past the monitor by the width of the frame it no longer has.
  if (!::IsZoomed(hwnd_)) return 0;
  // Both forms of lParam begin with the proposed client rectangle.
  auto* proposed = reinterpret_cast<RECT*>(lParam);
  MONITORINFO monitor = MonitorOf(hwnd_);
  proposed->right = proposed->left + (monitor.rcWork.right - monitor.rcWork.left);
  proposed->bottom = proposed->top + (monitor.rcWork.bottom - monitor.rcWork.top);
  return kRedrawWholeClient;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(hwnd_, &point);
  RECT client = {};
  ::GetClientRect(hwnd_, &client);

  if (!::IsZoomed(hwnd_)) {
    const RECT& box = manager_.SizeBox();
    bool left = point.x < client.left + box.left;
    bool right = point.x > client.right - box.right;
    if (point.y < client.top + box.top) {
      return left ? HTTOPLEFT : (right ? HTTOPRIGHT : HTTOP);
    }
    if (point.y > client.bottom - box.bottom) {
      return left ? HTBOTTOMLEFT : (right ? HTBOTTOMRIGHT : HTBOTTOM);
    }
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }

  const RECT& caption = manager_.Caption();
  if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
      point.y >= caption.top && point.y < caption.bottom) {
    CControlUI* control = manager_.ControlAtPoint(point);
    if (control != nullptr && !IsCaptionPassThrough(control)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO monitor = MonitorOf(hwnd_);
  const RECT& work = monitor.rcWork;
  info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
  info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
  info->ptMaxTrackSize.x = work.right - work.left;
  info->ptMaxTrackSize.y = work.bottom - work.top;
  info->ptMinTrackSize.x = manager_.MinInfo().cx;
  info->ptMinTrackSize.y = manager_.MinInfo().cy;
  // The manager still applies "mininfo" and "maxinfo" where they are set.
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  SIZE round = manager_.RoundCorner();
  if (!::IsIconic(hwnd_) && (round.cx != 0 || round.cy != 0)) {
    RECT rc = {};
    ::GetWindowRect(hwnd_, &rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    rc.right++;
    rc.bottom++;
    HRGN region = ::CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, round.cx, round.cy);
    // The system owns the region once it is set.
    if (region != nullptr && !::SetWindowRgn(hwnd_, region, TRUE)) ::DeleteObject(region);
  }
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  bool wasZoomed = ::IsZoomed(hwnd_) != FALSE;
  LRESULT result = CallPreviousProc(message, wParam, lParam);
  if (hwnd_ != nullptr && wasZoomed != (::IsZoomed(hwnd_) != FALSE)) {
    CControlUI* maxButton = manager_.ControlByName(L"maxbtn");
    CControlUI* restoreButton = manager_.ControlByName(L"restorebtn");
    if (maxButton != nullptr && restoreButton != nullptr) {
      maxButton->SetVisible(wasZoomed);
      restoreButton->SetVisible(!wasZoomed);
    }
  }
  return result;
}

const BYTE* WindowImplBase::ArchiveResourceCopy(const std::wstring& id, DWORD& size) {
  // The manager reads a memory archive in place for as long as it holds it, and it holds
  // the first one it is given for the rest of the process. So the copy is never freed,
  // and each resource is copied once however many windows are opened from it.
  static auto* copies = new std::map<std::wstring, std::vector<BYTE>>();
  auto known = copies->find(id);
  if (known != copies->end()) {
    size = static_cast<DWORD>(known->second.size());
    return known->second.data();
  }
  LPCWSTR resourceId =
      IsDecimal(id) ? MAKEINTRESOURCEW(std::wcstoul(id.c_str(), nullptr, 10)) : id.c_str();
  HMODULE module = CUIManager::ResourceInstance();
  HRSRC resource = ::FindResourceW(module, resourceId, L"ZIPRES");
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(module, resource);
  if (loaded == nullptr) return nullptr;
  DWORD bytes = ::SizeofResource(module, resource);
  const auto* data = static_cast<const BYTE*>(::LockResource(loaded));
  if (data == nullptr || bytes == 0) return nullptr;
  std::vector<BYTE>& copy = (*copies)[id];
  copy.assign(data, data + bytes);
  size = bytes;
  return copy.data();
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(WS_CAPTION);
  ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  RECT client = {};
  ::GetClientRect(hwnd_, &client);
  // Showing the window decides about activation, not this frame refresh.
  ::SetWindowPos(hwnd_, nullptr, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);

  manager_.Init(hwnd_, L"");
  manager_.AddPreDispatchFilter(this);

  std::wstring path = CUIManager::ResourcePath();
  if (path.empty()) path = CUIManager::InstancePath() + SkinFolder();
  CUIManager::SetResourcePath(path);

  UINT kind = ResourceKind();
  if (kind == ResourceKindArchive) {
    CUIManager::SetResourceArchive(ArchiveFileName(), true);
  } else if (kind == ResourceKindArchiveResource) {
    DWORD size = 0;
    const BYTE* bytes = ArchiveResourceCopy(ResourceId(), size);
    if (bytes == nullptr) return 0;
    CUIManager::SetResourceArchiveMemory(bytes, size);
  }

  CLayoutBuilder builder;
  CControlUI* root = nullptr;
  std::wstring file = SkinFile();
  if (kind == ResourceKindResource) {
    root = builder.Build(MAKEINTRESOURCEW(std::wcstoul(file.c_str(), nullptr, 10)), L"xml", this,
                         &manager_);
  } else {
    root = builder.Build(file.c_str(), nullptr, this, &manager_);
  }
  if (root == nullptr) {
    ::MessageBoxW(nullptr, kSkinErrorText, kSkinErrorCaption, MB_OK | MB_ICONERROR);
    ::ExitProcess(1);
  }
  manager_.AttachRoot(root);
  manager_.AddNotifyReceiver(this);
  OnInitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
LRESULT WindowImplBase::HandleExtraMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

}  // namespace SkinUI
