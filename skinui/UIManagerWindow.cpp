// The per-window half of CUIManager: the control tree's bookkeeping (names, focus,
// timers, notifications, delayed cleanup); resources are in UIManagerResources.cpp.
#include <algorithm>
#include <cwchar>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"
#include "skinui/SystemBlend.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

const DWORD kDefaultColors[5] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF};

CControlUI* CALLBACK FindFirst(CControlUI* control, LPVOID) { return control; }

CControlUI* CALLBACK FindByName(CControlUI* control, LPVOID data) {
  auto* names = static_cast<std::map<std::wstring, CControlUI*>*>(data);
  if (!control->GetName().empty()) (*names)[control->GetName()] = control;
  return nullptr;
}

CControlUI* CALLBACK CollectAll(CControlUI* control, LPVOID data) {
  static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  return nullptr;
}

struct TabStopSearch {
  CControlUI* focus = nullptr;
  CControlUI* last = nullptr;
  bool forward = true;
  bool passedFocus = false;
};

// Visits controls in tree order; finds the tab stop after (forward) or before (backward)
// the focus control.
CControlUI* CALLBACK FindTabStop(CControlUI* control, LPVOID data) {
  auto* search = static_cast<TabStopSearch*>(data);
  bool tabStop = (control->ControlFlags() & ControlFlagTabStop) != 0;
  if (search->forward) {
    if (control == search->focus) {
      search->passedFocus = true;
      return nullptr;
    }
    if (tabStop && (search->focus == nullptr || search->passedFocus)) return control;
    return nullptr;
  }
  if (control == search->focus && search->last != nullptr) return search->last;
  if (tabStop) search->last = control;
  return nullptr;
}

}  // namespace

std::vector<CUIManager*>& CUIManager::Managers() {
  static std::vector<CUIManager*> managers;
  return managers;
}

CUIManager::CUIManager() {
  static bool processReady = false;
  if (!processReady) {
    processReady = true;
    // Tooltips need the common controls; the blend entry points are looked up once here
    // so the first paint does not pay for it.
    ::InitCommonControls();
    SystemBlendFunctions();
  }
  std::copy(std::begin(kDefaultColors), std::end(kDefaultColors), defaultColors_);
}

CUIManager::~CUIManager() {
  *alive_ = false;
  DestroyQueuedControls();
  asyncNotifications_.clear();
  if (root_ != nullptr) {
    CControlUI* root = root_;
    root_ = nullptr;
    root->DeleteSelf();
  }
  // A control destroyed above may have queued others for cleanup.
  DestroyQueuedControls();
  KillAllTimers();
  if (layered_ && window_ != nullptr) ::KillTimer(window_, kLayeredTimerId);
  if (toolTipWindow_ != nullptr && ::IsWindow(toolTipWindow_)) ::DestroyWindow(toolTipWindow_);
  ReleaseBuffers();
  if (windowDC_ != nullptr) ::ReleaseDC(window_, windowDC_);
  auto& managers = Managers();
  managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
}

void CUIManager::Init(HWND window, const std::wstring& name) {
  nameMap_.clear();
  optionGroups_.clear();
  fonts_.clear();
  images_.clear();
  defaultAttributes_.clear();
  windowCustomAttributes_.clear();
  KillAllTimers();
  name_ = name;
  if (window == window_) return;
  if (windowDC_ != nullptr) ::ReleaseDC(window_, windowDC_);
  ReleaseBuffers();
  window_ = window;
  windowDC_ = window != nullptr ? ::GetDC(window) : nullptr;
  auto& managers = Managers();
  if (std::find(managers.begin(), managers.end(), this) == managers.end())
    managers.push_back(this);
}

void CUIManager::DropFocusWithEvents() {
  if (focus_ == nullptr) return;
  CControlUI* old = focus_;
  UIEvent event;
  event.type = EventKillFocus;
  event.sender = old;
  event.timestamp = ::GetTickCount();
  event.mouse = lastMousePos_;
  old->DispatchEvent(event);
  RaiseNotification(old, L"killfocus");
  focus_ = nullptr;
}

bool CUIManager::AttachRoot(CControlUI* root) {
  if (window_ != nullptr && ::GetFocus() != window_ && focus_ != nullptr && !noActivate_)
    ::SetFocus(window_);
  DropFocusWithEvents();
  keyTarget_ = hover_ = pressed_ = nullptr;
  if (root_ != nullptr) {
    DestroyQueuedControls();
    asyncNotifications_.clear();
    nameMap_.clear();
    postPaintControls_.clear();
    nativeWindows_.clear();
    nativeWindowControls_.clear();
    QueueForCleanup(root_);
  }
  root_ = root;
  firstLayout_ = true;
  updateNeeded_ = true;
  focusNeeded_ = true;
  // A window already on screen would keep showing the old tree until something else
  // invalidated it.
  Invalidate();
  if (root_ == nullptr) return false;
  return AdoptControls(root_, root_->Parent());
}

