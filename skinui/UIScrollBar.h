// CScrollBarUI, as far as containers need one: a control that can be shown or hidden,
// is placed along its container's edge, and carries a range, a position and a line size.
// Dragging and the arrow buttons belong to the extended controls.
#pragma once

#include "skinui/UIControl.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  // Width of a vertical bar, height of a horizontal one, unless the skin sets another.
  static constexpr int kDefaultSize = 16;

  CScrollBarUI();

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  CContainerUI* Owner() const { return owner_; }
  void SetOwner(CContainerUI* owner) { owner_ = owner; }
  bool IsHorizontal() const { return horizontal_; }
  // Swaps the default thickness between width and height.
  void SetHorizontal(bool horizontal);

  int ScrollRange() const { return range_; }
  // Negative ranges are 0; the position is pulled back into the new range.
  void SetScrollRange(int range);
  int ScrollPos() const { return position_; }
  // Kept within 0 .. range.
  void SetScrollPos(int position);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int size) { lineSize_ = size; }

 private:
  CContainerUI* owner_ = nullptr;
  bool horizontal_ = false;
  int range_ = 0;
  int position_ = 0;
  // 0: the container decides (the default font height plus 8 vertically, 8 sideways).
  int lineSize_ = 0;
};

}  // namespace SkinUI
