#include "skinui/WindowWnd.h"

#include "skinui/UIManager.h"

namespace SkinUI {
namespace {

// Superclassed and subclassed windows keep GWLP_USERDATA for the class they extend
// (the native edit control uses it), so their object travels in a window property.
constexpr wchar_t kObjectProperty[] = L"WndX";

HINSTANCE ModuleInstance() {
  HINSTANCE instance = CUIManager::Instance();
  return instance != nullptr ? instance : ::GetModuleHandleW(nullptr);
}

}  // namespace

CWindowWnd::~CWindowWnd() {
  if (hwnd_ == nullptr || !::IsWindow(hwnd_)) return;
  if (subclassed_) {
    RestoreWindowProc();
    return;
  }
  HWND window = hwnd_;
  hwnd_ = nullptr;
  if (::RemovePropW(window, kObjectProperty) == nullptr) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  ::DestroyWindow(window);
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle,
                        const RECT& rect, HMENU menu) {
  return Create(parent, name, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, menu);
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HMENU menu) {
  if (hwnd_ != nullptr) return nullptr;
  bool registered = SuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) return nullptr;
  // WindowProc/ControlProc store the object on WM_NCCREATE, so hwnd_ is already set for
  // every message after that, WM_CREATE included.
  HWND window = ::CreateWindowExW(exStyle, WindowClassName(), name, style, x, y, width, height,
                                  parent, menu, ModuleInstance(), this);
  return window;
}

HWND CWindowWnd::Subclass(HWND window) {
  if (window == nullptr || hwnd_ != nullptr) return nullptr;
  if (!::SetPropW(window, kObjectProperty, this)) return nullptr;
  previousProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
  subclassed_ = true;
  hwnd_ = window;
  return window;
}

void CWindowWnd::RestoreWindowProc() {
  if (!subclassed_ || hwnd_ == nullptr) return;
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  ::RemovePropW(hwnd_, kObjectProperty);
  previousProc_ = ::DefWindowProcW;
  subclassed_ = false;
  hwnd_ = nullptr;
}

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW wc = {};
  wc.style = ClassStyle();
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = WindowClassName();
  if (::RegisterClassW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, SuperClassName(), &wc) &&
      !::GetClassInfoExW(ModuleInstance(), SuperClassName(), &wc)) {
    return false;
  }
  // Read again on every registration: a second object of an already registered
  // superclass still needs the system class's procedure as its previous one.
  previousProc_ = wc.lpfnWndProc;
  wc.lpfnWndProc = ControlProc;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = WindowClassName();
  if (::RegisterClassExW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  return Route(self, window, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->hwnd_ = window;
    ::SetPropW(window, kObjectProperty, self);
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(window, kObjectProperty));
  }
  return Route(self, window, message, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam, bool inProperty) {
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message != WM_NCDESTROY) return self->HandleMessage(message, wParam, lParam);

  LRESULT result = ::CallWindowProcW(self->previousProc_, window, message, wParam, lParam);
  if (inProperty) {
    ::RemovePropW(window, kObjectProperty);
  } else {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  if (self->subclassed_) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->previousProc_));
    self->previousProc_ = ::DefWindowProcW;
    self->subclassed_ = false;
  }
  self->hwnd_ = nullptr;
  self->OnWindowGone(window);
  return result;
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallPreviousProc(message, wParam, lParam);
}

LRESULT CWindowWnd::CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(previousProc_, hwnd_, message, wParam, lParam);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!::IsWindow(hwnd_)) return;
  ::ShowWindow(hwnd_, !show ? SW_HIDE : (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE));
}

UINT CWindowWnd::RunModal() {
  // The object may delete itself when its window goes (OnWindowGone), so the loop only
  // touches locals once messages start flowing.
  HWND window = hwnd_;
  if (!::IsWindow(window)) return 0;
  HWND owner = ::GetWindow(window, GW_OWNER);
  ::ShowWindow(window, SW_SHOWNORMAL);
  if (owner != nullptr) ::EnableWindow(owner, FALSE);

  UINT result = 0;
  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg = {};
  while (::IsWindow(window)) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == window) {
      result = static_cast<UINT>(msg.wParam);
      // The owner has to be usable again before this window is destroyed, or Windows
      // activates some other application's window in its place.
      if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
      }
    }
    if (!CUIManager::FilterBeforeDispatch(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (owner != nullptr) {
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
  }
  // The outer loop must see the quit request too.
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return result;
}

void CWindowWnd::Close(UINT result) {
  if (!::IsWindow(hwnd_)) return;
  ::PostMessageW(hwnd_, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

void CWindowWnd::PlaceCentered() {
  if (!::IsWindow(hwnd_)) return;
  RECT window = {};
  ::GetWindowRect(hwnd_, &window);
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : hwnd_,
                                        MONITOR_DEFAULTTONEAREST),
                    &monitor);
  const RECT& work = monitor.rcWork;
  RECT reference = work;
  if (owner != nullptr && !::IsIconic(owner)) ::GetWindowRect(owner, &reference);

  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = (reference.left + reference.right) / 2 - width / 2;
  int y = (reference.top + reference.bottom) / 2 - height / 2;
  if (x < work.left) {
    x = work.left;
  } else if (x + width > work.right) {
    x = work.right - width;
  }
  if (y < work.top) {
    y = work.top;
  } else if (y + height > work.bottom) {
    y = work.bottom - height;
  }
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
  if (!::IsWindow(hwnd_)) return;
  // WM_SETICON does not take ownership, so the icons live as long as this object.
  Utils::ScopedIcon big(static_cast<HICON>(
      ::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
  Utils::ScopedIcon small(static_cast<HICON>(
      ::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
  if (big) ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  if (small) {
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  }
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(hwnd_, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(hwnd_, message, wParam, lParam);
}

}  // namespace SkinUI