bool CUIManager::AdoptControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->AttachManager(this, parent != nullptr ? parent : control->Parent(), true);
  control->SearchControl(FindByName, &nameMap_, FindAll);
  return true;
}

CControlUI* CUIManager::ControlByName(const std::wstring& name) const {
  auto found = nameMap_.find(name);
  return found == nameMap_.end() ? nullptr : found->second;
}

CControlUI* CUIManager::ControlAtPoint(POINT point) const {
  if (root_ == nullptr) return nullptr;
  return root_->SearchControl(FindFirst, &point, FindVisible | FindHitTest | FindTopFirst);
}

bool CUIManager::RenameControl(CControlUI* control, const std::wstring& name) {
  if (control == nullptr || control->Manager() != this || name.empty()) return false;
  auto existing = nameMap_.find(name);
  if (existing != nameMap_.end()) return existing->second == control;
  for (auto it = nameMap_.begin(); it != nameMap_.end(); ++it) {
    if (it->second == control) {
      nameMap_.erase(it);
      break;
    }
  }
  nameMap_[name] = control;
  return true;
}

void CUIManager::ForgetControl(CControlUI* control) {
  if (keyTarget_ == control) keyTarget_ = nullptr;
  if (hover_ == control) hover_ = nullptr;
  if (pressed_ == control) pressed_ = nullptr;
  if (focus_ == control) focus_ = nullptr;
  KillControlTimers(control);
  auto named = nameMap_.find(control->GetName());
  if (named != nameMap_.end() && named->second == control) nameMap_.erase(named);
  for (UINotification& notification : asyncNotifications_) {
    if (notification.sender == control) notification.sender = nullptr;
  }
  // A control destroyed some other way must not be destroyed a second time later.
  delayedCleanup_.erase(std::remove(delayedCleanup_.begin(), delayedCleanup_.end(), control),
                        delayedCleanup_.end());
  RemoveAfterPaintControl(control);
  UnwatchMouseLeave(control);
  // An option that dies without leaving its group must not be deselected later.
  for (auto group = optionGroups_.begin(); group != optionGroups_.end();) {
    auto& members = group->second;
    members.erase(std::remove(members.begin(), members.end(), control), members.end());
    if (members.empty()) group = optionGroups_.erase(group);
    else ++group;
  }
  // Its native window, if it still lives, is no longer the control's.
  for (size_t i = 0; i < nativeWindowControls_.size();) {
    if (nativeWindowControls_[i] == control) UnregisterNativeChild(nativeWindows_[i]);
    else ++i;
  }
}

void CUIManager::ReleaseInputTargets(CControlUI* subtree) {
  std::vector<CControlUI*> controls;
  subtree->SearchControl(CollectAll, &controls, FindAll);
  for (CControlUI* control : controls) {
    if (keyTarget_ == control) keyTarget_ = nullptr;
    if (hover_ == control) hover_ = nullptr;
    if (pressed_ == control) pressed_ = nullptr;
    if (focus_ == control) focus_ = nullptr;
  }
}

void CUIManager::QueueForCleanup(CControlUI* control) {
  if (control == nullptr) return;
  // A control taken out of the tree waits for its destruction, but input must not reach
  // it meanwhile (a button-up already queued behind the removal would).
  ReleaseInputTargets(control);
  control->AttachManager(this, nullptr, false);
  delayedCleanup_.push_back(control);
  if (window_ != nullptr && !asyncPosted_) {
    asyncPosted_ = ::PostMessageW(window_, kAsyncMessage, 0, 0) != FALSE;
  }
}

bool CUIManager::AddAfterPaintControl(CControlUI* control) {
  if (control == nullptr ||
      std::find(postPaintControls_.begin(), postPaintControls_.end(), control) !=
          postPaintControls_.end())
    return false;
  postPaintControls_.push_back(control);
  return true;
}

bool CUIManager::RemoveAfterPaintControl(CControlUI* control) {
  auto found = std::find(postPaintControls_.begin(), postPaintControls_.end(), control);
  if (found == postPaintControls_.end()) return false;
  postPaintControls_.erase(found);
  return true;
}

