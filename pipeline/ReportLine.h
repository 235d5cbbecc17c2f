// The report lines a child program writes on its standard output: a key, "=" and a
// value, one per line. Keys are matched at the very start of the line, case-sensitively;
// the meaning of each key belongs to the session or the runner that reads it.
#pragma once

#include <cstdint>
#include <string>

namespace ReportLine {

// What a line handler decided about the run: nothing yet, success or failure.
enum Verdict : int { kNoVerdict = 0, kSuccess = 1, kFailure = 1000 };

// True when the line begins with the key (for example "Progress="); `value` then
// receives the rest of the line.
bool MatchKey(const std::wstring& line, const wchar_t* key, std::wstring& value);

// The value forms. Number and Integer read a leading number after optional white space
// and answer 0 when there is none; Integer keeps the low 32 bits, so "-1" and
// "4294967295" both give the unsigned value 4294967295. Keyword strips white space
// from both ends for an exact comparison.
double Number(const std::wstring& value);
int32_t Integer(const std::wstring& value);
std::wstring Keyword(const std::wstring& value);

// The code page an "Encode=" keyword selects: "UTF8" is UTF-8, "ACP" the ANSI code page.
// With `numbersAllowed` any other value is read as a code page number (0 when it holds
// none); without, every other value means the ANSI code page.
int CodePageFor(const std::wstring& keyword, bool numbersAllowed);

}  // namespace ReportLine
