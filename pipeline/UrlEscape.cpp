#include "pipeline/UrlEscape.h"

#include <windows.h>

#include "utils/TextConvert.h"

std::wstring UrlEscape(const std::wstring& url) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  const std::string bytes = Utils::WideToMultiByte(url, CP_UTF8);
  std::string escaped;
  escaped.reserve(bytes.size() * 3);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte <= 0x7E) {
      escaped += c;
    } else if (byte == 0x20) {
      escaped += '+';
    } else {
      escaped += '%';
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0x0F];
    }
  }
  return Utils::MultiByteToWide(escaped, CP_UTF8);
}
