// CVerticalLayoutUI: children stacked top to bottom. Children with a height keep it, the
// others share what is left; an optional separator band at the top or bottom edge lets
// the user drag the layout's own height.
#pragma once

#include "skinui/LayoutSeparator.h"
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
  int SeparatorHeight() const { return separator_.Size(); }
  void SetSeparatorHeight(int height) { separator_.SetSize(height); }
  bool IsSeparatorImmediate() const { return separator_.IsImmediate(); }
  void SetSeparatorImmediate(bool immediate) { separator_.SetImmediate(immediate); }

 private:
  CLayoutSeparator separator_{CLayoutSeparator::Vertical};
};

}  // namespace SkinUI
