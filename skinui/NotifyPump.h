// Routes a window's notifications to handler tables: each class that handles
// notifications has one table, chained to its base class's, and a pump can hand
// notifications of a named virtual window to other pumps first.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "skinui/UIEvent.h"

namespace SkinUI {

class CNotifyPump;

enum NotifyHandlerKind {
  NotifyHandlerParams = 1,  // handler takes wParam and lParam
  NotifyHandlerRecord = 2,  // handler takes the notification record
};

using NotifyParamsHandler = LRESULT (CNotifyPump::*)(WPARAM, LPARAM);
using NotifyRecordHandler = void (CNotifyPump::*)(UINotification&);

struct NotifyMapEntry {
  const wchar_t* type;
  const wchar_t* controlName;  // empty for any control
  int kind;
  NotifyParamsHandler paramsHandler;
  NotifyRecordHandler recordHandler;
};

// One class's table and the table of its base class (null at the top).
struct NotifyMapTable {
  const NotifyMapTable* base;
  const NotifyMapEntry* entries;
  size_t count;
};

// Table rows for handlers of a class derived from CNotifyPump.
template <class Derived>
NotifyMapEntry NotifyRecordEntry(const wchar_t* type, const wchar_t* controlName,
                                 void (Derived::*handler)(UINotification&)) {
  return NotifyMapEntry{type, controlName, NotifyHandlerRecord, nullptr,
                        static_cast<NotifyRecordHandler>(handler)};
}
template <class Derived>
NotifyMapEntry NotifyParamsEntry(const wchar_t* type, const wchar_t* controlName,
                                 LRESULT (Derived::*handler)(WPARAM, LPARAM)) {
  return NotifyMapEntry{type, controlName, NotifyHandlerParams,
                        static_cast<NotifyParamsHandler>(handler), nullptr};
}

class CNotifyPump {
 public:
  CNotifyPump() = default;
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;

  virtual const NotifyMapTable* NotifyMap() const;

  // Notifications of the virtual window name go to pump before this pump's own tables.
  bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const std::wstring& name);
  // Returns whether a handler took the notification.
  bool NotifyPump(UINotification& notification);

 protected:
  ~CNotifyPump() = default;

 private:
  bool RouteToVirtualWindows(UINotification& notification);
  bool RouteToTables(UINotification& notification);

  std::vector<std::pair<std::wstring, CNotifyPump*>> virtualWindows_;
};

}  // namespace SkinUI
