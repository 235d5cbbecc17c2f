// What a message loop asks before it dispatches a message: accelerator translators,
// pre-dispatch filters, and the keyboard work of a skinned window (Tab between tab stops,
// Alt+key shortcuts, system keys to the focus control).
#include <algorithm>
#include <cwctype>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"

namespace SkinUI {

namespace {

bool IsLabel(CControlUI* control) {
  return control->ClassName().find(L"Label") != std::wstring::npos;
}

// The topmost visible control whose shortcut is the (upper-cased) key, labels included.
CControlUI* CALLBACK FindShortcut(CControlUI* control, LPVOID data) {
  wchar_t key = *static_cast<const wchar_t*>(data);
  if (!control->IsVisible() || control->Shortcut() == 0) return nullptr;
  return static_cast<wchar_t>(std::towupper(control->Shortcut())) == key ? control : nullptr;
}

struct FollowerSearch {
  CControlUI* label = nullptr;
  bool passed = false;
};

// A label names the control after it in the tree ("&Folder: [edit]"); its shortcut lands
// on the next visible control that is no label.
CControlUI* CALLBACK FindFollower(CControlUI* control, LPVOID data) {
  auto* search = static_cast<FollowerSearch*>(data);
  if (control == search->label) {
    search->passed = true;
    return nullptr;
  }
  if (!search->passed || !control->IsVisible() || IsLabel(control)) return nullptr;
  return control;
}

bool IsRegistered(const CUIManager* manager, const std::vector<CUIManager*>& managers) {
  return std::find(managers.begin(), managers.end(), manager) != managers.end();
}

}  // namespace

bool CUIManager::AddPreDispatchFilter(IMessageFilterUI* filter) {
  if (filter == nullptr ||
      std::find(preMessageFilters_.begin(), preMessageFilters_.end(), filter) !=
          preMessageFilters_.end())
    return false;
  preMessageFilters_.push_back(filter);
  return true;
}

bool CUIManager::RemovePreDispatchFilter(IMessageFilterUI* filter) {
  auto found = std::find(preMessageFilters_.begin(), preMessageFilters_.end(), filter);
  if (found == preMessageFilters_.end()) return false;
  preMessageFilters_.erase(found);
  return true;
}

bool CUIManager::AddMessageFilter(IMessageFilterUI* filter) {
  if (filter == nullptr ||
      std::find(messageFilters_.begin(), messageFilters_.end(), filter) != messageFilters_.end())
    return false;
  messageFilters_.push_back(filter);
  return true;
}

bool CUIManager::RemoveMessageFilter(IMessageFilterUI* filter) {
  auto found = std::find(messageFilters_.begin(), messageFilters_.end(), filter);
  if (found == messageFilters_.end()) return false;
  messageFilters_.erase(found);
  return true;
}

bool CUIManager::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  if (translator == nullptr ||
      std::find(translators_.begin(), translators_.end(), translator) != translators_.end())
    return false;
  translators_.push_back(translator);
  return true;
}

bool CUIManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
  auto found = std::find(translators_.begin(), translators_.end(), translator);
  if (found == translators_.end()) return false;
  translators_.erase(found);
  return true;
}

bool CUIManager::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  std::vector<IMessageFilterUI*> filters = preMessageFilters_;
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    LRESULT filtered = filter->MessageHandler(message, wParam, lParam, handled);
    if (handled) {
      result = filtered;
      return true;
    }
  }
  switch (message) {
    case WM_KEYDOWN:
      if (wParam != VK_TAB) return false;
      MoveFocusToNextTabStop(::GetKeyState(VK_SHIFT) >= 0);
      result = 0;
      return true;
    case WM_SYSCHAR: {
      if (root_ == nullptr) return false;
      wchar_t key = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(wParam)));
      CControlUI* target =
          root_->SearchControl(FindShortcut, &key, FindEnabled | FindMeFirst | FindTopFirst);
      if (target != nullptr && IsLabel(target)) {
        // Top-first order runs backwards through siblings; the follower is found in
        // tree order.
        FollowerSearch search;
        search.label = target;
        target = root_->SearchControl(FindFollower, &search, FindEnabled | FindMeFirst);
      }
      if (target == nullptr) return false;
      SetFocus(target);
      target->Activate();
      result = 0;
      return true;
    }
    case WM_SYSKEYDOWN:
      if (focus_ != nullptr) {
        UIEvent event = MakeEvent(EventSysKey, focus_, wParam, lParam);
        event.key = static_cast<wchar_t>(wParam);
        focus_->DispatchEvent(event);
      }
      return false;
    default:
      return false;
  }
}

bool CUIManager::FilterBeforeDispatch(MSG* message) {
  if (message == nullptr || message->hwnd == nullptr) return false;
  // A handler may close a window and so destroy its manager; work on a copy and check
  // that a manager still lives before using it.
  std::vector<CUIManager*> managers = Managers();
  LRESULT result = 0;
  if ((::GetWindowLongPtrW(message->hwnd, GWL_STYLE) & WS_CHILD) == 0) {
    for (CUIManager* manager : managers) {
      if (manager->window_ != message->hwnd) continue;
      std::vector<ITranslateAccelerator*> translators = manager->translators_;
      for (ITranslateAccelerator* translator : translators) {
        if (translator->TranslateAccelerator(message) == S_OK) return true;
        if (!IsRegistered(manager, Managers())) return false;
      }
      return manager->PreMessageHandler(message->message, message->wParam, message->lParam,
                                        result);
    }
    return false;
  }
  for (auto it = managers.rbegin(); it != managers.rend(); ++it) {
    CUIManager* manager = *it;
    if (!IsRegistered(manager, Managers())) continue;
    HWND window = manager->window_;
    if (window != message->hwnd && !::IsChild(window, message->hwnd)) continue;
    std::vector<ITranslateAccelerator*> translators = manager->translators_;
    for (ITranslateAccelerator* translator : translators) {
      if (translator->TranslateAccelerator(message) == S_OK) return true;
    }
    if (!IsRegistered(manager, Managers())) continue;
    manager->PreMessageHandler(message->message, message->wParam, message->lParam, result);
  }
  return false;
}

}  // namespace SkinUI
