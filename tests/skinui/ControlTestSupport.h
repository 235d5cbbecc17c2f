// Helpers for the control and layout tests: a real window for the manager to invalidate
// and run timers in, a receiver that records notifications, and quick tree builders.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"

namespace SkinUI {

// A plain visible pop-up window; its update region shows what the manager invalidated.
class TestWindow {
 public:
  TestWindow(int width = 400, int height = 300) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FolvaneSkinTestWindow";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, width,
                                height, nullptr, nullptr, wc.hInstance, nullptr);
    // Created visible, the window would cost Wine two seconds to take down again.
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    Validate();
  }
  ~TestWindow() {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND get() const { return window_; }
  void Validate() { ::ValidateRect(window_, nullptr); }
  // The bounding box of what was invalidated since the last Validate; empty when nothing.
  RECT Invalidated() const {
    RECT rc = {};
    if (!::GetUpdateRect(window_, &rc, FALSE)) return RECT{};
    return rc;
  }
  bool WasInvalidated() const { return ::GetUpdateRect(window_, nullptr, FALSE) != FALSE; }

 private:
  HWND window_ = nullptr;
};

// Records every notification with its sender and parameters.
class RecordingReceiver : public INotifyUI {
 public:
  struct Entry {
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
    LPARAM lParam;
    std::wstring virtualWindow;
  };
  void Notify(UINotification& n) override {
    entries.push_back(Entry{n.type, n.sender, n.wParam, n.lParam, n.virtualWindow});
  }
  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    for (const Entry& e : entries) types.push_back(e.type);
    return types;
  }
  int Count(const std::wstring& type) const {
    int n = 0;
    for (const Entry& e : entries) n += e.type == type ? 1 : 0;
    return n;
  }
  std::vector<Entry> entries;
};

// A control that can take the focus by Tab.
class TabStopControl : public CControlUI {
 public:
  UINT ControlFlags() const override { return ControlFlagTabStop; }
};

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string ShowRect(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace SkinUI
