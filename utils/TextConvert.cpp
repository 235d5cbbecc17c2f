#include "utils/TextConvert.h"

#include <climits>

namespace Utils {

std::string WideToMultiByte(std::wstring_view text, UINT codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  int needed = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string result(static_cast<size_t>(needed), '\0');
  int written = ::WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), needed,
                                      nullptr, nullptr);
  if (written <= 0) return {};
  result.resize(static_cast<size_t>(written));
  return result;
}

std::wstring MultiByteToWide(std::string_view bytes, UINT codePage) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int length = static_cast<int>(bytes.size());
  int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring result(static_cast<size_t>(needed), L'\0');
  int written = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, result.data(), needed);
  if (written <= 0) return {};
  result.resize(static_cast<size_t>(written));
  return result;
}

}  // namespace Utils
