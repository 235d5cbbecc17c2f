#include "utils/TextConvert.h"

#include <gtest/gtest.h>

namespace {

// UTF-8 round trips, including characters outside the basic plane.
TEST(TextConvert, Utf8RoundTrip) {
  const std::wstring texts[] = {L"", L"Folvane", L"\x6e29\x99a8\x63d0\x793a", L"\xD83D\xDE00 ok"};
  for (const std::wstring& text : texts) {
    std::string bytes = Utils::WideToMultiByte(text, CP_UTF8);
    EXPECT_EQ(Utils::MultiByteToWide(bytes, CP_UTF8), text);
  }
  EXPECT_EQ(Utils::WideToMultiByte(L"\x6e29", CP_UTF8), "\xE6\xB8\xA9");
}

// Empty input and a code page the system does not know give the empty string, no error.
TEST(TextConvert, NothingConvertedGivesEmpty) {
  EXPECT_EQ(Utils::MultiByteToWide("", CP_UTF8), L"");
  EXPECT_EQ(Utils::WideToMultiByte(L"", CP_ACP), "");
  EXPECT_EQ(Utils::MultiByteToWide("abc", 12345), L"");
  EXPECT_EQ(Utils::WideToMultiByte(L"abc", 12345), "");
}

// Embedded NUL bytes are text like any other: the length decides, not the terminator.
TEST(TextConvert, KeepsEmbeddedNul) {
  std::string bytes("a\0b", 3);
  EXPECT_EQ(Utils::MultiByteToWide(bytes, CP_UTF8), std::wstring(L"a\0b", 3));
}

}  // namespace
