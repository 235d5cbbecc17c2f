#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelCanvas.h"
#include "TestImages.h"
#include "skinui/FormattedText.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

// Counts pixels inside area whose colour channels satisfy the test.
template <typename Test>
int CountPixels(const PixelCanvas& canvas, const RECT& area, Test test) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (test(canvas.Rgb(x, y))) ++count;
  return count;
}

bool IsReddish(DWORD rgb) {
  int red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  return red > 128 && green < 100 && blue < 100;
}
bool IsNotWhite(DWORD rgb) { return rgb != 0xFFFFFF; }

SIZE Measure(CUIManager& manager, HDC dc, const std::wstring& text, int font = -1) {
  RECT rect = {0, 0, 1000, 1000};
  CUIRender::DrawText(dc, &manager, rect, text, 0xFF000000, font, DT_CALCRECT | DT_SINGLELINE);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE MeasureFormatted(CUIManager& manager, HDC dc, const std::wstring& text, int width,
                      UINT format = 0) {
  RECT rect = {0, 0, width, 1000};
  int links = 0;
  CUIRender::DrawFormattedText(dc, &manager, rect, text, 0xFF000000, nullptr, nullptr, links,
                               format | DT_CALCRECT);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Text is drawn in its colour inside its rectangle, leaving the background between letters.
TEST(TextDrawingTest, DrawsInColourInsideRectangle) {
  CUIManager manager;
  PixelCanvas canvas(200, 60, 0xFFFFFFFF);
  RECT rect = {10, 10, 190, 50};
  CUIRender::DrawText(canvas.dc(), &manager, rect, L"Folvane HHHH", 0xFFFF0000, -1,
                      DT_SINGLELINE | DT_VCENTER);
  EXPECT_GT(CountPixels(canvas, rect, IsReddish), 20);
  EXPECT_EQ(0, CountPixels(canvas, RECT{0, 0, 200, 10}, IsNotWhite));
  EXPECT_EQ(0, CountPixels(canvas, RECT{0, 50, 200, 60}, IsNotWhite));
  // The background between letters stays as it was.
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(189, 30));
}

// Nothing is drawn without a manager or without text.
TEST(TextDrawingTest, NothingWithoutManagerOrText) {
  CUIManager manager;
  PixelCanvas canvas(100, 30, 0xFFFFFFFF);
  RECT rect = canvas.bounds();
  CUIRender::DrawText(canvas.dc(), nullptr, rect, L"HHHH", 0xFF000000, -1, DT_SINGLELINE);
  CUIRender::DrawText(canvas.dc(), &manager, rect, L"", 0xFF000000, -1, DT_SINGLELINE);
  EXPECT_EQ(0, CountPixels(canvas, canvas.bounds(), IsNotWhite));
}

// Language tokens are replaced, an ampersand is shown and the font of the index is used.
TEST(TextDrawingTest, TokensAmpersandAndFont) {
  CUIManager manager;
  PixelCanvas canvas(10, 10);
  CUIManager::AddLanguageText(7, L"WWWWWW");
  EXPECT_EQ(Measure(manager, canvas.dc(), L"WWWWWW").cx, Measure(manager, canvas.dc(), L"%{7}").cx);
  CUIManager::ClearLanguageTexts();
  EXPECT_NE(Measure(manager, canvas.dc(), L"WWWWWW").cx, Measure(manager, canvas.dc(), L"%{7}").cx);

  EXPECT_GT(Measure(manager, canvas.dc(), L"a&&b").cx, Measure(manager, canvas.dc(), L"a&b").cx);
  EXPECT_GT(Measure(manager, canvas.dc(), L"a&b").cx, Measure(manager, canvas.dc(), L"ab").cx);

  ASSERT_NE(nullptr, manager.AddFont(3, L"Tahoma", 40, true, false, false));
  EXPECT_GT(Measure(manager, canvas.dc(), L"Hello", 3).cy, Measure(manager, canvas.dc(), L"Hello").cy);
}

// Tags in angle brackets or braces split from the text; unknown tags and raw content stay text.
TEST(FormattedTextTest, Tokenizer) {
  using Kind = FormattedToken::Kind;
  struct Expected {
    Kind kind;
    wchar_t tag;
    const wchar_t* argument;
  };
  const struct {
    const wchar_t* text;
    std::vector<Expected> tokens;
  } cases[] = {
      {L"plain", {{Kind::Text, 0, L"plain"}}},
      {L"<b>bold</b>", {{Kind::Open, L'b', L""}, {Kind::Text, 0, L"bold"}, {Kind::Close, L'b', L""}}},
      {L"{c #FF0000}red{/c}",
       {{Kind::Open, L'c', L"#FF0000"}, {Kind::Text, 0, L"red"}, {Kind::Close, L'c', L""}}},
      {L"<a http://x/y>go</a>!",
       {{Kind::Open, L'a', L"http://x/y"}, {Kind::Text, 0, L"go"}, {Kind::Close, L'a', L""},
        {Kind::Text, 0, L"!"}}},
      {L"<r><b>{n}</r>x", {{Kind::Text, 0, L"<b>{n}"}, {Kind::Text, 0, L"x"}}},
      {L"{r}<b>", {{Kind::Text, 0, L"<b>"}}},
      {L"a < b > c", {{Kind::Text, 0, L"a < b > c"}}},
      {L"<bold>", {{Kind::Text, 0, L"<bold>"}}},
      {L"<q>", {{Kind::Text, 0, L"<q>"}}},
      {L"<b", {{Kind::Text, 0, L"<b"}}},
      {L"<b}", {{Kind::Text, 0, L"<b}"}}},
      {L"x<n>y", {{Kind::Text, 0, L"x"}, {Kind::Open, L'n', L""}, {Kind::Text, 0, L"y"}}},
      {L"</u>", {{Kind::Close, L'u', L""}}},
      {L"<>{}", {{Kind::Text, 0, L"<>{}"}}},
  };
  for (const auto& c : cases) {
    std::vector<FormattedToken> tokens = TokenizeFormattedText(c.text);
    ASSERT_EQ(c.tokens.size(), tokens.size()) << c.text;
    for (size_t i = 0; i < tokens.size(); ++i) {
      EXPECT_EQ(c.tokens[i].kind, tokens[i].kind) << c.text << " #" << i;
      EXPECT_EQ(c.tokens[i].tag, tokens[i].tag) << c.text << " #" << i;
      EXPECT_EQ(c.tokens[i].argument, tokens[i].argument) << c.text << " #" << i;
    }
  }
}

// Line tags, line breaks, wrapping, fixed line heights, offsets and end ellipsis shape the lines.
TEST(FormattedTextTest, LinesAndWrapping) {
  CUIManager manager;
  PixelCanvas canvas(10, 10);
  HDC dc = canvas.dc();
  SIZE one = MeasureFormatted(manager, dc, L"Ab", 500);
  ASSERT_GT(one.cy, 0);
  EXPECT_EQ(2 * one.cy, MeasureFormatted(manager, dc, L"Ab<n>Ab", 500).cy);
  EXPECT_EQ(2 * one.cy, MeasureFormatted(manager, dc, L"Ab{n}Ab", 500).cy);
  EXPECT_EQ(2 * one.cy, MeasureFormatted(manager, dc, L"Ab\nAb", 500).cy);
  EXPECT_EQ(one.cy, MeasureFormatted(manager, dc, L"Ab\nAb", 500, DT_SINGLELINE).cy);
  EXPECT_EQ(30 + one.cy, MeasureFormatted(manager, dc, L"<y 30>Ab<n></y>Ab", 500).cy);

  SIZE wrapped = MeasureFormatted(manager, dc, L"alpha beta gamma delta", 60);
  EXPECT_GE(wrapped.cy, 3 * one.cy);
  EXPECT_LE(wrapped.cx, 60);

  SIZE cut = MeasureFormatted(manager, dc, L"alpha beta gamma delta epsilon", 60,
                              DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(one.cy, cut.cy);
  EXPECT_LE(cut.cx, 60);

  // An offset moves what follows to the right.
  EXPECT_EQ(MeasureFormatted(manager, dc, L"Ab", 500).cx + 25,
            MeasureFormatted(manager, dc, L"<x 25>Ab", 500).cx);
}

// Links report their text and rectangle, only as many as the caller has room for.
TEST(FormattedTextTest, LinksAreReported) {
  CUIManager manager;
  PixelCanvas canvas(300, 40, 0xFFFFFFFF);
  RECT rect = canvas.bounds();
  RECT links[2] = {};
  std::wstring texts[2];
  int count = 2;
  CUIRender::DrawFormattedText(canvas.dc(), &manager, rect, L"go <a home>here</a> or <a away>there</a>",
                               0xFF000000, links, texts, count, DT_SINGLELINE);
  ASSERT_EQ(2, count);
  EXPECT_EQ(L"home", texts[0]);
  EXPECT_EQ(L"away", texts[1]);
  EXPECT_GT(links[0].left, 0);
  EXPECT_GT(links[0].right, links[0].left);
  EXPECT_GT(links[1].left, links[0].right);
  EXPECT_GT(links[0].bottom, links[0].top);
  // Link text is drawn in the window's link colour (blue by default).
  auto bluish = [](DWORD rgb) { return (rgb & 0xFF) > 128 && ((rgb >> 16) & 0xFF) < 100; };
  EXPECT_GT(CountPixels(canvas, links[0], bluish), 3);

  RECT one[1] = {};
  std::wstring oneText[1];
  count = 1;
  rect = canvas.bounds();
  CUIRender::DrawFormattedText(canvas.dc(), &manager, rect, L"<a a>x</a><a b>y</a>", 0xFF000000,
                               one, oneText, count, DT_SINGLELINE);
  EXPECT_EQ(1, count);
  EXPECT_EQ(L"a", oneText[0]);
  count = 5;
  CUIRender::DrawFormattedText(canvas.dc(), &manager, rect, L"<a a>x</a>", 0xFF000000, nullptr,
                               nullptr, count, DT_SINGLELINE);
  EXPECT_EQ(0, count);
}

// Colour tags colour their text; selected text gets the selection background.
TEST(FormattedTextTest, ColourAndSelection) {
  CUIManager manager;
  PixelCanvas canvas(300, 40, 0xFFFFFFFF);
  RECT rect = canvas.bounds();
  int count = 0;
  CUIRender::DrawFormattedText(canvas.dc(), &manager, rect, L"{c #FFFF0000}HHHH{/c}", 0xFF000000,
                               nullptr, nullptr, count, DT_SINGLELINE);
  EXPECT_GT(CountPixels(canvas, canvas.bounds(), IsReddish), 10);

  PixelCanvas selected(300, 40, 0xFFFFFFFF);
  manager.SetDefaultSelectedBkColor(0xFF00FF00);
  rect = selected.bounds();
  CUIRender::DrawFormattedText(selected.dc(), &manager, rect, L"<s>  iii  </s>", 0xFF000000,
                               nullptr, nullptr, count, DT_SINGLELINE);
  EXPECT_EQ(0x00FF00u, selected.Rgb(1, 5));
}

// An inline image draws its chosen cell; missing images and broken markup draw nothing.
TEST(FormattedTextTest, InlineImageCell) {
  TempFolder folder;
  // 4 x 2 pixels: a red cell and a blue cell of 2 x 2.
  std::wstring path = folder.WriteFile(
      L"cells.png", EncodePng({0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000,
                               0xFFFF0000, 0xFF0000FF, 0xFF0000FF},
                              4, 2));
  CUIManager manager;
  PixelCanvas canvas(100, 30, 0xFFFFFFFF);
  RECT rect = canvas.bounds();
  int count = 0;
  CUIRender::DrawFormattedText(canvas.dc(), &manager, rect, L"<i " + path + L" 2 1>",
                               0xFF000000, nullptr, nullptr, count, DT_SINGLELINE);
  EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 0));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(1, 1));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(2, 0));

  PixelCanvas other(100, 30, 0xFFFFFFFF);
  rect = other.bounds();
  CUIRender::DrawFormattedText(other.dc(), &manager, rect, L"<i file='" + path + L"' 2 0>",
                               0xFF000000, nullptr, nullptr, count, DT_SINGLELINE);
  EXPECT_EQ(0xFF0000u, other.Rgb(0, 0));

  for (const wchar_t* broken : {L"<i missing.png>", L"<i >", L"<i file='x>", L"</b></a></c>x",
                                L"<a><b><c><f><s><u>", L"<y -5>x<n>y", L"<x -500>x", L"<f>x"}) {
    PixelCanvas blank(100, 30, 0xFFFFFFFF);
    rect = blank.bounds();
    CUIRender::DrawFormattedText(blank.dc(), &manager, rect, broken, 0xFF000000, nullptr, nullptr,
                                 count, 0);
    EXPECT_EQ(0xFFFFFFu, blank.Rgb(99, 29)) << broken;
  }
}

}  // namespace
}  // namespace SkinUI
