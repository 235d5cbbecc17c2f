// CEditUI: a single-line text field. The framework draws it (text, tip text, password
// characters, state images) while it is idle; while it has the focus a native edit window
// (CEditWnd) lies over its text area and does the typing, caret and selection.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/UIButton.h"
#include "skinui/UILabel.h"

namespace SkinUI {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  // "nativebkcolor" not set: the native window paints its own background.
  static constexpr DWORD kNoNativeBkColor = 0xFFFFFFFF;

  CEditUI();
  ~CEditUI() override;

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  UINT ControlFlags() const override;
  HWND NativeWindow() const override;
  SIZE MeasureSize(SIZE available) override;
  void SetText(const std::wstring& text) override;
  void SetBounds(const RECT& rect, bool invalidate = true) override;
  void MoveBy(int dx, int dy, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetParentVisible(bool visible) override;
  void SetEnabled(bool enabled = true) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  void SetMaxChar(int count);
  int MaxChar() const { return maxChar_; }
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const { return readOnly_; }
  void SetPassword(bool password);
  bool IsPassword() const { return password_; }
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetNumberOnly(bool numberOnly);
  bool IsNumberOnly() const { return (nativeStyle_ & ES_NUMBER) != 0; }
  bool IsAutoSelectAll() const { return autoSelectAll_; }
  // The tip shown while the field is empty; an empty field takes it as its text.
  void SetTipValue(const std::wstring& tip);
  const std::wstring& TipValue() const { return tip_; }
  DWORD TipValueColor() const { return tipColor_; }
  DWORD NativeBkColor() const { return nativeBkColor_; }
  DWORD NativeTextColor() const { return nativeTextColor_; }
  UINT ButtonState() const { return buttonState_; }
  // The text as the framework draws it: the tip, password characters or the text.
  std::wstring ShownText() const;

  // Where the native window goes (window client coordinates): the text area, centred on
  // one line of the font, cut by every ancestor; empty when an ancestor is hidden.
  RECT NativeWindowRect() const;

 private:
  friend class CEditWnd;

  // Opens the native window; false (and display mode) when it cannot be created.
  bool OpenNativeWindow();
  // Called by the native window: the user changed the text.
  void TakeTypedText(const std::wstring& text);
  // Called by the native window as it goes.
  void NativeWindowGone();
  void FollowWithNativeWindow();
  // Takes the keyboard focus away from the native window, which then closes itself.
  void LeaveNativeWindow();

  CEditWnd* window_ = nullptr;
  int maxChar_ = 255;
  bool readOnly_ = false;
  bool password_ = false;
  bool autoSelectAll_ = false;
  wchar_t passwordChar_ = L'*';
  UINT buttonState_ = 0;
  UINT nativeStyle_ = 0;
  DWORD nativeBkColor_ = kNoNativeBkColor;
  std::wstring tip_;
  DWORD tipColor_ = 0;
  DWORD nativeTextColor_ = 0;
  UIDrawInfo normalImage_;
  UIDrawInfo hotImage_;
  UIDrawInfo focusedImage_;
  UIDrawInfo disabledImage_;
};

}  // namespace SkinUI
