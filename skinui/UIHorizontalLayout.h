// CHorizontalLayoutUI: children side by side, left to right. Children with a width keep it, the
// others share what is left; an optional separator band at the left or right edge lets
// the user drag the layout's own width.
#pragma once

#include "skinui/LayoutSeparator.h"
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
  int SeparatorWidth() const { return separator_.Size(); }
  void SetSeparatorWidth(int width) { separator_.SetSize(width); }
  bool IsSeparatorImmediate() const { return separator_.IsImmediate(); }
  void SetSeparatorImmediate(bool immediate) { separator_.SetImmediate(immediate); }

 private:
  CLayoutSeparator separator_{CLayoutSeparator::Horizontal};
};

}  // namespace SkinUI
