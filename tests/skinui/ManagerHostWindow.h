// A plain top-level window whose messages go through a CUIManager first and then to the
// default procedure, as a skinned window's do; controls that log the events they are
// given; and a way to read back what the window shows.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"

namespace SkinUI {

class ManagedWindow {
 public:
  explicit ManagedWindow(int width = 200, int height = 150, DWORD style = WS_POPUP | WS_VISIBLE,
                         HWND owner = nullptr) {
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ManagedWindow::Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"FolvaneManagedTestWindow";
    ::RegisterClassW(&wc);
    // A top-level window created visible costs Wine two seconds when it is hidden again;
    // shown afterwards without activation it does not.
    bool showLater = (style & WS_VISIBLE) != 0 && (style & WS_CHILD) == 0;
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"managed",
                                showLater ? style & ~WS_VISIBLE : style, 10, 10, width, height,
                                owner, nullptr, wc.hInstance, this);
    manager.Init(window_, L"managed");
    if (showLater) ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    Pump();
  }
  ~ManagedWindow() {
    if (::IsWindow(window_)) ::DestroyWindow(window_);
  }
  ManagedWindow(const ManagedWindow&) = delete;
  ManagedWindow& operator=(const ManagedWindow&) = delete;

  HWND get() const { return window_; }
  // Moves the window, topmost, to the bottom of the screen where no other test puts
  // windows, for tests that read the screen or move the real pointer over it while another
  // test runs; each such test takes its own spot.
  void MoveToBottom(int left) {
    ::SetWindowPos(window_, HWND_TOPMOST, left, 620, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Parks the real pointer in the far corner, over no test window.
  static void ParkPointer() { ::SetCursorPos(1275, 5); }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(window_, message, wParam, lParam);
  }
  // Runs every message waiting for this thread, as a message loop would.
  void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  // Pumps until done() holds or the time runs out; answers done().
  template <typename Done>
  bool PumpUntil(Done done, DWORD milliseconds = 2000) {
    DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < milliseconds) {
      Pump();
      ::Sleep(5);
    }
    return done();
  }
  // Repaints everything through WM_PAINT now.
  void Repaint() {
    ::InvalidateRect(window_, nullptr, FALSE);
    ::UpdateWindow(window_);
  }
  // The client area as 0xRRGGBB values, row by row, read from the window's own surface.
  std::vector<DWORD> Pixels(int* widthOut = nullptr) const {
    RECT client = {};
    ::GetClientRect(window_, &client);
    int width = client.right;
    int height = client.bottom;
    if (widthOut != nullptr) *widthOut = width;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC windowDC = ::GetDC(window_);
    HDC memory = ::CreateCompatibleDC(windowDC);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0x00FFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window_, windowDC);
    return pixels;
  }
  DWORD PixelAt(int x, int y) const {
    int width = 0;
    std::vector<DWORD> pixels = Pixels(&width);
    return pixels[static_cast<size_t>(y) * width + x];
  }

  CUIManager manager;
  // Messages seen by the window procedure, in order (only the kinds a test asks for).
  std::vector<UINT> watched;
  std::vector<UINT> seen;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ManagedWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      for (UINT kind : self->watched) {
        if (kind == message) self->seen.push_back(message);
      }
      LRESULT result = 0;
      if (self->manager.MessageHandler(message, wParam, lParam, result)) return result;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

// Every event a LoggingControl was handed directly, with the control's name.
struct EventLog {
  struct Entry {
    std::wstring control;
    int type;
    WPARAM wParam;
    LPARAM lParam;
    WORD keyState;
    wchar_t key;
  };
  std::vector<Entry> entries;
  // "name:type" for each entry of the given types (all when none given).
  std::vector<std::wstring> Trace(std::vector<int> types = {}) const {
    std::vector<std::wstring> out;
    for (const Entry& e : entries) {
      bool wanted = types.empty();
      for (int t : types) wanted = wanted || t == e.type;
      if (wanted) out.push_back(e.control + L":" + std::to_wstring(e.type));
    }
    return out;
  }
  int Count(int type, const std::wstring& control = L"") const {
    int n = 0;
    for (const Entry& e : entries)
      n += (e.type == type && (control.empty() || e.control == control)) ? 1 : 0;
    return n;
  }
};

class LoggingControl : public CControlUI {
 public:
  LoggingControl(const std::wstring& name, EventLog* log, UINT flags = 0,
                 const std::wstring& className = L"Control")
      : log_(log), flags_(flags), className_(className) {
    SetName(name);
  }
  void DispatchEvent(UIEvent& event) override {
    log_->entries.push_back(
        EventLog::Entry{GetName(), event.type, event.wParam, event.lParam, event.keyState, event.key});
    CControlUI::DispatchEvent(event);
  }
  UINT ControlFlags() const override { return flags_; }
  std::wstring ClassName() const override { return className_; }
  bool Activate() override {
    if (!CControlUI::Activate()) return false;
    ++activations;
    return true;
  }
  int activations = 0;

 private:
  EventLog* log_;
  UINT flags_;
  std::wstring className_;
};

// A control placed at a fixed rectangle of the window (floating inside its container).
inline RECT PlaceAt(CControlUI* control, int left, int top, int right, int bottom) {
  control->SetFloat(true);
  control->SetFloatOffset(SIZE{left, top});
  control->SetFixedWidth(right - left);
  control->SetFixedHeight(bottom - top);
  return RECT{left, top, right, bottom};
}

inline LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace SkinUI
