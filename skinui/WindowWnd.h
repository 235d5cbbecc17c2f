// One native top-level window owned by an object: the class is registered on first
// use, the window carries a pointer back to its object, and every message goes to the
// object's virtual handler.
#pragma once

#include <windows.h>

#include "utils/ScopedHandle.h"

namespace SkinUI {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Registers the class (a superclass of SuperClassName when it names one) and creates
  // the window with this object as its creation parameter. Null on failure.
  HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
              HMENU menu = nullptr);
  HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, const RECT& rect,
              HMENU menu = nullptr);
  // Routes an existing window's messages through this object until RestoreWindowProc.
  HWND Subclass(HWND window);
  void RestoreWindowProc();

  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window, disables its owner and pumps messages until the window is gone.
  // Returns the wParam of the last WM_CLOSE posted to it (0 when none was posted).
  UINT RunModal();
  // Posts WM_CLOSE with the result as wParam.
  void Close(UINT result = IDOK);
  // Centres on the owner (or the work area), kept inside the work area.
  void PlaceCentered();
  void SetIcon(UINT resourceId);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual LPCWSTR WindowClassName() const = 0;
  virtual LPCWSTR SuperClassName() const { return nullptr; }
  virtual UINT ClassStyle() const { return 0; }
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called once the native window is gone (after WM_NCDESTROY); the object may delete
  // itself here.
  virtual void OnWindowGone(HWND window) { (void)window; }

 public:
  // A window that outlives its object is destroyed with it, past the object: its
  // messages go straight to the previous procedure from then on.
  virtual ~CWindowWnd();

 protected:
  // The previous window procedure: the system default, the superclassed class's, or the
  // subclassed window's own.
  LRESULT CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC previousProc_ = ::DefWindowProcW;
  bool subclassed_ = false;

 private:
  bool RegisterWindowClass();
  bool RegisterSuperclass();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam, bool inProperty);

  Utils::ScopedIcon bigIcon_;
  Utils::ScopedIcon smallIcon_;
};

}  // namespace SkinUI
