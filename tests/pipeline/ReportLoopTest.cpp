#include "pipeline/ReportLine.h"
#include "pipeline/ReportLoop.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Feeds the pieces one by one, then ends the output, and answers the lines given out.
std::vector<std::string> Assemble(const std::vector<std::string>& pieces) {
  std::vector<std::string> lines;
  auto collect = [&](const std::string& line) { lines.push_back(line); };
  ReportLineAssembler assembler;
  for (const std::string& piece : pieces) assembler.Add(piece.data(), piece.size(), collect);
  assembler.Finish(collect);
  return lines;
}

struct AssemblyCase {
  const char* name;
  std::vector<std::string> pieces;
  std::vector<std::string> lines;
};

// Lines come out whole, without the CR of CR LF, with a last unfinished piece and cut at a NUL.
TEST(ReportLineAssemblerTest, GivesWholeLines) {
  const std::vector<AssemblyCase> cases = {
      {"one per piece", {"A=1\n", "B=2\n"}, {"A=1", "B=2"}},
      {"several in one piece", {"A=1\nB=2\nC=3\n"}, {"A=1", "B=2", "C=3"}},
      {"line split in three", {"Prog", "ress=0.", "5\n"}, {"Progress=0.5"}},
      {"CR LF ends", {"A=1\r\nB=2\r\n"}, {"A=1", "B=2"}},
      {"CR and LF in separate pieces", {"A=1\r", "\nB=2"}, {"A=1", "B=2"}},
      {"only one CR removed", {"A=1\r\r\n"}, {"A=1\r"}},
      {"last piece without line feed", {"A=1\nState=Fail"}, {"A=1", "State=Fail"}},
      {"empty line kept in order", {"A=1\n\nB=2\n"}, {"A=1", "", "B=2"}},
      {"nothing at all", {}, {}},
      {"NUL ends the text of its line only", {std::string("A=1\0junk\nB=2\n", 13)}, {"A=1", "B=2"}},
      {"UTF-8 character cut between pieces", {"T=\xE4\xB8", "\xAD\n"}, {"T=\xE4\xB8\xAD"}},
  };
  for (const AssemblyCase& c : cases) EXPECT_EQ(Assemble(c.pieces), c.lines) << c.name;
}

// A line longer than one read of the loop still comes out in one piece.
TEST(ReportLineAssemblerTest, KeepsLinesLongerThanOneRead) {
  const std::string value(3000, 'x');
  const std::string line = "Message=" + value;
  EXPECT_EQ(Assemble({line.substr(0, 1024), line.substr(1024, 1024), line.substr(2048) + "\n"}),
            std::vector<std::string>{line});
}

struct NumberCase {
  const wchar_t* value;
  double number;
  int32_t integer;
};

// Numbers are read after white space, 0 when absent; integers keep the low 32 bits.
TEST(ReportLineValueTest, ReadsNumbers) {
  const std::vector<NumberCase> cases = {
      {L"0.35", 0.35, 0},        {L" 1", 1.0, 1},           {L"", 0.0, 0},
      {L"abc", 0.0, 0},          {L"12abc", 12.0, 12},      {L"-1", -1.0, -1},
      {L"4294967295", 4294967295.0, -1},                    {L"1e2", 100.0, 1},
      {L"5000\r", 5000.0, 5000},
  };
  for (const NumberCase& c : cases) {
    EXPECT_DOUBLE_EQ(ReportLine::Number(c.value), c.number) << c.value;
    EXPECT_EQ(ReportLine::Integer(c.value), c.integer) << c.value;
  }
}

struct KeyCase {
  const wchar_t* line;
  const wchar_t* key;
  bool matches;
  const wchar_t* value;
};

// A key matches only at the very start of the line, in its exact letter case.
TEST(ReportLineValueTest, MatchesKeysAtTheStartOnly) {
  const std::vector<KeyCase> cases = {
      {L"State=Success", L"State=", true, L"Success"},
      {L"State=", L"State=", true, L""},
      {L"state=Success", L"State=", false, L""},
      {L" State=Success", L"State=", false, L""},
      {L"XState=Success", L"State=", false, L""},
      {L"State", L"State=", false, L""},
  };
  for (const KeyCase& c : cases) {
    std::wstring value;
    EXPECT_EQ(ReportLine::MatchKey(c.line, c.key, value), c.matches) << c.line;
    if (c.matches) {
      EXPECT_EQ(value, c.value) << c.line;
    }
  }
}

struct CodePageCase {
  const wchar_t* keyword;
  bool numbersAllowed;
  int codePage;
};

// "UTF8" and "ACP" are understood by both readers; only the package may name a number.
TEST(ReportLineValueTest, ChoosesCodePages) {
  const std::vector<CodePageCase> cases = {
      {L"UTF8", true, 65001}, {L"ACP", true, 0},   {L"936", true, 936}, {L"utf8", true, 0},
      {L"", true, 0},         {L"UTF8", false, 65001}, {L"ACP", false, 0}, {L"936", false, 0},
  };
  for (const CodePageCase& c : cases)
    EXPECT_EQ(ReportLine::CodePageFor(c.keyword, c.numbersAllowed), c.codePage)
        << c.keyword << " numbers " << c.numbersAllowed;
}

}  // namespace
