#include "skinui/UIOption.h"

#include <vector>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
  // Also when the option was detached (the builder detaches every control after setting
  // its attributes): the group would otherwise keep a pointer to a dead control.
  LeaveGroup();
}

void COptionUI::JoinGroup() {
  if (manager_ == nullptr || group_.empty()) return;
  manager_->JoinOptionGroup(group_, this);
  groupManager_ = manager_;
}

void COptionUI::LeaveGroup() {
  if (groupManager_ != nullptr && !group_.empty()) groupManager_->LeaveOptionGroup(group_, this);
  groupManager_ = nullptr;
}

std::wstring COptionUI::ClassName() const { return L"Option"; }

void* COptionUI::FindInterface(const std::wstring& name) {
  if (name == L"Option") return this;
  return CButtonUI::FindInterface(name);
}

bool COptionUI::Activate() {
  DestroyWatch watch(this);
  if (!CButtonUI::Activate()) return false;
  if (watch.Destroyed()) return true;
  // A click on the selected member of a group keeps it selected.
  SetSelected(group_.empty() ? !selected_ : true, true);
  return true;
}

void COptionUI::AttachManager(CUIManager* manager, CControlUI* parent, bool initialize) {
  // Moving to another window must not leave this option in the old window's group, where
  // a later selection would reach a control that is no longer there. A detach (no
  // manager) keeps the membership: the control is still alive and comes back.
  if (manager != nullptr && manager != groupManager_) LeaveGroup();
  CButtonUI::AttachManager(manager, parent, initialize);
  if (initialize) JoinGroup();
}

void COptionUI::SetGroup(const std::wstring& group) {
  if (group == group_) return;
  LeaveGroup();
  group_ = group;
  JoinGroup();
}

void COptionUI::SetSelected(bool selected, bool notify) {
  if (selected == selected_) return;
  selected_ = selected;
  if (selected_) buttonState_ |= ButtonStateSelected;
  else buttonState_ &= ~ButtonStateSelected;

  if (manager_ != nullptr) {
    bool announce = notify;
    if (!group_.empty()) {
      if (selected_) {
        const std::vector<CControlUI*>* members = manager_->OptionGroup(group_);
        std::vector<CControlUI*> others;
        if (members != nullptr) others = *members;
        for (CControlUI* member : others) {
          auto* option = static_cast<COptionUI*>(member->FindInterface(L"Option"));
          if (option != nullptr && option != this) option->SetSelected(false, notify);
        }
      } else {
        announce = false;
      }
    }
    if (announce) {
      DestroyWatch watch(this);
      manager_->RaiseNotification(this, L"selectchanged");
      if (watch.Destroyed()) return;
    }
  }
  Invalidate();
}

void COptionUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!enabled) buttonState_ &= ButtonStateSelected;
}

void COptionUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"group") SetGroup(value);
  else if (name == L"selected") SetSelected(ParseBool(value));
  else if (name == L"selectedimage") SetImage(selectedImage_, value);
  else if (name == L"selectedhotimage") SetImage(selectedHotImage_, value);
  else if (name == L"foreimage") SetImage(optionForeImage_, value);
  else if (name == L"selectedbkcolor") selectedBkColor_ = ParseColor(value);
  else if (name == L"selectedtextcolor") selectedTextColor_ = ParseColor(value);
  else CButtonUI::ApplyAttribute(name, value);
}

void COptionUI::PaintStateImage(HDC dc) {
  UpdateStateBits();
  bool drawn = false;
  if (selected_) {
    if ((buttonState_ & ButtonStateHot) && DrawImage(dc, selectedHotImage_)) {
      drawn = true;
    } else if (DrawImage(dc, selectedImage_)) {
      drawn = true;
    } else if (selectedBkColor_ != 0) {
      CUIRender::DrawColor(dc, paintRect_, selectedBkColor_);
      drawn = true;
    }
  }
  if (!drawn) {
    // An option shows its choice, not the press: the pushed look is left out.
    UINT pushed = buttonState_ & ButtonStatePushed;
    buttonState_ &= ~ButtonStatePushed;
    CButtonUI::PaintStateImage(dc);
    buttonState_ |= pushed;
  }
  DrawImage(dc, optionForeImage_);
}

void COptionUI::PaintText(HDC dc) {
  if (!selected_ || selectedTextColor_ == 0 || text_.empty() || manager_ == nullptr) {
    CButtonUI::PaintText(dc);
    return;
  }
  DWORD color = IsEnabled() ? selectedTextColor_ : ShownDisabledTextColor();
  DrawLabelText(dc, TextRect(), text_, color, textStyle_);
}

}  // namespace SkinUI
