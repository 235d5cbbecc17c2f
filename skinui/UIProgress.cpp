#include "skinui/UIProgress.h"

#include <algorithm>
#include <climits>

#include "skinui/AttributeValue.h"

namespace SkinUI {

CProgressUI::CProgressUI() {
  textStyle_ = DT_CENTER | DT_SINGLELINE;
  fixedSize_.cy = 12;
}

std::wstring CProgressUI::ClassName() const { return L"Progress"; }

void* CProgressUI::FindInterface(const std::wstring& name) {
  if (name == L"Progress") return this;
  return CLabelUI::FindInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  if (horizontal == horizontal_) return;
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value_ = std::clamp(value, min_, std::max(min_, max_));
  Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& descriptor) {
  if (descriptor == foreImage_.descriptor && foreImage_.image != nullptr) return;
  foreImage_.Clear();
  foreImage_.descriptor = descriptor;
  Invalidate();
}

void CProgressUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"foreimage") SetForeImage(value);
  else if (name == L"hor") SetHorizontal(ParseBool(value));
  else if (name == L"min") SetMinValue(ParseInteger(value));
  else if (name == L"max") SetMaxValue(ParseInteger(value));
  else if (name == L"value") SetValue(ParseInteger(value));
  else CLabelUI::ApplyAttribute(name, value);
}

RECT CProgressUI::FilledPart() {
  // The largest minimum has no room above it; it moves down so that the range stays one.
  if (min_ == INT_MAX) min_ = INT_MAX - 1;
  if (min_ >= max_) max_ = min_ + 1;
  value_ = std::clamp(value_, min_, max_);
  // 64-bit products: a wide bar over a large range must not overflow.
  const long long range = static_cast<long long>(max_) - min_;
  const long long width = item_.right - item_.left;
  const long long height = item_.bottom - item_.top;
  if (horizontal_) {
    long long filled = width * (static_cast<long long>(value_) - min_) / range;
    return RECT{0, 0, static_cast<LONG>(filled), static_cast<LONG>(height)};
  }
  long long top = height * (static_cast<long long>(max_) - value_) / range;
  return RECT{0, static_cast<LONG>(top), static_cast<LONG>(width), static_cast<LONG>(height)};
}

void CProgressUI::PaintStateImage(HDC dc) {
  RECT filled = FilledPart();
  if (!foreImage_.EnsureParsed(manager_)) return;
  // Nothing filled: an empty destination would read as "the whole control".
  if (filled.right <= filled.left || filled.bottom <= filled.top) return;
  foreImage_.dest = filled;
  DrawImage(dc, foreImage_);
}

}  // namespace SkinUI
