#include "skinui/LayoutSeparator.h"

#include <algorithm>

#include "skinui/UIControl.h"
#include "skinui/UIEvent.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

bool CLayoutSeparator::WantsCursor(const CControlUI& layout) const {
  return layout.IsEnabled() && size_ != 0;
}

RECT CLayoutSeparator::Band(const RECT& bounds) const {
  RECT band = bounds;
  if (size_ >= 0) Near(band) = std::max<LONG>(Far(band) - size_, Near(band));
  else Far(band) = std::min<LONG>(Near(band) - size_, Far(band));
  return band;
}

LONG CLayoutSeparator::Length(const RECT& rect) const {
  return axis_ == Vertical ? rect.bottom - rect.top : rect.right - rect.left;
}

void CLayoutSeparator::ApplyLength(CControlUI& layout, int length) const {
  if (axis_ == Vertical) layout.SetFixedHeight(length);
  else layout.SetFixedWidth(length);
}

bool CLayoutSeparator::HandleEvent(CControlUI& layout, const UIEvent& event) {
  if (size_ == 0) return false;
  CUIManager* manager = layout.Manager();
  if (event.type == EventButtonDown && layout.IsEnabled()) {
    RECT band = Band(layout.Bounds());
    if (!::PtInRect(&band, event.mouse)) return false;
    captured_ = true;
    dragOrigin_ = event.mouse;
    dragStartRect_ = dragRect_ = layout.Bounds();
    if (!immediate_ && manager != nullptr) manager->AddAfterPaintControl(&layout);
    return true;
  }
  if (event.type == EventButtonUp && captured_) {
    captured_ = false;
    if (!immediate_ && manager != nullptr) {
      manager->RemoveAfterPaintControl(&layout);
      // The new edge was only drawn over the window; now the layout takes the size.
      ApplyLength(layout, Length(dragRect_));
      manager->Invalidate();
    }
    return true;
  }
  if (event.type == EventMouseMove && captured_) {
    // Measured from where the drag started, so the edge stays under the mouse after it
    // was held at a bound.
    const int moved = Along(event.mouse) - Along(dragOrigin_);
    const int low = axis_ == Vertical ? layout.MinHeight() : layout.MinWidth();
    const int high = axis_ == Vertical ? layout.MaxHeight() : layout.MaxWidth();
    const int wanted = Length(dragStartRect_) + (size_ < 0 ? -moved : moved);
    const int length = std::max(low, std::min(wanted, high));
    RECT rect = dragStartRect_;
    if (size_ < 0) Near(rect) = Far(rect) - length;
    else Far(rect) = Near(rect) + length;
    dragRect_ = rect;
    if (immediate_) ApplyLength(layout, length);
    else if (manager != nullptr) manager->Invalidate();
    return true;
  }
  if (event.type == EventSetCursor) {
    RECT band = Band(layout.Bounds());
    if (!layout.IsEnabled() || !::PtInRect(&band, event.mouse)) return false;
    ::SetCursor(::LoadCursorW(nullptr, axis_ == Vertical ? IDC_SIZENS : IDC_SIZEWE));
    return true;
  }
  return false;
}

void CLayoutSeparator::PaintDragEdge(HDC dc) const {
  if (!captured_ || immediate_) return;
  // Shows where the dragged edge will go before the size is applied.
  RECT edge = dragRect_;
  if (size_ < 0) Far(edge) = Near(edge) - size_;
  else Near(edge) = Far(edge) - size_;
  CUIRender::DrawColor(dc, edge, 0xAA000000);
}

}  // namespace SkinUI