bool CUIManager::JoinOptionGroup(const std::wstring& group, CControlUI* control) {
  if (control == nullptr) return false;
  std::vector<CControlUI*>& members = optionGroups_[group];
  if (std::find(members.begin(), members.end(), control) != members.end()) return false;
  members.push_back(control);
  return true;
}

void CUIManager::LeaveOptionGroup(const std::wstring& group, CControlUI* control) {
  auto found = optionGroups_.find(group);
  if (found == optionGroups_.end()) return;
  std::vector<CControlUI*>& members = found->second;
  members.erase(std::remove(members.begin(), members.end(), control), members.end());
  if (members.empty()) optionGroups_.erase(found);
}

const std::vector<CControlUI*>* CUIManager::OptionGroup(const std::wstring& group) const {
  auto found = optionGroups_.find(group);
  return found == optionGroups_.end() ? nullptr : &found->second;
}

bool CUIManager::WatchMouseLeave(CControlUI* control) {
  if (control == nullptr || std::find(mouseLeaveControls_.begin(), mouseLeaveControls_.end(),
                                      control) != mouseLeaveControls_.end())
    return false;
  mouseLeaveControls_.push_back(control);
  return true;
}

bool CUIManager::UnwatchMouseLeave(CControlUI* control) {
  auto found = std::find(mouseLeaveControls_.begin(), mouseLeaveControls_.end(), control);
  if (found == mouseLeaveControls_.end()) return false;
  mouseLeaveControls_.erase(found);
  return true;
}

void CUIManager::DestroyQueuedControls() {
  // Destroying a control may queue more; take the list first.
  while (!delayedCleanup_.empty()) {
    std::vector<CControlUI*> controls;
    controls.swap(delayedCleanup_);
    for (CControlUI* control : controls) control->DeleteSelf();
  }
}

void CUIManager::SetFocus(CControlUI* control, bool focusWindow) {
  if (focusWindow && window_ != nullptr && ::GetFocus() != window_ && control != focus_ &&
      !noActivate_)
    ::SetFocus(window_);
  if (control == focus_) return;
  if (focus_ != nullptr) {
    CControlUI* old = focus_;
    UIEvent event;
    event.type = EventKillFocus;
    event.sender = control;
    event.timestamp = ::GetTickCount();
    event.mouse = lastMousePos_;
    old->DispatchEvent(event);
    RaiseNotification(old, L"killfocus");
    focus_ = nullptr;
  }
  if (control == nullptr) return;
  if (control->Manager() == this && control->IsVisible() && control->IsEnabled()) {
    focus_ = control;
    UIEvent event;
    event.type = EventSetFocus;
    event.sender = control;
    event.timestamp = ::GetTickCount();
    event.mouse = lastMousePos_;
    control->DispatchEvent(event);
    RaiseNotification(control, L"setfocus");
  }
}

bool CUIManager::MoveFocusToNextTabStop(bool forward) {
  if (updateNeeded_ && forward) {
    focusNeeded_ = true;
    Invalidate();
    return true;
  }
  if (root_ == nullptr) return false;
  TabStopSearch search;
  search.focus = focus_;
  search.forward = forward;
  const UINT flags = FindVisible | FindEnabled | FindMeFirst;
  CControlUI* found = root_->SearchControl(FindTabStop, &search, flags);
  if (found == nullptr) {
    if (forward) {
      TabStopSearch fromStart;
      found = root_->SearchControl(FindTabStop, &fromStart, flags);
    } else {
      found = search.last;
    }
  }
  if (found != nullptr) SetFocus(found);
  focusNeeded_ = false;
  return true;
}

void CUIManager::RequestFocusAfterLayout(CControlUI* control) {
  if (window_ != nullptr && !noActivate_) ::SetFocus(window_);
  DropFocusWithEvents();
  if (root_ == nullptr || control == nullptr) return;
  // The next layout moves the focus forward from the tab stop before the control, which
  // lands on the control itself once it can take the focus.
  TabStopSearch search;
  search.focus = control;
  search.forward = false;
  focus_ = root_->SearchControl(FindTabStop, &search, FindVisible | FindEnabled | FindMeFirst);
  // Before the first tab stop comes the last one, as with Shift+Tab.
  if (focus_ == nullptr) focus_ = search.last;
  // The only tab stop would be parked on itself and then never get its set-focus event.
  if (focus_ == control) focus_ = nullptr;
  focusNeeded_ = true;
  root_->RequestLayout();
}

