// The window's messages as the manager turns them into control events: mouse routing with
// hover, press and capture, keyboard to the focus control, timers, tooltips and reflection
// to embedded native windows. (The work done before dispatch is in UIManagerDispatch.cpp.)
#include <windowsx.h>

#include <algorithm>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"

namespace SkinUI {

namespace {

// Reflected notifications arrive at the child as the original message plus this base.
const UINT kReflectBase = 0x2000;
const int kDefaultToolTipWidth = 300;

WORD CurrentKeyState() {
  WORD state = 0;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= KeyStateLeftButton;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= KeyStateRightButton;
  if (::GetKeyState(VK_SHIFT) < 0) state |= KeyStateShift;
  if (::GetKeyState(VK_CONTROL) < 0) state |= KeyStateControl;
  if (::GetKeyState(VK_MENU) < 0) state |= KeyStateAlt;
  return state;
}

POINT PointFromLParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

UIEvent CUIManager::MakeEvent(int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const {
  UIEvent event;
  event.type = type;
  event.sender = sender;
  event.timestamp = ::GetTickCount();
  event.mouse = lastMousePos_;
  event.keyState = CurrentKeyState();
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

void CUIManager::SendEvent(CControlUI* target, int type, WPARAM wParam, LPARAM lParam) {
  if (target == nullptr) return;
  UIEvent event = MakeEvent(type, target, wParam, lParam);
  target->DispatchEvent(event);
}

void CUIManager::SetWindowFocus() {
  if (window_ != nullptr && !noActivate_) ::SetFocus(window_);
}

void CUIManager::SetCapture() {
  if (window_ == nullptr) return;
  ::SetCapture(window_);
  mouseCaptured_ = true;
}

void CUIManager::ReleaseCapture() {
  // Clear first: releasing sends WM_CAPTURECHANGED, during which we no longer hold it.
  mouseCaptured_ = false;
  ::ReleaseCapture();
}

bool CUIManager::RegisterNativeChild(CControlUI* control, HWND window) {
  if (control == nullptr || window == nullptr ||
      std::find(nativeWindows_.begin(), nativeWindows_.end(), window) != nativeWindows_.end())
    return false;
  nativeWindows_.push_back(window);
  nativeWindowControls_.push_back(control);
  return true;
}

bool CUIManager::UnregisterNativeChild(HWND window) {
  auto found = std::find(nativeWindows_.begin(), nativeWindows_.end(), window);
  if (found == nativeWindows_.end()) return false;
  nativeWindowControls_.erase(nativeWindowControls_.begin() + (found - nativeWindows_.begin()));
  nativeWindows_.erase(found);
  return true;
}

CControlUI* CUIManager::NativeChildControl(HWND window) const {
  auto found = std::find(nativeWindows_.begin(), nativeWindows_.end(), window);
  if (found == nativeWindows_.end()) return nullptr;
  return nativeWindowControls_[found - nativeWindows_.begin()];
}

bool CUIManager::ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result) {
  if (child == nullptr || !::IsWindow(child)) return false;
  result = ::SendMessageW(child, message, wParam, lParam);
  return true;
}

void CUIManager::ShowToolTip(CControlUI* control) {
  if (control == nullptr || window_ == nullptr) return;
  std::wstring text = ReplaceLanguageTokens(control->ToolTip());
  if (text.empty()) return;
  toolTipText_ = text;
  toolInfo_ = TOOLINFOW();
  // The size without the reserved tail is understood by every common controls version.
  toolInfo_.cbSize = TTTOOLINFOW_V2_SIZE;
  toolInfo_.uFlags = TTF_IDISHWND;
  toolInfo_.hwnd = window_;
  toolInfo_.uId = reinterpret_cast<UINT_PTR>(window_);
  toolInfo_.hinst = Instance();
  toolInfo_.lpszText = &toolTipText_[0];
  toolInfo_.rect = control->Bounds();
  if (toolTipWindow_ == nullptr) {
    toolTipWindow_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                       nullptr, Instance(), nullptr);
    if (toolTipWindow_ == nullptr) return;
    if (toolTipWindowWidth_ >= 0)
      ::SendMessageW(toolTipWindow_, TTM_SETMAXTIPWIDTH, 0, toolTipWindowWidth_);
    ::SendMessageW(toolTipWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
  }
  int width = control->ToolTipWidth() > 0 ? control->ToolTipWidth() : kDefaultToolTipWidth;
  ::SendMessageW(toolTipWindow_, TTM_SETMAXTIPWIDTH, 0, width);
  ::SendMessageW(toolTipWindow_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
  ::SendMessageW(toolTipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&toolInfo_));
}

void CUIManager::HideToolTip() {
  if (toolTipWindow_ != nullptr)
    ::SendMessageW(toolTipWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&toolInfo_));
}

bool CUIManager::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (window_ == nullptr) return false;
  result = 0;
  std::vector<IMessageFilterUI*> filters = messageFilters_;
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    LRESULT filtered = filter->MessageHandler(message, wParam, lParam, handled);
    if (!handled) continue;
    switch (message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_LBUTTONUP:
        lastMousePos_ = PointFromLParam(lParam);
        break;
      case WM_CONTEXTMENU:
      case WM_MOUSEWHEEL: {
        POINT point = PointFromLParam(lParam);
        ::ScreenToClient(window_, &point);
        lastMousePos_ = point;
        break;
      }
      default:
        break;
    }
    result = filtered;
    return true;
  }

