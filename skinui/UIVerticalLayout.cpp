#include "skinui/UIVerticalLayout.h"

#include <algorithm>

#include "skinui/AttributeValue.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) { return std::max<int>(low, std::min<int>(value, high)); }

// The height a child may at most take: its fixed height, else its maximum.
int HeightLimit(const CControlUI* child) {
  return child->FixedHeight() > 0 ? child->FixedHeight() : child->MaxHeight();
}

int WidthLimit(const CControlUI* child) {
  return child->FixedWidth() > 0 ? child->FixedWidth() : child->MaxWidth();
}

}  // namespace

std::wstring CVerticalLayoutUI::ClassName() const { return L"VerticalLayout"; }

void* CVerticalLayoutUI::FindInterface(const std::wstring& name) {
  if (name == L"VerticalLayout") return this;
  return CContainerUI::FindInterface(name);
}

UINT CVerticalLayoutUI::ControlFlags() const {
  return separator_.WantsCursor(*this) ? UINT{ControlFlagSetCursor} : 0u;
}

// Two passes: the first adds up what the fixed-height children take and counts the
// stretchable ones (measured height 0); the second places the children top to bottom,
// giving each stretchable child an equal share and the last one the rounding leftover.
void CVerticalLayoutUI::SetBounds(const RECT& rect, bool invalidate) {
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

  int neededWidth = 0;
  int stretchable = 0;
  int fixedTotal = 0;
  int counted = 0;
  for (CControlUI* child : items_) {
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT pad = child->Padding();
    SIZE size = child->MeasureSize(SIZE{std::min<int>(WidthLimit(child), availCx - pad.left - pad.right),
                                        std::min<int>(HeightLimit(child), availCy)});
    if (size.cy == 0) ++stretchable;
    else size.cy = Clamp(size.cy, child->MinHeight(), child->MaxHeight());
    fixedTotal += size.cy + pad.top + pad.bottom;
    size.cx = Clamp(std::max<LONG>(size.cx, 0), child->MinWidth(), child->MaxWidth());
    neededWidth = std::max<int>(neededWidth, size.cx + pad.left + pad.right);
    ++counted;
  }
  if (counted > 0) fixedTotal += childPadding_ * (counted - 1);
  int share = 0;
  if (stretchable > 0) share = std::max<int>(0, (availCy - fixedTotal) / stretchable);

  int y = rc.top - (vBar ? verticalBar_->ScrollPos() : 0);
  int remaining = availCy;
  int remainingFixed = fixedTotal;
  int neededHeight = 0;
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
    remaining -= pad.top;
    int childWidth = std::min<int>(WidthLimit(child), availCx - pad.left - pad.right);
    remainingFixed -= pad.top + pad.bottom;
    if (placed > 0) remainingFixed -= childPadding_;

    SIZE size = child->MeasureSize(SIZE{childWidth, std::min<int>(HeightLimit(child), remaining)});
    int height = size.cy;
    if (height > 0) {
      height = Clamp(height, child->MinHeight(), child->MaxHeight());
      remainingFixed -= height;
    } else {
      ++stretchSeen;
      height = (stretchSeen == stretchable) ? std::max<int>(0, remaining - static_cast<int>(pad.bottom) - remainingFixed)
                                            : share;
      height = Clamp(height, child->MinHeight(), child->MaxHeight());
    }

    int width = child->MaxWidth();
    if (width == 0) width = availCx - pad.left - pad.right;
    width = std::max<int>(width, 0);
    width = std::min<int>(width, childWidth);
    width = std::max<int>(width, child->MinWidth());

    int left;
    if (childAlign_ == AlignCenter) {
      int center = (rc.left + rc.right) / 2;
      if (hBar) center += horizontalBar_->ScrollRange() / 2 - horizontalBar_->ScrollPos();
      left = center - width / 2;
    } else if (childAlign_ == AlignRight) {
      int right = rc.right - pad.right;
      if (hBar) right += horizontalBar_->ScrollRange() - horizontalBar_->ScrollPos();
      left = right - width;
    } else {
      left = rc.left + pad.left - (hBar ? horizontalBar_->ScrollPos() : 0);
    }
    int top = y + pad.top;
    child->SetBounds(RECT{left, top, left + width, top + height}, false);

    y += height + pad.top + pad.bottom + childPadding_;
    remaining -= height + pad.bottom + childPadding_;
    neededHeight += height + pad.top + pad.bottom;
    ++placed;
  }
  if (counted > 0) neededHeight += childPadding_ * (counted - 1);
  UpdateScrollBars(rc, neededWidth, neededHeight);
}

void CVerticalLayoutUI::HandleEvent(UIEvent& event) {
  if (separator_.HandleEvent(*this, event)) return;
  CContainerUI::HandleEvent(event);
}

void CVerticalLayoutUI::PaintAfter(HDC dc, const RECT& area) {
  separator_.PaintDragEdge(dc);
  CContainerUI::PaintAfter(dc, area);
}

void CVerticalLayoutUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"sepheight") SetSeparatorHeight(ParseInteger(value));
  else if (name == L"sepimm") SetSeparatorImmediate(ParseBool(value));
  else CContainerUI::ApplyAttribute(name, value);
}

}  // namespace SkinUI