bool CUIManager::SetTimer(CControlUI* control, UINT id, UINT elapse) {
  if (window_ == nullptr || control == nullptr) return false;
  for (TimerRecord& timer : timers_) {
    if (timer.control == control && timer.window == window_ && timer.id == id) {
      if (!timer.killed) return false;
      if (::SetTimer(window_, timer.localId, elapse, nullptr) == 0) return false;
      timer.killed = false;
      return true;
    }
  }
  // Local ids cycle through 255 values; one still held by another record would make the
  // system replace that timer, so such ids are passed over.
  UINT_PTR localId = lastTimerId_;
  for (int tries = 0; tries < 255; ++tries) {
    localId = (localId + 1) % 255;
    bool used = std::any_of(timers_.begin(), timers_.end(),
                            [&](const TimerRecord& t) { return t.localId == localId; });
    if (used) continue;
    if (::SetTimer(window_, localId, elapse, nullptr) == 0) return false;
    lastTimerId_ = localId;
    timers_.push_back(TimerRecord{control, id, window_, localId, false});
    return true;
  }
  return false;
}

bool CUIManager::KillTimer(CControlUI* control, UINT id) {
  for (TimerRecord& timer : timers_) {
    if (timer.control == control && timer.window == window_ && timer.id == id) {
      if (timer.killed) return false;
      ::KillTimer(timer.window, timer.localId);
      timer.killed = true;
      return true;
    }
  }
  return false;
}

void CUIManager::KillControlTimers(CControlUI* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      if (!it->killed) ::KillTimer(it->window, it->localId);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

void CUIManager::KillAllTimers() {
  for (const TimerRecord& timer : timers_) {
    if (!timer.killed) ::KillTimer(timer.window, timer.localId);
  }
  timers_.clear();
}

bool CUIManager::DispatchTimer(UINT_PTR localId) {
  for (const TimerRecord& timer : timers_) {
    if (timer.window == window_ && timer.localId == localId && !timer.killed) {
      UIEvent event;
      event.type = EventTimer;
      event.sender = timer.control;
      event.timestamp = ::GetTickCount();
      event.mouse = lastMousePos_;
      event.wParam = timer.id;
      timer.control->DispatchEvent(event);
      return true;
    }
  }
  return false;
}

bool CUIManager::AddNotifyReceiver(INotifyUI* receiver) {
  if (receiver == nullptr) return false;
  if (std::find(notifiers_.begin(), notifiers_.end(), receiver) != notifiers_.end())
    return false;
  notifiers_.push_back(receiver);
  return true;
}

bool CUIManager::RemoveNotifyReceiver(INotifyUI* receiver) {
  auto found = std::find(notifiers_.begin(), notifiers_.end(), receiver);
  if (found == notifiers_.end()) return false;
  notifiers_.erase(found);
  return true;
}

void CUIManager::RaiseNotification(CControlUI* control, const std::wstring& type, WPARAM wParam,
                                   LPARAM lParam, bool async) {
  UINotification notification;
  notification.type = type;
  notification.sender = control;
  notification.wParam = wParam;
  notification.lParam = lParam;
  RaiseNotification(notification, async);
}

void CUIManager::RaiseNotification(UINotification& notification, bool async) {
  notification.mouse = lastMousePos_;
  notification.timestamp = ::GetTickCount();
  if (virtualWindowsUsed_ && notification.sender != nullptr)
    notification.virtualWindow = notification.sender->VirtualWindow();
  if (async) {
    asyncNotifications_.push_back(notification);
    if (window_ != nullptr && !asyncPosted_)
      asyncPosted_ = ::PostMessageW(window_, kAsyncMessage, 0, 0) != FALSE;
    return;
  }
  DeliverNotification(notification);
}

bool CUIManager::DeliverNotification(UINotification& notification) {
  // A handler may close the window and so destroy this manager; the token outlives it.
  std::shared_ptr<bool> alive = alive_;
  if (notification.sender != nullptr) notification.sender->OnNotify.Invoke(notification);
  if (!*alive) return false;
  // A receiver may add or remove receivers while it is called; one removed meanwhile (and
  // perhaps destroyed) is not called.
  std::vector<INotifyUI*> receivers = notifiers_;
  for (INotifyUI* receiver : receivers) {
    if (std::find(notifiers_.begin(), notifiers_.end(), receiver) == notifiers_.end()) continue;
    receiver->Notify(notification);
    if (!*alive) return false;
  }
  return true;
}

void CUIManager::DeliverQueuedNotifications() {
  asyncPosted_ = false;
  while (!asyncNotifications_.empty()) {
    UINotification notification = asyncNotifications_.front();
    asyncNotifications_.erase(asyncNotifications_.begin());
    if (!DeliverNotification(notification)) return;
  }
  DestroyQueuedControls();
}

}  // namespace SkinUI