  if (layered_) {
    switch (message) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        return true;
      case WM_NCACTIVATE:
        if (::IsIconic(window_)) break;
        result = wParam == FALSE ? TRUE : FALSE;
        return true;
      default:
        break;
    }
  }

  switch (message) {
    case kAsyncMessage:
      DeliverQueuedNotifications();
      return true;
    case WM_CLOSE: {
      SendEvent(hover_, EventMouseLeave);
      SendEvent(pressed_, EventButtonUp);
      SetFocus(nullptr);
      if (::GetActiveWindow() == window_) {
        bool child = (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? ::GetParent(window_) : ::GetWindow(window_, GW_OWNER);
        if (next != nullptr) ::SetFocus(next);
      }
      if (toolTipWindow_ != nullptr) {
        ::DestroyWindow(toolTipWindow_);
        toolTipWindow_ = nullptr;
      }
      return false;
    }
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      PaintWindow();
      return true;
    case WM_PRINTCLIENT:
      PrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return false;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (info == nullptr) return false;
      if (minInfo_.cx > 0) info->ptMinTrackSize.x = minInfo_.cx;
      if (minInfo_.cy > 0) info->ptMinTrackSize.y = minInfo_.cy;
      if (maxInfo_.cx > 0) info->ptMaxTrackSize.x = maxInfo_.cx;
      if (maxInfo_.cy > 0) info->ptMaxTrackSize.y = maxInfo_.cy;
      return false;
    }
    case WM_SIZE:
      SendEvent(focus_, EventWindowSize, wParam, lParam);
      if (root_ != nullptr) root_->RequestLayout();
      if (layered_) Invalidate();
      return true;
    case WM_TIMER:
      if (layered_ && wParam == kLayeredTimerId) {
        if (!::IsRectEmpty(&layeredUpdate_) && !::IsIconic(window_)) PaintWindow();
        return true;
      }
      DispatchTimer(wParam);
      return false;
    case WM_MOUSEHOVER: {
      mouseTracking_ = false;
      POINT point = PointFromLParam(lParam);
      SendEvent(hover_, EventMouseHover, wParam, lParam);
      // The hover handler may have changed the tree; look the control up afterwards.
      ShowToolTip(ControlAtPoint(point));
      return true;
    }
    case WM_MOUSELEAVE: {
      HideToolTip();
      if (mouseTracking_) {
        POINT point = {};
        ::GetCursorPos(&point);
        RECT client = {};
        ::GetClientRect(window_, &client);
        LPARAM position = -1;
        POINT clientPoint = point;
        ::ScreenToClient(window_, &clientPoint);
        if (!::IsIconic(window_) && ::GetActiveWindow() == window_ &&
            ::PtInRect(&client, clientPoint) &&
            ::SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) == HTCLIENT)
          position = MAKELPARAM(clientPoint.x, clientPoint.y);
        ::SendMessageW(window_, WM_MOUSEMOVE, 0, position);
      }
      mouseTracking_ = false;
      return false;
    }
    case WM_MOUSEMOVE: {
      if (!mouseTracking_) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = window_;
        track.dwHoverTime =
            toolTipWindow_ != nullptr
                ? static_cast<DWORD>(::SendMessageW(toolTipWindow_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                : hoverTime_;
        mouseTracking_ = ::TrackMouseEvent(&track) != FALSE;
      }
      lastMousePos_ = PointFromLParam(lParam);
      CControlUI* control = ControlAtPoint(lastMousePos_);
      if (control != nullptr && control->Manager() != this) return false;
      if (!mouseCaptured_ && control != hover_) {
        std::vector<CControlUI*> watched = mouseLeaveControls_;
        for (CControlUI* leaving : watched) {
          // A control may have gone while an earlier one handled its leave event.
          if (std::find(mouseLeaveControls_.begin(), mouseLeaveControls_.end(), leaving) !=
              mouseLeaveControls_.end())
            SendEvent(leaving, EventMouseLeave, wParam, lParam);
        }
        SendEvent(hover_, EventMouseLeave, wParam, lParam);
        hover_ = nullptr;
        HideToolTip();
        // The leave handlers may have removed the control; look it up again.
        control = ControlAtPoint(lastMousePos_);
        if (control != nullptr && control->Manager() == this) {
          SendEvent(control, EventMouseEnter, wParam, lParam);
          hover_ = control;
        }
      }
      if (pressed_ != nullptr) {
        SendEvent(pressed_, EventMouseMove, wParam, lParam);
      } else if (control != nullptr && control->Manager() == this) {
        SendEvent(control, EventMouseMove, wParam, lParam);
      }
      return false;
    }
    case WM_LBUTTONDOWN: {
      SetWindowFocus();
      lastMousePos_ = PointFromLParam(lParam);
      CControlUI* control = ControlAtPoint(lastMousePos_);
      if (control == nullptr || control->Manager() != this) return false;
      pressed_ = control;
      SetFocus(control);
      SetCapture();
      if (pressed_ == nullptr) return false;  // gone while taking the focus
      UIEvent event = MakeEvent(EventButtonDown, pressed_, wParam, lParam);
      event.keyState = static_cast<WORD>(wParam);
      pressed_->DispatchEvent(event);
      return false;
    }
    case WM_LBUTTONDBLCLK: {
      SetWindowFocus();
      lastMousePos_ = PointFromLParam(lParam);
      CControlUI* control = ControlAtPoint(lastMousePos_);
      if (control == nullptr || control->Manager() != this) return false;
      SetCapture();
      pressed_ = control;
      UIEvent event = MakeEvent(EventDoubleClick, control, wParam, lParam);
      event.keyState = static_cast<WORD>(wParam);
      control->DispatchEvent(event);
      return false;
    }
    case WM_LBUTTONUP: {
      lastMousePos_ = PointFromLParam(lParam);
      if (pressed_ == nullptr) return false;
      ReleaseCapture();
      // Losing the capture may have let the control go; ForgetControl cleared it then.
      CControlUI* pressed = pressed_;
      pressed_ = nullptr;
      if (pressed == nullptr) return false;
      UIEvent event = MakeEvent(EventButtonUp, pressed, wParam, lParam);
      event.keyState = static_cast<WORD>(wParam);
      pressed->DispatchEvent(event);
      return false;
    }
    case WM_RBUTTONDOWN: {
      SetWindowFocus();
      lastMousePos_ = PointFromLParam(lParam);
      CControlUI* control = ControlAtPoint(lastMousePos_);
      if (control == nullptr || control->Manager() != this) return false;
      pressed_ = control;
      SetFocus(control);
      if (pressed_ == nullptr) return false;
      UIEvent event = MakeEvent(EventRightButtonDown, pressed_, wParam, lParam);
      event.keyState = static_cast<WORD>(wParam);
      pressed_->DispatchEvent(event);
      return false;
    }
    case WM_CONTEXTMENU: {
      if (mouseCaptured_) return false;
      // From the keyboard the point is -1,-1; the last mouse position stands for it.
      if (lParam != -1) {
        POINT point = PointFromLParam(lParam);
        ::ScreenToClient(window_, &point);
        lastMousePos_ = point;
      }
      CControlUI* pressed = pressed_;
      pressed_ = nullptr;
      SendEvent(pressed, EventContextMenu, wParam, MAKELPARAM(lastMousePos_.x, lastMousePos_.y));
      return false;
    }
    case WM_MOUSEWHEEL: {
      POINT point = PointFromLParam(lParam);
      ::ScreenToClient(window_, &point);
      lastMousePos_ = point;
      CControlUI* control = ControlAtPoint(point);
      if (control == nullptr || control->Manager() != this) return false;
      int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      SendEvent(control, EventScrollWheel, delta < 0 ? SB_LINEDOWN : SB_LINEUP, lParam);
      ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMousePos_.x, lastMousePos_.y));
      return false;
    }
    case WM_KEYDOWN: {
      if (focus_ == nullptr) return false;
      keyTarget_ = focus_;
      UIEvent event = MakeEvent(EventKeyDown, focus_, wParam, lParam);
      event.key = static_cast<wchar_t>(wParam);
      focus_->DispatchEvent(event);
      return false;
    }
    case WM_KEYUP: {
      if (keyTarget_ == nullptr) return false;
      CControlUI* target = keyTarget_;
      keyTarget_ = nullptr;
      UIEvent event = MakeEvent(EventKeyUp, target, wParam, lParam);
      event.key = static_cast<wchar_t>(wParam);
      target->DispatchEvent(event);
      return false;
    }
    case WM_CHAR: {
      if (focus_ == nullptr) return false;
      UIEvent event = MakeEvent(EventChar, focus_, wParam, lParam);
      event.key = static_cast<wchar_t>(wParam);
      focus_->DispatchEvent(event);
      return false;
    }
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) return false;
      if (mouseCaptured_) {
        result = TRUE;
        return true;
      }
      POINT point = {};
      ::GetCursorPos(&point);
      ::ScreenToClient(window_, &point);
      CControlUI* control = ControlAtPoint(point);
      if (control == nullptr || (control->ControlFlags() & ControlFlagSetCursor) == 0)
        return false;
      SendEvent(control, EventSetCursor, wParam, lParam);
      result = TRUE;
      return true;
    }
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a message box opened mid-press); while we believed
      // we still held it, hover tracking and the cursor would stay frozen.
      if (reinterpret_cast<HWND>(lParam) != window_) mouseCaptured_ = false;
      return false;
    case WM_KILLFOCUS: {
      CControlUI* control = NativeChildControl(reinterpret_cast<HWND>(wParam));
      // The keyboard focus already sits in the native window; do not take it back.
      if (control != nullptr) SetFocus(control, false);
      return false;
    }
    case WM_MOUSEACTIVATE:
      if (!noActivate_) return false;
      result = MA_NOACTIVATE;
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header == nullptr) return false;
      return ReflectToChild(header->hwndFrom, message + kReflectBase, wParam, lParam, result);
    }
    case WM_COMMAND:
      if (lParam == 0) return false;
      return ReflectToChild(reinterpret_cast<HWND>(lParam), message + kReflectBase, wParam,
                            lParam, result);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (lParam == 0) return false;
      return ReflectToChild(reinterpret_cast<HWND>(lParam), message + kReflectBase, wParam,
                            lParam, result);
    default:
      return false;
  }
}

}  // namespace SkinUI
