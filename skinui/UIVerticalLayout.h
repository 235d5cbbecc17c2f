// CVerticalLayoutUI: children stacked top to bottom. Children with a height keep it, the
// others share what is left; an optional separator band at the top or bottom edge lets
// the user drag the layout's own height.
#pragma once

#include "skinui/UIContainer.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  UINT ControlFlags() const override;
  void SetBounds(const RECT& rect, bool invalidate = true) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintAfter(HDC dc, const RECT& area) override;

  // Positive: a band at the bottom edge; negative: at the top edge; 0: none.
  int SeparatorHeight() const { return separator_; }
  void SetSeparatorHeight(int height) { separator_ = height; }
  bool IsSeparatorImmediate() const { return immediate_; }
  void SetSeparatorImmediate(bool immediate) { immediate_ = immediate; }

 private:
  RECT SeparatorBand() const;

  int separator_ = 0;
  bool immediate_ = false;
  bool captured_ = false;
  // Where the drag started, the rectangle then, and the rectangle it has reached.
  POINT dragOrigin_ = {};
  RECT dragStartRect_ = {};
  RECT dragRect_ = {};
};

}  // namespace SkinUI
