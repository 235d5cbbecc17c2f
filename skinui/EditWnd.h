// CEditWnd: the native edit window a CEditUI opens over its text area while it has the
// focus. It is a superclass of the system "Edit" class, a child of the skinned window,
// and it closes (and deletes itself) as soon as it loses the keyboard focus.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/WindowWnd.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

class CEditUI;
class CUIManager;

class CEditWnd : public CWindowWnd {
 public:
  // Timer that blinks the drawn caret of a layered window.
  static constexpr UINT_PTR kCaretTimerId = 20;

  // Creates the window over the edit; null when it cannot be created.
  static CEditWnd* Open(CEditUI* owner);

  // The edit is going away: the window must not call back into it.
  void ForgetOwner() { owner_ = nullptr; }
  // Moves the window to the edit's text area, hiding it when nothing of it shows.
  void Reposition();
  // Shows text set by the program; that is no typing, so no "textchanged" follows.
  void ReplaceText(const std::wstring& text);

 protected:
  LPCWSTR WindowClassName() const override { return L"SkinUIEditWnd"; }
  LPCWSTR SuperClassName() const override { return L"Edit"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND window) override;

 private:
  CEditWnd(CEditUI* owner, CUIManager* manager) : owner_(owner), manager_(manager) {}
  ~CEditWnd() override = default;

  bool Create();
  LRESULT OnReflectedColor(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTextChanged();

  CEditUI* owner_;
  CUIManager* manager_;
  Utils::ScopedBrush brush_;
  bool ready_ = false;     // creation finished: text changes come from the user
  bool caretShown_ = false;
  int handling_ = 0;       // nesting of HandleMessage
  bool gone_ = false;      // the window went while a message was being handled
};

}  // namespace SkinUI
