// Text with inline markup for labels that ask for it: tags in angle brackets or braces
// change the font, colour and decoration, mark links, place images, break lines and set
// offsets. The text is laid out into lines first, then measured or drawn.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

class CUIManager;

// One tag or one stretch of plain text of a formatted text.
struct FormattedToken {
  enum class Kind { Text, Open, Close };
  Kind kind = Kind::Text;
  wchar_t tag = 0;        // the tag letter for Open and Close
  std::wstring argument;  // Open: the text after the letter and its blank; Text: the text
};

// Splits text into tokens. A bracket that does not start a known tag is plain text, and so
// is the content of an "r" tag up to its end tag.
std::vector<FormattedToken> TokenizeFormattedText(const std::wstring& text);

// Lays the text out within the rectangle's width. With DT_CALCRECT rect receives the size
// the text needs; otherwise the text is drawn inside rect. links and linkTexts (room for
// linkCount entries each, may be null) receive the links' rectangles and texts, and
// linkCount receives how many were filled.
void RenderFormattedText(HDC dc, CUIManager* manager, RECT& rect, const std::wstring& text,
                         DWORD color, RECT* links, std::wstring* linkTexts, int& linkCount,
                         UINT format);

}  // namespace SkinUI
