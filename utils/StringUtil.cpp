#include "utils/StringUtil.h"

#include <cctype>

namespace Utils {
namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsSpace(wchar_t c) { return c < 0x100 && std::isspace(static_cast<unsigned char>(c)) != 0; }

template <typename Char>
std::basic_string<Char> TrimLeftOf(std::basic_string_view<Char> text) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  return std::basic_string<Char>(text.substr(start));
}

template <typename Char>
std::basic_string<Char> TrimRightOf(std::basic_string_view<Char> text) {
  size_t end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  return std::basic_string<Char>(text.substr(0, end));
}

template <typename Char>
std::basic_string<Char> ReplaceAllOf(std::basic_string<Char> text,
                                     std::basic_string_view<Char> from,
                                     std::basic_string_view<Char> to) {
  if (from.empty()) return text;
  const bool restartFromBeginning = to.find(from) == std::basic_string_view<Char>::npos;
  size_t searchFrom = 0;
  for (size_t at = text.find(from); at != std::basic_string<Char>::npos;
       at = text.find(from, searchFrom)) {
    text.replace(at, from.size(), to);
    searchFrom = restartFromBeginning ? 0 : at + to.size();
  }
  return text;
}

}  // namespace

std::wstring TrimLeft(std::wstring_view text) { return TrimLeftOf(text); }
std::wstring TrimRight(std::wstring_view text) { return TrimRightOf(text); }
std::wstring Trim(std::wstring_view text) { return TrimLeftOf<wchar_t>(TrimRightOf(text)); }
std::string TrimLeft(std::string_view text) { return TrimLeftOf(text); }
std::string TrimRight(std::string_view text) { return TrimRightOf(text); }
std::string Trim(std::string_view text) { return TrimLeftOf<char>(TrimRightOf(text)); }

bool Contains(std::wstring_view text, std::wstring_view part) {
  return text.find(part) != std::wstring_view::npos;
}
bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
bool BeginsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}
bool BeginsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to) {
  return ReplaceAllOf(std::move(text), from, to);
}
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  return ReplaceAllOf(std::move(text), from, to);
}

}  // namespace Utils
