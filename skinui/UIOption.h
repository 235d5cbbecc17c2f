// COptionUI: a button with a selected state. Options that share a group name form a set
// of which one is selected at a time (tab headers, radio choices); an option without a
// group toggles on every click. Either way a change is reported as "selectchanged".
#pragma once

#include <windows.h>

#include <string>

#include "skinui/UIButton.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  ~COptionUI() override;

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  bool Activate() override;
  void AttachManager(CUIManager* manager, CControlUI* parent, bool initialize = true) override;
  void SetEnabled(bool enabled = true) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  virtual void SetSelected(bool selected, bool notify = true);
  bool IsSelected() const { return selected_; }

  const std::wstring& Group() const { return group_; }
  // Leaves the old group of the window and joins the new one; empty leaves only.
  void SetGroup(const std::wstring& group);

  UIDrawInfo& SelectedImage() { return selectedImage_; }
  UIDrawInfo& SelectedHotImage() { return selectedHotImage_; }
  UIDrawInfo& OptionForeImage() { return optionForeImage_; }
  DWORD SelectedBkColor() const { return selectedBkColor_; }
  DWORD SelectedTextColor() const { return selectedTextColor_; }

 protected:
  void JoinGroup();
  void LeaveGroup();

  bool selected_ = false;
  std::wstring group_;
  // The manager whose group holds this option; it can differ from the current manager
  // while the option is detached.
  CUIManager* groupManager_ = nullptr;
  DWORD selectedBkColor_ = 0;
  DWORD selectedTextColor_ = 0;
  UIDrawInfo selectedImage_;
  UIDrawInfo selectedHotImage_;
  UIDrawInfo optionForeImage_;
};

}  // namespace SkinUI
