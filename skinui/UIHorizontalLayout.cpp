#include "skinui/UIHorizontalLayout.h"

#include <algorithm>

#include "skinui/AttributeValue.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) { return std::max<int>(low, std::min<int>(value, high)); }

int HeightLimit(const CControlUI* child) {
  return child->FixedHeight() > 0 ? child->FixedHeight() : child->MaxHeight();
}

}  // namespace

std::wstring CHorizontalLayoutUI::ClassName() const { return L"HorizontalLayout"; }

void* CHorizontalLayoutUI::FindInterface(const std::wstring& name) {
  if (name == L"HorizontalLayout") return this;
  return CContainerUI::FindInterface(name);
}

UINT CHorizontalLayoutUI::ControlFlags() const {
  return separator_.WantsCursor(*this) ? UINT{ControlFlagSetCursor} : 0u;
}

// The vertical layout's two passes turned sideways, except that only children with a
// fixed width are measured: one without is stretchable whatever its content measures.
void CHorizontalLayoutUI::SetBounds(const RECT& rect, bool invalidate) {
  CControlUI::SetBounds(rect, invalidate);
  RECT rc = InnerRect();
  if (items_.empty()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
  const bool vBar = IsVisibleBar(verticalBar_);
  const bool hBar = IsVisibleBar(horizontalBar_);
  int availCx = rc.right - rc.left;
  int availCy = rc.bottom - rc.top;
  if (hBar) availCx += horizontalBar_->ScrollRange();
  if (vBar) availCy += verticalBar_->ScrollRange();

  int neededHeight = 0;
  int stretchable = 0;
  int fixedTotal = 0;
  int counted = 0;
  for (CControlUI* child : items_) {
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT pad = child->Padding();
    SIZE size = {0, child->FixedHeight()};
    if (child->FixedWidth() == 0) {
      ++stretchable;
    } else {
      size = child->MeasureSize(SIZE{std::min<LONG>(child->FixedWidth(), availCx),
                                     std::min<LONG>(HeightLimit(child), availCy - pad.top - pad.bottom)});
      if (size.cx == 0) ++stretchable;
      else size.cx = Clamp(size.cx, child->MinWidth(), child->MaxWidth());
    }
    fixedTotal += size.cx + pad.left + pad.right;
    size.cy = Clamp(std::max<LONG>(size.cy, 0), child->MinHeight(), child->MaxHeight());
    neededHeight = std::max<int>(neededHeight, size.cy + pad.top + pad.bottom);
    ++counted;
  }
  if (counted > 0) fixedTotal += childPadding_ * (counted - 1);
  int share = 0;
  if (stretchable > 0) share = std::max<int>(0, (availCx - fixedTotal) / stretchable);

  int x = rc.left - (hBar ? horizontalBar_->ScrollPos() : 0);
  int remaining = availCx;
  int remainingFixed = fixedTotal;
  int neededWidth = 0;
  int stretchSeen = 0;
  int placed = 0;
  for (int i = 0; i < Count(); ++i) {
    CControlUI* child = items_[i];
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    RECT pad = child->Padding();
    remaining -= pad.left;
    int childHeight = std::min<int>(HeightLimit(child), availCy - pad.top - pad.bottom);
    remainingFixed -= pad.left + pad.right;
    if (placed > 0) remainingFixed -= childPadding_;

    SIZE size = {};
    if (child->FixedWidth() > 0)
      size = child->MeasureSize(SIZE{std::min<int>(child->FixedWidth(), remaining), childHeight});
    int width = size.cx;
    if (child->FixedWidth() > 0 && width > 0) {
      width = Clamp(width, child->MinWidth(), child->MaxWidth());
      remainingFixed -= width;
    } else {
      ++stretchSeen;
      width = (stretchSeen == stretchable) ? std::max<int>(0, remaining - static_cast<int>(pad.right) - remainingFixed)
                                           : share;
      width = Clamp(width, child->MinWidth(), child->MaxWidth());
    }

    int height = child->MaxHeight();
    if (height == 0) height = availCy - pad.top - pad.bottom;
    height = std::max<int>(height, 0);
    height = std::min<int>(height, childHeight);
    height = std::max<int>(height, child->MinHeight());

    int top;
    if (childVAlign_ == VAlignCenter) {
      int center = (rc.top + rc.bottom) / 2;
      if (vBar) center += verticalBar_->ScrollRange() / 2 - verticalBar_->ScrollPos();
      top = center - height / 2;
    } else if (childVAlign_ == VAlignBottom) {
      int bottom = rc.bottom - pad.bottom;
      if (vBar) bottom += verticalBar_->ScrollRange() - verticalBar_->ScrollPos();
      top = bottom - height;
    } else {
      top = rc.top + pad.top - (vBar ? verticalBar_->ScrollPos() : 0);
    }
    int left = x + pad.left;
    child->SetBounds(RECT{left, top, left + width, top + height}, false);

    x += width + pad.left + pad.right + childPadding_;
    remaining -= width + pad.right + childPadding_;
    neededWidth += width + pad.left + pad.right;
    ++placed;
  }
  if (counted > 0) neededWidth += childPadding_ * (counted - 1);
  UpdateScrollBars(rc, neededWidth, neededHeight);
}

void CHorizontalLayoutUI::HandleEvent(UIEvent& event) {
  if (separator_.HandleEvent(*this, event)) return;
  CContainerUI::HandleEvent(event);
}

void CHorizontalLayoutUI::PaintAfter(HDC dc, const RECT& area) {
  separator_.PaintDragEdge(dc);
  CContainerUI::PaintAfter(dc, area);
}

void CHorizontalLayoutUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"sepwidth") SetSeparatorWidth(ParseInteger(value));
  else if (name == L"sepimm") SetSeparatorImmediate(ParseBool(value));
  else CContainerUI::ApplyAttribute(name, value);
}

}  // namespace SkinUI
