// The drag band at one edge of a vertical or horizontal layout, with which the user
// resizes the layout along its own axis ("sepheight" / "sepwidth", "sepimm"). A positive
// size puts the band at the far edge (bottom or right), a negative one at the near edge
// (top or left). Immediate bands resize while dragging; the others draw the edge where it
// will go over the window and resize on release.
#pragma once

#include <windows.h>

namespace SkinUI {

class CControlUI;
struct UIEvent;

class CLayoutSeparator {
 public:
  enum Axis { Vertical, Horizontal };
  explicit CLayoutSeparator(Axis axis) : axis_(axis) {}

  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  bool IsImmediate() const { return immediate_; }
  void SetImmediate(bool immediate) { immediate_ = immediate; }
  // Whether the layout wants set-cursor events for its band.
  bool WantsCursor(const CControlUI& layout) const;

  // Takes the band's part of the layout's events (press, drag, release, cursor); true
  // when the event was the band's.
  bool HandleEvent(CControlUI& layout, const UIEvent& event);
  // Draws the edge being dragged, for bands that resize on release.
  void PaintDragEdge(HDC dc) const;

 private:
  RECT Band(const RECT& bounds) const;
  LONG& Near(RECT& rect) const { return axis_ == Vertical ? rect.top : rect.left; }
  LONG& Far(RECT& rect) const { return axis_ == Vertical ? rect.bottom : rect.right; }
  LONG Along(POINT point) const { return axis_ == Vertical ? point.y : point.x; }
  LONG Length(const RECT& rect) const;
  void ApplyLength(CControlUI& layout, int length) const;

  Axis axis_;
  int size_ = 0;
  bool immediate_ = false;
  bool captured_ = false;
  // Where the drag started, the layout's rectangle then, and the rectangle it has reached.
  POINT dragOrigin_ = {};
  RECT dragStartRect_ = {};
  RECT dragRect_ = {};
};

}  // namespace SkinUI
