// CHorizontalLayoutUI: children side by side, left to right. Children with a width keep it, the
// others share what is left; an optional separator band at the left or right edge lets
// the user drag the layout's own width.
#pragma once

#include "skinui/UIContainer.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  UINT ControlFlags() const override;
  void SetBounds(const RECT& rect, bool invalidate = true) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintAfter(HDC dc, const RECT& area) override;

  // Positive: a band at the right edge; negative: at the left edge; 0: none.
  int SeparatorWidth() const { return separator_; }
  void SetSeparatorWidth(int width) { separator_ = width; }
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
