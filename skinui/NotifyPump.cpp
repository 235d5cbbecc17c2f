#include "skinui/NotifyPump.h"

#include "skinui/UIControl.h"

namespace SkinUI {

const NotifyMapTable* CNotifyPump::NotifyMap() const {
  static const NotifyMapTable table = {nullptr, nullptr, 0};
  return &table;
}

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
  if (name.empty() || pump == nullptr) return false;
  for (const auto& entry : virtualWindows_) {
    if (::lstrcmpiW(entry.first.c_str(), name.c_str()) == 0) return false;
  }
  virtualWindows_.emplace_back(name, pump);
  return true;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) {
  for (auto it = virtualWindows_.begin(); it != virtualWindows_.end(); ++it) {
    if (::lstrcmpiW(it->first.c_str(), name.c_str()) == 0) {
      virtualWindows_.erase(it);
      return true;
    }
  }
  return false;
}

bool CNotifyPump::NotifyPump(UINotification& notification) {
  if (RouteToVirtualWindows(notification)) return true;
  return RouteToTables(notification);
}

bool CNotifyPump::RouteToVirtualWindows(UINotification& notification) {
  if (notification.virtualWindow.empty()) return false;
  for (const auto& entry : virtualWindows_) {
    if (::lstrcmpiW(entry.first.c_str(), notification.virtualWindow.c_str()) == 0 &&
        entry.second->NotifyPump(notification)) {
      return true;
    }
  }
  return false;
}

bool CNotifyPump::RouteToTables(UINotification& notification) {
  // A queued notification whose control was destroyed meanwhile has no sender; only
  // handlers for any control can take it.
  std::wstring senderName =
      notification.sender != nullptr ? notification.sender->GetName() : std::wstring();
  for (const NotifyMapTable* table = NotifyMap(); table != nullptr; table = table->base) {
    const NotifyMapEntry* match = nullptr;
    for (size_t i = 0; i < table->count; ++i) {
      const NotifyMapEntry& entry = table->entries[i];
      if (notification.type != entry.type) continue;
      const wchar_t* control = entry.controlName != nullptr ? entry.controlName : L"";
      if (control[0] == L'\0') {
        match = &entry;
      } else if (!senderName.empty() && senderName == control) {
        match = &entry;
        break;
      }
    }
    if (match == nullptr) continue;
    if (match->kind == NotifyHandlerParams && match->paramsHandler != nullptr) {
      (this->*match->paramsHandler)(notification.wParam, notification.lParam);
    } else if (match->kind == NotifyHandlerRecord && match->recordHandler != nullptr) {
      (this->*match->recordHandler)(notification);
    }
    return true;
  }
  return false;
}

}  // namespace SkinUI
