#include "pipeline/UrlEscape.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct EscapeCase {
  const wchar_t* input;
  const wchar_t* expected;
};

// Printable ASCII passes through, the space becomes "+", every other UTF-8 byte becomes
// "%XX" with upper-case digits, and an address that is already escaped is not escaped twice.
TEST(UrlEscapeTest, EscapesEachUtf8ByteOutsidePrintableAscii) {
  const EscapeCase cases[] = {
      {L"", L""},
      {L"http://host/a b", L"http://host/a+b"},
      {L"http://host/\u00FC.exe", L"http://host/%C3%BC.exe"},
      {L"http://host/x%20y", L"http://host/x%20y"},
      {L"http://host/p?a=1&b=%2F:~!", L"http://host/p?a=1&b=%2F:~!"},
      {L"http://host/\u4E2D", L"http://host/%E4%B8%AD"},
      {L"a\tb\x7F" L"c", L"a%09b%7Fc"},
      {L"\U0001F600", L"%F0%9F%98%80"},
      {L"  ", L"++"},
  };
  for (const EscapeCase& row : cases)
    EXPECT_EQ(UrlEscape(row.input), row.expected)
        << "input: " << testing::PrintToString(std::wstring(row.input));
}

}  // namespace
