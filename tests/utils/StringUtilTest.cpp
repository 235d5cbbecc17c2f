#include "utils/StringUtil.h"

#include <gtest/gtest.h>

namespace {

// Trimming removes exactly what isspace calls white space, on each side asked for.
TEST(StringUtil, TrimTable) {
  struct Row { const wchar_t* in; const wchar_t* left; const wchar_t* right; const wchar_t* both; };
  const Row rows[] = {
      {L"", L"", L"", L""},
      {L"   ", L"", L"", L""},
      {L" \t\r\n\v\fa b\t ", L"a b\t ", L" \t\r\n\v\fa b", L"a b"},
      {L"abc", L"abc", L"abc", L"abc"},
      // U+3000 (ideographic space) is outside the byte range isspace knows.
      {L"\x3000x\x3000", L"\x3000x\x3000", L"\x3000x\x3000", L"\x3000x\x3000"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Utils::TrimLeft(row.in), row.left) << "input: " << testing::PrintToString(std::wstring(row.in));
    EXPECT_EQ(Utils::TrimRight(row.in), row.right);
    EXPECT_EQ(Utils::Trim(row.in), row.both);
  }
  EXPECT_EQ(Utils::Trim(std::string(" State=Success\r\n")), "State=Success");
}

// Contains and BeginsWith are case-sensitive; the empty text is found everywhere.
TEST(StringUtil, ContainsAndBeginsWith) {
  EXPECT_TRUE(Utils::Contains(L"Windows XP", L"XP"));
  EXPECT_FALSE(Utils::Contains(L"Windows xp", L"XP"));
  EXPECT_TRUE(Utils::Contains(L"abc", L""));
  EXPECT_TRUE(Utils::BeginsWith(L"-downloadurl=x", L"-downloadurl"));
  EXPECT_FALSE(Utils::BeginsWith(L"-DownloadUrl=x", L"-downloadurl"));
  EXPECT_FALSE(Utils::BeginsWith(L"-d", L"-downloadurl"));
  EXPECT_TRUE(Utils::BeginsWith(std::string("State=Fail"), "State="));
}

// Replace-all searches again from the start, so replacements that form new matches are
// replaced as well; a replacement holding the searched text cannot loop for ever.
TEST(StringUtil, ReplaceAllTable) {
  struct Row { const wchar_t* text; const wchar_t* from; const wchar_t* to; const wchar_t* expected; };
  const Row rows[] = {
      {L"a/${ROUTE}/b/${ROUTE}", L"${ROUTE}", L"download_silent", L"a/download_silent/b/download_silent"},
      {L"aab", L"ab", L"b", L"b"},             // the first replacement makes a new match
      {L"xxx", L"x", L"xx", L"xxxxxx"},        // replacement holds the searched text
      {L"abc", L"", L"z", L"abc"},             // nothing to search for
      {L"abc", L"d", L"z", L"abc"},
      {L"", L"a", L"b", L""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Utils::ReplaceAll(row.text, row.from, row.to), row.expected) << row.text;
  EXPECT_EQ(Utils::ReplaceAll(std::string("a\r\nb\r\n"), "\r\n", "\n"), "a\nb\n");
}

}  // namespace
