// Helpers for the standard control tests: a manager bound to a real window with one
// control as its root, events built as the manager builds them, and pictures of the
// painted control read back pixel by pixel.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "ControlTestSupport.h"
#include "skinui/UIControl.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "skinui/WindowWnd.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

// The painted control as 0x00RRGGBB values.
class Picture {
 public:
  explicit Picture(HBITMAP bitmap) : bitmap_(bitmap) {
    DIBSECTION section = {};
    if (bitmap != nullptr) ::GetObjectW(bitmap, sizeof(section), &section);
    width_ = section.dsBm.bmWidth;
    height_ = section.dsBm.bmHeight;
    bits_ = static_cast<const DWORD*>(section.dsBm.bmBits);
    ::GdiFlush();
  }
  bool valid() const { return bits_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  DWORD Rgb(int x, int y) const { return bits_[y * width_ + x] & 0x00FFFFFF; }
  // The bounding box of every pixel that is not the background; empty when none.
  RECT InkBounds(DWORD background) const {
    RECT box = {width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (Rgb(x, y) == (background & 0x00FFFFFF)) continue;
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
    if (box.right == 0) return RECT{};
    return box;
  }

 private:
  Utils::ScopedBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
  const DWORD* bits_ = nullptr;
};

class StandardControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_.Init(window_.get(), L"controls");
    manager_.AddNotifyReceiver(&receiver_);
  }

  // Makes the control the window's root at rect.
  template <class T>
  T* Place(T* control, const RECT& rect) {
    manager_.AttachRoot(control);
    control->SetBounds(rect, false);
    return control;
  }

  // Paints the tree over a white background into a picture of the rectangle.
  Picture Paint(const RECT& rect) {
    return Picture(CUIRender::RenderToBitmap(&manager_, rect, nullptr, 0xFFFFFFFF));
  }

  // An event as the manager hands it to a control.
  static void Send(CControlUI* control, int type, POINT mouse = {}, WPARAM wParam = 0,
                   wchar_t key = 0) {
    UIEvent event;
    event.type = type;
    event.sender = control;
    event.mouse = mouse;
    event.wParam = wParam;
    event.key = key;
    event.timestamp = ::GetTickCount();
    control->DispatchEvent(event);
  }

  TestWindow window_;
  CUIManager manager_;
  RecordingReceiver receiver_;
};

// A real top-level window whose messages go through its manager first, as in a skinned
// window: the native edit's notifications come back reflected.
class HostWindow : public CWindowWnd {
 public:
  HostWindow() {
    Create(nullptr, L"edit host", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, 0, 0, 300, 200);
    manager.Init(GetHWND(), L"edit host");
    ::SetForegroundWindow(GetHWND());
    ::SetFocus(GetHWND());
  }
  ~HostWindow() override {
    if (::IsWindow(GetHWND())) ::DestroyWindow(GetHWND());
  }
  // Lets the first paint lay the tree out (it also moves the focus onto the first tab
  // stop), then takes the focus away: tests start from a settled window, nothing focused.
  void SettleWithoutFocus();
  CUIManager manager;

 protected:
  LPCWSTR WindowClassName() const override { return L"FolvaneEditTestHost"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (manager.MessageHandler(message, wParam, lParam, result)) return result;
    return CallPreviousProc(message, wParam, lParam);
  }
};

inline void Pump(DWORD milliseconds = 50) {
  DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (::GetTickCount() - start < milliseconds);
}

inline void HostWindow::SettleWithoutFocus() {
  ::InvalidateRect(GetHWND(), nullptr, FALSE);
  ::UpdateWindow(GetHWND());
  Pump();
  manager.SetFocus(nullptr);
  Pump();
}

}  // namespace SkinUI
