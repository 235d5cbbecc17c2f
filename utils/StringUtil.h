// Small string helpers shared by the settings, the report-line protocol and the skins.
// Overloads for wide and narrow text; matching is case-sensitive.
#pragma once

#include <string>
#include <string_view>

namespace Utils {

// White space is what the C run-time's isspace calls white space (space, \t \n \v \f \r);
// wide characters outside the single-byte range are never white space.
std::wstring TrimLeft(std::wstring_view text);
std::wstring TrimRight(std::wstring_view text);
std::wstring Trim(std::wstring_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);

bool Contains(std::wstring_view text, std::wstring_view part);
bool Contains(std::string_view text, std::string_view part);
bool BeginsWith(std::wstring_view text, std::wstring_view prefix);
bool BeginsWith(std::string_view text, std::string_view prefix);

// Replaces every occurrence, searching again from the start after each replacement,
// so that a match made by a replacement is replaced too ("aab", "ab" -> "b" gives "b").
// When the replacement itself holds the searched text, searching from the start would
// never end; the search then goes on after the inserted text instead. An empty
// searched text changes nothing.
std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace Utils
