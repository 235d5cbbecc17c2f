// The records that travel through a skinned window: input events the manager hands to a
// control, and notifications a control sends back to the window's receivers.
#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {

class CControlUI;

// Event types. The unnamed bounds delimit the keyboard range (2..7) and the mouse range
// (8..19), both exclusive; a control that ignores the mouse hands the whole mouse range
// to its parent.
enum UIEventType {
  EventKeyFirst = 2,
  EventKeyDown = 3,
  EventKeyUp = 4,
  EventChar = 5,
  EventSysKey = 6,
  EventKeyLast = 7,
  EventMouseFirst = 8,
  EventMouseMove = 9,
  EventMouseLeave = 10,
  EventMouseEnter = 11,
  EventMouseHover = 12,
  EventButtonDown = 13,
  EventButtonUp = 14,
  EventRightButtonDown = 15,
  EventDoubleClick = 16,
  EventContextMenu = 17,
  EventScrollWheel = 18,
  EventMouseLast = 19,
  EventKillFocus = 20,
  EventSetFocus = 21,
  EventWindowSize = 22,
  EventSetCursor = 23,
  EventTimer = 24,
};

inline bool IsKeyboardEvent(int type) { return type > EventKeyFirst && type < EventKeyLast; }
inline bool IsMouseEvent(int type) { return type > EventMouseFirst && type < EventMouseLast; }

// Key state bits of UIEvent::keyState.
enum UIKeyState : WORD {
  KeyStateLeftButton = 0x01,
  KeyStateRightButton = 0x02,
  KeyStateShift = 0x04,
  KeyStateControl = 0x08,
  KeyStateAlt = 0x20,
};

struct UIEvent {
  int type = 0;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse = {};
  wchar_t key = 0;
  WORD keyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct UINotification {
  std::wstring type;
  std::wstring virtualWindow;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse = {};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A receiver of a window's notifications (the window object, a page handler ...).
class INotifyUI {
 public:
  virtual void Notify(UINotification& notification) = 0;

 protected:
  ~INotifyUI() = default;
};

}  // namespace SkinUI
