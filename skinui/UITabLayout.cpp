#include "skinui/UITabLayout.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"

namespace SkinUI {

std::wstring CTabLayoutUI::ClassName() const { return L"TabLayout"; }

void* CTabLayoutUI::FindInterface(const std::wstring& name) {
  if (name == L"TabLayout") return this;
  return CContainerUI::FindInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) {
  if (!CContainerUI::Add(control)) return false;
  if (current_ == -1 && control->IsVisible()) current_ = ItemIndex(control);
  else control->SetVisible(false);
  return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (current_ == -1 && control->IsVisible()) {
    current_ = ItemIndex(control);
  } else if (current_ != -1 && index <= current_) {
    ++current_;
  } else {
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool keep) {
  int index = ItemIndex(control);
  if (!CContainerUI::Remove(control, keep)) return false;
  if (index == current_) {
    if (Count() > 0) {
      current_ = 0;
      ItemAt(0)->SetVisible(true);
    } else {
      current_ = -1;
    }
    RequestParentLayout();
  } else if (index < current_) {
    --current_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  current_ = -1;
  CContainerUI::RemoveAll();
  RequestParentLayout();
}

void CTabLayoutUI::SetBounds(const RECT& rect, bool invalidate) {
  CControlUI::SetBounds(rect, invalidate);
  RECT rc = item_;
  rc.left += inset_.left;
  rc.top += inset_.top;
  rc.right -= inset_.right;
  rc.bottom -= inset_.bottom;
  for (int i = 0; i < Count(); ++i) {
    CControlUI* child = items_[i];
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    if (i != current_) continue;
    RECT pad = child->Padding();
    SIZE available = {rc.right - rc.left - pad.left - pad.right,
                      rc.bottom - rc.top - pad.top - pad.bottom};
    SIZE size = child->MeasureSize(available);
    if (size.cx == 0) size.cx = std::max<LONG>(0, available.cx);
    size.cx = std::max<LONG>(child->MinWidth(), std::min<LONG>(size.cx, child->MaxWidth()));
    if (size.cy == 0) size.cy = std::max<LONG>(0, available.cy);
    size.cy = std::max<LONG>(child->MinHeight(), std::min<LONG>(size.cy, child->MaxHeight()));
    RECT placed = {rc.left + pad.left, rc.top + pad.top, rc.left + pad.left + size.cx,
                   rc.top + pad.top + size.cy};
    child->SetBounds(placed, false);
  }
}

bool CTabLayoutUI::SelectPage(int index, bool notify) {
  if (index < 0 || index >= Count()) return false;
  if (index == current_) return true;
  int old = current_;
  current_ = index;
  for (int i = 0; i < Count(); ++i) {
    if (i == index) {
      items_[i]->SetVisible(true);
      items_[i]->TakeFocus();
    } else {
      items_[i]->SetVisible(false);
    }
  }
  RequestParentLayout();
  if (manager_ != nullptr) {
    // The page is not laid out yet; the manager moves the focus once it is.
    manager_->MoveFocusToNextTabStop(true);
    if (notify) manager_->RaiseNotification(this, L"tabselect", index, old);
  }
  return true;
}

void CTabLayoutUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selectedid") {
    SelectPage(ParseInteger(value), true);
    AddCustomAttribute(name, value);
  } else {
    CContainerUI::ApplyAttribute(name, value);
  }
}

}  // namespace SkinUI
