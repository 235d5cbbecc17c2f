// Readers for the value syntaxes that skin attributes share: integers, number lists,
// colours, booleans and fraction lists. Skins are hand-written, so every reader is
// lenient (what cannot be read counts as 0) and never reads past the end of the text.
#pragma once

#include <windows.h>

#include <string_view>

namespace SkinUI {

// Decimal, read as far as it goes after leading blanks; unreadable text is 0.
int ParseInteger(std::wstring_view text);

// Up to `count` integers, each followed by exactly one separator character (normally a
// comma). Numbers the text does not hold are 0.
void ParseIntegerList(std::wstring_view text, int* values, int count);
RECT ParseRect(std::wstring_view text);
SIZE ParseSize(std::wstring_view text);

// Optional blanks (only when skipBlanks), an optional "#", then up to eight hexadecimal
// digits read as 0xAARRGGBB; reading stops at the first character that is no digit.
DWORD ParseColor(std::wstring_view text, bool skipBlanks = true);

// Only the exact text "true" is true.
bool ParseBool(std::wstring_view text);

// Up to `count` decimal fractions, each followed by one separator character.
void ParseFractionList(std::wstring_view text, double* values, int count);

}  // namespace SkinUI
