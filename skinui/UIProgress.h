// CProgressUI: a label with a bar. The fore image is squeezed (not cut) into the part of
// the control that the value fills, from the left, or from the bottom when vertical.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/UILabel.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateImage(HDC dc) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal = true);
  int MinValue() const { return min_; }
  void SetMinValue(int value);
  int MaxValue() const { return max_; }
  void SetMaxValue(int value);
  int Value() const { return value_; }
  // Clamped to the range.
  void SetValue(int value);
  void SetForeImage(const std::wstring& descriptor);
  const std::wstring& ForeImage() const { return foreImage_.descriptor; }

  // The part of the control (offsets from its left-top corner) that the value fills,
  // after the range rules: a maximum not above the minimum is minimum + 1, the value is
  // clamped to the range.
  RECT FilledPart();

 private:
  bool horizontal_ = true;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
};

}  // namespace SkinUI
