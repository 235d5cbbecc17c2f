// CButtonUI: a label that reacts to the mouse and the keyboard. It tracks hot, pushed,
// focused and disabled states, paints the image of its state (optionally fading between
// normal and hot), and sends "click" when the mouse is released over it or when Space or
// Enter is pressed while it has the focus.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/UILabel.h"

namespace SkinUI {

// Bits of the button state.
enum UIButtonState : UINT {
  ButtonStateFocused = 0x01,
  ButtonStateSelected = 0x02,
  ButtonStateDisabled = 0x04,
  ButtonStateHot = 0x08,
  ButtonStatePushed = 0x10,
  ButtonStateCaptured = 0x40,
};

class CButtonUI : public CLabelUI {
 public:
  // Timer of the fade between the normal and the hot image.
  static constexpr UINT kFadeTimerId = 11;
  static constexpr UINT kFadeInterval = 30;

  CButtonUI();
  ~CButtonUI() override;

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  UINT ControlFlags() const override;
  bool Activate() override;
  void SetEnabled(bool enabled = true) override;
  SIZE MeasureSize(SIZE available) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  UINT ButtonState() const { return buttonState_; }
  BYTE FadeAlpha() const { return fadeAlpha_; }
  BYTE FadeStep() const { return fadeStep_; }
  void SetFadeStep(BYTE step) { fadeStep_ = step; }

  UIDrawInfo& NormalImage() { return normalImage_; }
  UIDrawInfo& HotImage() { return hotImage_; }
  UIDrawInfo& HotForeImage() { return hotForeImage_; }
  UIDrawInfo& PushedImage() { return pushedImage_; }
  UIDrawInfo& FocusedImage() { return focusedImage_; }
  UIDrawInfo& DisabledImage() { return disabledImage_; }
  // Gives an image slot a new descriptor; the same descriptor again is ignored once it
  // has loaded.
  void SetImage(UIDrawInfo& slot, const std::wstring& descriptor);
  // One picture of five equal columns: normal, pushed, hot, focused, disabled.
  bool SetFiveStatusImage(const std::wstring& descriptor);

  DWORD HotBkColor() const { return hotBkColor_; }
  DWORD PushedBkColor() const { return pushedBkColor_; }
  DWORD DisabledBkColor() const { return disabledBkColor_; }
  DWORD HotTextColor() const { return hotTextColor_; }
  DWORD PushedTextColor() const { return pushedTextColor_; }
  DWORD FocusedTextColor() const { return focusedTextColor_; }

 protected:
  // Set while a notification runs; the control may be destroyed by a receiver, and then
  // the flag tells the caller not to touch it again.
  class DestroyWatch {
   public:
    explicit DestroyWatch(CButtonUI* button);
    ~DestroyWatch();
    DestroyWatch(const DestroyWatch&) = delete;
    DestroyWatch& operator=(const DestroyWatch&) = delete;
    bool Destroyed() const { return destroyed_; }

   private:
    CButtonUI* button_;
    bool* previous_;
    bool destroyed_ = false;
  };

  bool IsInside(POINT point) const { return ::PtInRect(&item_, point) != FALSE; }
  // Brings the focused and disabled bits up to date before painting.
  void UpdateStateBits();
  RECT TextRect() const;
  // Draws an image slot with another fade than its own.
  bool DrawImageFaded(HDC dc, UIDrawInfo& info, BYTE fade);
  void StartFade();
  void OnFadeTick();

  UINT buttonState_ = 0;
  DWORD hotBkColor_ = 0;
  DWORD pushedBkColor_ = 0;
  DWORD disabledBkColor_ = 0;
  DWORD hotTextColor_ = 0;
  DWORD pushedTextColor_ = 0;
  DWORD focusedTextColor_ = 0;
  BYTE fadeAlpha_ = 255;
  BYTE fadeStep_ = 0;
  UIDrawInfo normalImage_;
  UIDrawInfo hotImage_;
  UIDrawInfo hotForeImage_;
  UIDrawInfo pushedImage_;
  UIDrawInfo focusedImage_;
  UIDrawInfo disabledImage_;

 private:
  bool* destroyedFlag_ = nullptr;
};

}  // namespace SkinUI
