#include "app/CommandLineOptions.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "utils/ScopedHandle.h"

CommandLineOptions::CommandLineOptions(const std::wstring& commandLine) {
  // CommandLineToArgvW answers the program's own path for an empty text, which is not
  // what an empty command line says.
  if (commandLine.empty()) return;
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
  if (!arguments) return;
  Utils::ScopedHLocal release(reinterpret_cast<HLOCAL>(arguments));
  for (int i = 0; i < count; ++i) Add(arguments[i]);
}

void CommandLineOptions::Add(const std::wstring& argument) {
  std::wstring key = argument;
  std::wstring value;
  if (!argument.empty() && argument[0] == L'-') {
    size_t equals = argument.find(L'=');
    if (equals != std::wstring::npos) {
      key = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    }
  }
  options_.emplace(std::move(key), std::move(value));  // keeps the first occurrence
}

bool CommandLineOptions::Has(const std::wstring& key) const { return options_.count(key) != 0; }

std::wstring CommandLineOptions::GetString(const std::wstring& key) const {
  auto found = options_.find(key);
  return found == options_.end() ? std::wstring() : found->second;
}

bool CommandLineOptions::GetBool(const std::wstring& key, bool fallback) const {
  auto found = options_.find(key);
  return found == options_.end() ? fallback : found->second == L"true";
}

double CommandLineOptions::GetDouble(const std::wstring& key, double fallback) const {
  auto found = options_.find(key);
  double value = 0.0;
  if (found == options_.end() || !ParseLeadingDouble(found->second, &value)) return fallback;
  return value;
}

bool ParseLeadingDouble(const std::wstring& text, double* value) {
  const wchar_t* begin = text.c_str();
  wchar_t* end = nullptr;
  double parsed = std::wcstod(begin, &end);
  if (end == begin) return false;
  *value = parsed;
  return true;
}
