// CTabLayoutUI: shows one child (page) at a time, chosen by index; switching pages with
// notification sends "tabselect" (new index, old index).
#pragma once

#include "skinui/UIContainer.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
 public:
  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keep = false) override;
  void RemoveAll() override;

  void SetBounds(const RECT& rect, bool invalidate = true) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // -1 while nothing is selected.
  int CurrentIndex() const { return current_; }
  // False for an index outside the pages; true without doing anything for the current one.
  bool SelectPage(int index, bool notify = true);

 private:
  int current_ = -1;
};

}  // namespace SkinUI
