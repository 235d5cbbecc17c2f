#include "skinui/UIScrollBar.h"

#include <algorithm>

#include "skinui/AttributeValue.h"

namespace SkinUI {

CScrollBarUI::CScrollBarUI() { fixedSize_.cx = kDefaultSize; }

std::wstring CScrollBarUI::ClassName() const { return L"ScrollBar"; }

void* CScrollBarUI::FindInterface(const std::wstring& name) {
  if (name == L"ScrollBar") return this;
  return CControlUI::FindInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal) return;
  horizontal_ = horizontal;
  std::swap(fixedSize_.cx, fixedSize_.cy);
  RequestParentLayout();
}

void CScrollBarUI::SetScrollRange(int range) {
  range_ = std::max(range, 0);
  position_ = std::min(position_, range_);
  Invalidate();
}

void CScrollBarUI::SetScrollPos(int position) {
  int clamped = std::clamp(position, 0, range_);
  if (clamped == position_) return;
  position_ = clamped;
  Invalidate();
}

void CScrollBarUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"hor") SetHorizontal(ParseBool(value));
  else if (name == L"linesize") SetLineSize(ParseInteger(value));
  else if (name == L"range") SetScrollRange(ParseInteger(value));
  else if (name == L"value") SetScrollPos(ParseInteger(value));
  else CControlUI::ApplyAttribute(name, value);
}

}  // namespace SkinUI
