// CCheckBoxUI: an option under the name skins use for a check box; without a group it
// toggles, which is all a check box needs.
#pragma once

#include <string>

#include "skinui/UIOption.h"

namespace SkinUI {

class CCheckBoxUI : public COptionUI {
 public:
  std::wstring ClassName() const override { return L"CheckBox"; }
  void* FindInterface(const std::wstring& name) override {
    if (name == L"CheckBox") return this;
    return COptionUI::FindInterface(name);
  }
  void SetChecked(bool checked) { SetSelected(checked); }
  bool IsChecked() const { return IsSelected(); }
};

}  // namespace SkinUI
