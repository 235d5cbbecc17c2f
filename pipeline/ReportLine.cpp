#include "pipeline/ReportLine.h"

#include <windows.h>

#include <cwchar>

#include "utils/StringUtil.h"

namespace ReportLine {

bool MatchKey(const std::wstring& line, const wchar_t* key, std::wstring& value) {
  if (!Utils::BeginsWith(line, key)) return false;
  value = line.substr(std::wcslen(key));
  return true;
}

double Number(const std::wstring& value) {
  double number = 0.0;
  if (std::swscanf(value.c_str(), L"%lf", &number) != 1) return 0.0;
  return number;
}

int32_t Integer(const std::wstring& value) {
  const wchar_t* begin = value.c_str();
  wchar_t* end = nullptr;
  long long number = std::wcstoll(begin, &end, 10);
  if (end == begin) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(number));
}

std::wstring Keyword(const std::wstring& value) { return Utils::Trim(value); }

int CodePageFor(const std::wstring& keyword, bool numbersAllowed) {
  if (keyword == L"UTF8") return CP_UTF8;
  if (keyword == L"ACP" || !numbersAllowed) return CP_ACP;
  return Integer(keyword);
}

}  // namespace ReportLine
