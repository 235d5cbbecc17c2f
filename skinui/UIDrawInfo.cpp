#include "skinui/UIDrawInfo.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool IsEmptyRect(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

}  // namespace

ImageDescriptor ParseImageDescriptor(std::wstring_view text) {
  ImageDescriptor result;
  // A bare name is taken whole; so is a descriptor whose first pair is malformed.
  result.name = std::wstring(text);
  bool fromResource = false;
  bool fromColor = false;
  std::wstring resourceType;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    size_t keyStart = pos;
    while (pos < text.size() && text[pos] != L'=' && !IsBlank(text[pos])) ++pos;
    std::wstring_view key = text.substr(keyStart, pos - keyStart);
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] != L'=') break;
    ++pos;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] != L'\'') break;
    ++pos;
    size_t close = text.find(L'\'', pos);
    if (close == std::wstring_view::npos) break;
    std::wstring_view value = text.substr(pos, close - pos);
    pos = close + 1;

    if (!value.empty()) {
      if (key == L"file") {
        result.name = std::wstring(value);
        fromResource = fromColor = false;
      } else if (key == L"res") {
        result.name = std::wstring(value);
        fromResource = true;
        fromColor = false;
      } else if (key == L"restype") {
        resourceType = std::wstring(value);
      } else if (key == L"color") {
        result.name = std::wstring(value);
        fromColor = true;
        fromResource = false;
      } else if (key == L"dest") {
        result.dest = ParseRect(value);
      } else if (key == L"source") {
        result.source = ParseRect(value);
      } else if (key == L"corner" || key == L"scale9") {
        result.corner = ParseRect(value);
      } else if (key == L"mask") {
        result.mask = ParseColor(value);
      } else if (key == L"fade") {
        result.fade = static_cast<BYTE>(std::clamp(ParseInteger(value), 0, 255));
      } else if (key == L"hole") {
        result.hole = ParseBool(value);
      } else if (key == L"xtiled") {
        result.xtiled = ParseBool(value);
      } else if (key == L"ytiled") {
        result.ytiled = ParseBool(value);
      } else if (key == L"hsl") {
        result.keepForHsl = ParseBool(value);
      }
    }
    // Pairs are separated by exactly one space; anything else ends the descriptor.
    if (pos < text.size() && text[pos] == L' ') {
      ++pos;
      continue;
    }
    break;
  }
  if (fromColor) result.type = kColorImageType;
  else if (fromResource) result.type = resourceType;
  return result;
}

void UIDrawInfo::Clear() {
  UIDrawInfo empty;
  *this = empty;
}

void UIDrawInfo::SetDescriptor(const std::wstring& text) {
  if (text == descriptor) return;
  Clear();
  descriptor = text;
}

bool UIDrawInfo::EnsureParsed(CUIManager* manager) {
  if (parsed) return image != nullptr;
  if (descriptor.empty()) {
    parsed = true;
    return false;
  }
  // Without a manager there is no image store to load into; try again once attached.
  if (manager == nullptr) return false;
  parsed = true;
  ImageDescriptor parsedDescriptor = ParseImageDescriptor(descriptor);
  imageName = parsedDescriptor.name;
  dest = parsedDescriptor.dest;
  source = parsedDescriptor.source;
  corner = parsedDescriptor.corner;
  fade = parsedDescriptor.fade;
  hole = parsedDescriptor.hole;
  xtiled = parsedDescriptor.xtiled;
  ytiled = parsedDescriptor.ytiled;
  image = manager->GetImage(imageName, parsedDescriptor.type, parsedDescriptor.mask,
                            parsedDescriptor.keepForHsl);
  if (image == nullptr) return false;
  if (IsEmptyRect(source)) source = RECT{0, 0, image->width, image->height};
  return true;
}

RECT UIDrawInfo::Destination(const RECT& item) const {
  if (IsEmptyRect(dest)) return item;
  return RECT{item.left + dest.left, item.top + dest.top,
              std::min<LONG>(item.left + dest.right, item.right),
              std::min<LONG>(item.top + dest.bottom, item.bottom)};
}

RECT UIDrawInfo::ClampedSource(LONG width, LONG height) const {
  RECT result = source;
  result.right = std::min(result.right, width);
  result.bottom = std::min(result.bottom, height);
  return result;
}

}  // namespace SkinUI
