#include <gtest/gtest.h>

#include <string>

#include "StandardControlsSupport.h"
#include "skinui/UILabel.h"

namespace SkinUI {
namespace {

using LabelTest = StandardControlTest;

// Alignment words set the style bits in a fixed order, so the last word tested wins.
TEST(LabelAttributeTest, AlignmentWordsSetStyleBits) {
  const UINT kHorizontal = DT_CENTER | DT_RIGHT;
  const UINT kVertical = DT_VCENTER | DT_BOTTOM;
  const struct {
    const wchar_t* name;
    const wchar_t* value;
    UINT mask;
    UINT expected;
  } cases[] = {
      {L"align", L"left", kHorizontal, 0},
      {L"align", L"center", kHorizontal, DT_CENTER},
      {L"align", L"right", kHorizontal, DT_RIGHT},
      {L"align", L"center right", kHorizontal, DT_RIGHT},
      {L"align", L"right center", kHorizontal, DT_RIGHT},
      {L"align", L"left center", kHorizontal, DT_CENTER},
      {L"align", L"Center", kHorizontal, 0},  // words are matched exactly
      {L"valign", L"top", kVertical, 0},
      {L"valign", L"vcenter", kVertical, DT_VCENTER},
      {L"valign", L"bottom", kVertical, DT_BOTTOM},
      {L"valign", L"top bottom", kVertical, DT_BOTTOM},
      {L"valign", L"center", kVertical, DT_VCENTER},  // the default stays
      {L"endellipsis", L"true", DT_END_ELLIPSIS, DT_END_ELLIPSIS},
      {L"endellipsis", L"TRUE", DT_END_ELLIPSIS, 0},
      {L"multiline", L"true", DT_SINGLELINE | DT_WORDBREAK, DT_WORDBREAK},
      {L"multiline", L"false", DT_SINGLELINE | DT_WORDBREAK, DT_SINGLELINE},
  };
  for (const auto& c : cases) {
    CLabelUI label;
    ASSERT_EQ(UINT(DT_VCENTER | DT_SINGLELINE), label.TextStyle());
    label.ApplyAttribute(c.name, c.value);
    EXPECT_EQ(c.expected, label.TextStyle() & c.mask) << c.name << "=" << c.value;
  }
}

// Colours, font, padding and effect attributes land in the label; out-of-range effect
// values are ignored and unknown names reach the control base.
TEST(LabelAttributeTest, ValuesAndEffects) {
  CLabelUI label;
  label.ApplyAttribute(L"textcolor", L"#FF112233");
  label.ApplyAttribute(L"disabledtextcolor", L"FF445566");
  label.ApplyAttribute(L"font", L"3");
  label.ApplyAttribute(L"textpadding", L"1,2,3,4");
  label.ApplyAttribute(L"showhtml", L"true");
  label.ApplyAttribute(L"enabledeffect", L"true");
  label.ApplyAttribute(L"enabledshadow", L"true");
  label.ApplyAttribute(L"shadowoffset", L"4,90");
  label.ApplyAttribute(L"shadowoffset", L"9,270");  // angle out of range: ignored
  label.ApplyAttribute(L"luminousfuzzy", L"5.5");
  label.ApplyAttribute(L"luminousfuzzy", L"0.00001");  // below the floor: ignored
  label.ApplyAttribute(L"strokecolor", L"#FF00FF00");
  label.ApplyAttribute(L"bkcolor", L"#FF0000FF");
  EXPECT_EQ(0xFF112233u, label.TextColor());
  EXPECT_EQ(0xFF445566u, label.DisabledTextColor());
  EXPECT_EQ(3, label.Font());
  EXPECT_TRUE(SameRect(RECT{1, 2, 3, 4}, label.TextPadding()));
  EXPECT_TRUE(label.ShowsFormattedText());
  EXPECT_TRUE(label.Effects().enabled);
  EXPECT_TRUE(label.Effects().shadow);
  EXPECT_EQ(4, label.Effects().shadowOffset);
  EXPECT_EQ(90, label.Effects().shadowAngle);
  EXPECT_FLOAT_EQ(5.5f, label.Effects().luminousBlur);
  EXPECT_EQ(0xFF00FF00u, label.Effects().strokeColor);
  EXPECT_EQ(0xFF0000FFu, label.BkColor());
  EXPECT_EQ(L"Label", label.ClassName());
  EXPECT_EQ(&label, label.FindInterface(L"Label"));
  EXPECT_EQ(&label, label.FindInterface(L"Control"));
}

// A single-line label is as wide as its text plus padding and as high as the font plus 8;
// fixed sizes win; the result is cached until the text changes.
TEST_F(LabelTest, MeasuresSingleLineAndCaches) {
  auto* label = Place(new CLabelUI, RECT{0, 0, 300, 40});
  const int fontHeight = manager_.GetFontInfo(-1)->metrics.tmHeight;
  ASSERT_GT(fontHeight, 0);
  label->SetText(L"Folvane");
  SIZE one = label->MeasureSize(SIZE{300, 300});
  EXPECT_EQ(fontHeight + 8, one.cy);
  EXPECT_GT(one.cx, 10);

  label->SetTextPadding(RECT{5, 2, 7, 3});
  SIZE padded = label->MeasureSize(SIZE{300, 300});
  EXPECT_EQ(one.cx + 12, padded.cx);
  EXPECT_EQ(fontHeight + 8 + 5, padded.cy);

  // A bigger default font is not noticed while the cached size stands ...
  manager_.SetDefaultFont(L"Tahoma", 40, false, false, false);
  EXPECT_EQ(padded.cy, label->MeasureSize(SIZE{300, 300}).cy);
  // ... and is once the text changes.
  label->SetText(L"Folvane!");
  EXPECT_GT(label->MeasureSize(SIZE{300, 300}).cy, padded.cy);

  label->SetFixedWidth(77);
  EXPECT_EQ(77, label->MeasureSize(SIZE{300, 300}).cx);
  label->SetFixedHeight(21);
  SIZE fixed = label->MeasureSize(SIZE{300, 300});
  EXPECT_EQ(77, fixed.cx);
  EXPECT_EQ(21, fixed.cy);
}

// A multi-line label takes the available width and grows in height as that narrows.
TEST_F(LabelTest, MeasuresMultiLineAgainstAvailableWidth) {
  auto* label = Place(new CLabelUI, RECT{0, 0, 300, 200});
  label->ApplyAttribute(L"multiline", L"true");
  label->SetText(L"one two three four five six seven eight nine ten eleven twelve");
  SIZE wide = label->MeasureSize(SIZE{1000, 500});
  SIZE narrow = label->MeasureSize(SIZE{80, 500});
  EXPECT_EQ(1000, wide.cx);
  EXPECT_EQ(80, narrow.cx);
  EXPECT_GT(narrow.cy, wide.cy * 2);
  EXPECT_EQ(wide.cy, label->MeasureSize(SIZE{1000, 500}).cy);
  label->SetFixedWidth(80);
  EXPECT_EQ(narrow.cy, label->MeasureSize(SIZE{1000, 500}).cy);
}

// Text is painted where the offset rule and the alignment put it: a single-line,
// vertically centred label is pushed down by half the spare height, then centred in what
// is left; right and bottom alignment move the ink to those edges.
TEST_F(LabelTest, PaintsTextWhereTheOffsetRulePutsIt) {
  const int fontHeight = manager_.GetFontInfo(-1)->metrics.tmHeight;
  struct Case {
    const wchar_t* align;
    const wchar_t* valign;
    int topMin, topMax;  // where the text line starts
    bool right;
  };
  const int spare = 60 - fontHeight;
  const int pushed = spare / 2;
  const int centredInRest = pushed + (60 - pushed - fontHeight) / 2;
  const Case cases[] = {
      {L"left", L"vcenter", centredInRest - 1, centredInRest + 1, false},
      {L"right", L"vcenter", centredInRest - 1, centredInRest + 1, true},
      // top leaves only single line: no offset at all.
      {L"left", L"top", 0, 1, false},
      // bottom: drawn at the bottom of the rectangle pushed down by half.
      {L"left", L"bottom", 60 - fontHeight - 1, 60 - fontHeight + 1, false},
  };
  for (const Case& c : cases) {
    auto* label = Place(new CLabelUI, RECT{0, 0, 200, 60});
    label->ApplyAttribute(L"align", c.align);
    label->ApplyAttribute(L"valign", c.valign);
    label->ApplyAttribute(L"textcolor", L"#FF000000");
    label->SetText(L"MMMM");
    Picture picture = Paint(RECT{0, 0, 200, 60});
    ASSERT_TRUE(picture.valid());
    RECT ink = picture.InkBounds(0xFFFFFF);
    ASSERT_GT(ink.bottom, ink.top) << "no text painted";
    // The glyphs lie inside the text line that starts at the expected row.
    EXPECT_GE(ink.top, c.topMin) << ShowRect(ink);
    EXPECT_LE(ink.bottom, c.topMax + fontHeight) << ShowRect(ink);
    if (c.right) {
      EXPECT_GT(ink.left, 100) << ShowRect(ink);
    } else {
      EXPECT_LT(ink.right, 100) << ShowRect(ink);
    }
  }
}

// Colour 0 paints in the window's default text colour, and a disabled label in the
// window's disabled colour.
TEST_F(LabelTest, DefaultAndDisabledColours) {
  auto* label = Place(new CLabelUI, RECT{0, 0, 120, 30});
  label->SetText(L"MMMM");
  manager_.SetDefaultFontColor(0xFFFF0000);
  manager_.SetDefaultDisabledColor(0xFF0000FF);
  auto inkColour = [&] {
    Picture picture = Paint(RECT{0, 0, 120, 30});
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (picture.Rgb(x, y) == 0xFF0000 || picture.Rgb(x, y) == 0x0000FF) return picture.Rgb(x, y);
    return DWORD(0xFFFFFF);
  };
  EXPECT_EQ(0xFF0000u, inkColour());
  label->SetEnabled(false);
  EXPECT_EQ(0x0000FFu, inkColour());
}

// With effects on, the text is drawn through GDI+ in the text colour with a shadow.
TEST_F(LabelTest, EffectTextIsDrawn) {
  auto* label = Place(new CLabelUI, RECT{0, 0, 200, 40});
  label->ApplyAttribute(L"textcolor", L"#FFFF0000");
  label->ApplyAttribute(L"enabledeffect", L"true");
  label->ApplyAttribute(L"enabledshadow", L"true");
  label->ApplyAttribute(L"shadowoffset", L"3,45");
  label->SetText(L"MMMM");
  Picture picture = Paint(RECT{0, 0, 200, 40});
  RECT ink = picture.InkBounds(0xFFFFFF);
  ASSERT_GT(ink.right, ink.left);
  bool red = false;
  for (int y = ink.top; y < ink.bottom && !red; ++y)
    for (int x = ink.left; x < ink.right && !red; ++x) red = picture.Rgb(x, y) == 0xFF0000;
  EXPECT_TRUE(red);
}

}  // namespace
}  // namespace SkinUI
