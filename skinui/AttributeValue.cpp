#include "skinui/AttributeValue.h"

#include <cmath>
#include <cwchar>
#include <string>

namespace SkinUI {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Reads one integer at `pos` in the C library's way (blanks, sign, digits) and moves
// `pos` past what it read; nothing readable leaves `pos` where it was.
long ReadLong(std::wstring_view text, size_t& pos) {
  size_t p = pos;
  while (p < text.size() && IsBlank(text[p])) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == L'-' || text[p] == L'+')) {
    negative = text[p] == L'-';
    ++p;
  }
  if (p >= text.size() || text[p] < L'0' || text[p] > L'9') return 0;
  long long value = 0;
  while (p < text.size() && text[p] >= L'0' && text[p] <= L'9') {
    if (value < 0x80000000LL) value = value * 10 + (text[p] - L'0');
    ++p;
  }
  pos = p;
  if (negative) value = -value;
  if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL;
  if (value < -0x80000000LL) value = -0x80000000LL;
  return static_cast<long>(value);
}

// Reads one decimal fraction at `pos` the way wcstod does and moves `pos` past it.
double ReadDouble(std::wstring_view text, size_t& pos) {
  std::wstring rest(text.substr(pos));
  wchar_t* end = nullptr;
  double value = std::wcstod(rest.c_str(), &end);
  pos += static_cast<size_t>(end - rest.c_str());
  // "nan" and "inf" read as numbers, but no anchor can use them.
  return std::isfinite(value) ? value : 0.0;
}

}  // namespace

int ParseInteger(std::wstring_view text) {
  size_t pos = 0;
  return static_cast<int>(ReadLong(text, pos));
}

void ParseIntegerList(std::wstring_view text, int* values, int count) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (pos >= text.size()) {
      values[i] = 0;
      continue;
    }
    values[i] = static_cast<int>(ReadLong(text, pos));
    // Exactly one separator follows a number; the end of the text ends the list.
    if (pos < text.size()) ++pos;
  }
}

RECT ParseRect(std::wstring_view text) {
  int v[4];
  ParseIntegerList(text, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

SIZE ParseSize(std::wstring_view text) {
  int v[2];
  ParseIntegerList(text, v, 2);
  return SIZE{v[0], v[1]};
}

DWORD ParseColor(std::wstring_view text, bool skipBlanks) {
  size_t pos = 0;
  if (skipBlanks)
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos < text.size() && text[pos] == L'#') ++pos;
  DWORD value = 0;
  for (int digits = 0; digits < 8 && pos < text.size(); ++digits, ++pos) {
    wchar_t c = text[pos];
    DWORD digit;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    else break;
    value = (value << 4) | digit;
  }
  return value;
}

bool ParseBool(std::wstring_view text) { return text == L"true"; }

void ParseFractionList(std::wstring_view text, double* values, int count) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (pos >= text.size()) {
      values[i] = 0.0;
      continue;
    }
    values[i] = ReadDouble(text, pos);
    if (pos < text.size()) ++pos;
  }
}

}  // namespace SkinUI
