#include <gtest/gtest.h>

#include <string>

#include "skinui/AttributeValue.h"
#include "skinui/UIDrawInfo.h"

namespace SkinUI {
namespace {

std::string Show(const std::wstring& text) { return testing::PrintToString(text); }

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Integers are read as far as they go after leading blanks; anything unreadable is 0.
TEST(AttributeValue, IntegerTable) {
  struct Row { const wchar_t* text; int expected; };
  const Row rows[] = {
      {L"42", 42}, {L"  17", 17}, {L"-5", -5}, {L"12px", 12}, {L"", 0},
      {L"abc", 0}, {L"-", 0}, {L"3.9", 3}, {L"99999999999", 2147483647},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseInteger(row.text), row.expected) << Show(row.text);
}

// Number lists take one separator per number; missing numbers are 0 and nothing is read past the end.
TEST(AttributeValue, RectTable) {
  struct Row { const wchar_t* text; RECT expected; };
  const Row rows[] = {
      {L"0,0,18,18", {0, 0, 18, 18}},
      {L"1,2,3,4", {1, 2, 3, 4}},
      {L"-50,0,50,30", {-50, 0, 50, 30}},
      {L"5", {5, 0, 0, 0}},
      {L"5,", {5, 0, 0, 0}},
      {L"1,2", {1, 2, 0, 0}},
      {L"1 2 3 4", {1, 2, 3, 4}},   // any one character separates
      {L"1,,3,4", {1, 0, 3, 4}},    // an empty number is 0 and takes one separator
      {L"1, 2, 3, 4", {1, 2, 3, 4}},  // blanks before a number are skipped
      {L"", {0, 0, 0, 0}},
      {L"1,2,3,4,5,6", {1, 2, 3, 4}},
  };
  for (const Row& row : rows) {
    RECT rc = ParseRect(row.text);
    EXPECT_TRUE(SameRect(rc, row.expected))
        << Show(row.text) << " gave " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
  }
  SIZE size = ParseSize(L"6,8");
  EXPECT_EQ(size.cx, 6);
  EXPECT_EQ(size.cy, 8);
}

// Colours: blanks (not for borders), an optional "#", at most eight hex digits up to a non-digit.
TEST(AttributeValue, ColorTable) {
  struct Row { const wchar_t* text; bool skipBlanks; DWORD expected; };
  const Row rows[] = {
      {L"#FF102030", true, 0xFF102030},
      {L"FF102030", true, 0xFF102030},
      {L"  #ff0000ff", true, 0xFF0000FF},
      {L"#00FF0000", true, 0x00FF0000},  // valid, fully transparent red
      {L"#FFAAGG00", true, 0xFFAA},       // stops at the first non-digit
      {L"#123456789A", true, 0x12345678}, // eight digits at most
      {L"", true, 0},
      {L"#", true, 0},
      {L"  #FF000000", false, 0},          // blanks are not skipped for borders
      {L"#FF000000", false, 0xFF000000},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ParseColor(row.text, row.skipBlanks), row.expected) << Show(row.text);
}

// Only the exact text "true" is true.
TEST(AttributeValue, BooleanTable) {
  EXPECT_TRUE(ParseBool(L"true"));
  for (const wchar_t* text : {L"TRUE", L"True", L"1", L"yes", L" true", L"true ", L""})
    EXPECT_FALSE(ParseBool(text)) << Show(text);
}

// Fraction lists give the float anchors; missing or non-finite fractions are 0.
TEST(AttributeValue, FractionList) {
  double v[4];
  ParseFractionList(L"0.5,0,0.5,0", v, 4);
  EXPECT_DOUBLE_EQ(v[0], 0.5);
  EXPECT_DOUBLE_EQ(v[1], 0.0);
  EXPECT_DOUBLE_EQ(v[2], 0.5);
  EXPECT_DOUBLE_EQ(v[3], 0.0);
  ParseFractionList(L"nan,inf,-inf,1e999", v, 4);
  for (double value : v) EXPECT_DOUBLE_EQ(value, 0.0);
  ParseFractionList(L"0.25,1", v, 4);
  EXPECT_DOUBLE_EQ(v[0], 0.25);
  EXPECT_DOUBLE_EQ(v[1], 1.0);
  EXPECT_DOUBLE_EQ(v[2], 0.0);
  EXPECT_DOUBLE_EQ(v[3], 0.0);
}

// Descriptors parse bare names and key='value' pairs; a malformed pair ends parsing where it stands.
TEST(ImageDescriptor, ParseTable) {
  struct Row {
    const wchar_t* text;
    const wchar_t* name;
    const wchar_t* type;
    RECT dest;
    RECT source;
    RECT corner;
    int fade;
    bool hole;
    DWORD mask;
  };
  const RECT z = {0, 0, 0, 0};
  const Row rows[] = {
      {L"res/bk.png", L"res/bk.png", L"", z, z, z, 255, false, 0},
      {L"file='a.png'", L"a.png", L"", z, z, z, 255, false, 0},
      {L"file='a.png' dest='0,0,18,18' source='1,2,3,4' corner='8,8,8,8' fade='128' hole='true'",
       L"a.png", L"", {0, 0, 18, 18}, {1, 2, 3, 4}, {8, 8, 8, 8}, 128, true, 0},
      {L"file='a.png' scale9='1,2,3,4'", L"a.png", L"", z, z, {1, 2, 3, 4}, 255, false, 0},
      {L"file='a.png' mask='#FFFF00FF'", L"a.png", L"", z, z, z, 255, false, 0xFFFF00FF},
      {L"res='145' restype='PNG'", L"145", L"PNG", z, z, z, 255, false, 0},
      {L"restype='PNG' res='logo'", L"logo", L"PNG", z, z, z, 255, false, 0},
      {L"color='#FF00FF00'", L"#FF00FF00", L"*COLOR*", z, z, z, 255, false, 0},
      // Blanks around "=" are allowed.
      {L"file = 'a.png'", L"a.png", L"", z, z, z, 255, false, 0},
      // A value that runs to the end of the text: the whole descriptor is the name.
      {L"file='a.png", L"file='a.png", L"", z, z, z, 255, false, 0},
      // Text after the last pair without a separating space is ignored.
      {L"file='a.png'fade='10'", L"a.png", L"", z, z, z, 255, false, 0},
      // Blanks before a key are skipped, so a second space does not end the list.
      {L"file='a.png'  fade='10'", L"a.png", L"", z, z, z, 10, false, 0},
      // Anything but a space after a value ends it.
      {L"file='a.png',fade='10'", L"a.png", L"", z, z, z, 255, false, 0},
      // A value without apostrophes stops parsing.
      {L"file=a.png fade='10'", L"file=a.png fade='10'", L"", z, z, z, 255, false, 0},
      // Unknown keys and empty values are ignored.
      {L"file='a.png' shine='yes' fade=''", L"a.png", L"", z, z, z, 255, false, 0},
      // Keys are matched exactly.
      {L"FILE='a.png'", L"FILE='a.png'", L"", z, z, z, 255, false, 0},
      {L"", L"", L"", z, z, z, 255, false, 0},
  };
  for (const Row& row : rows) {
    ImageDescriptor d = ParseImageDescriptor(row.text);
    SCOPED_TRACE(Show(row.text));
    EXPECT_EQ(d.name, row.name);
    EXPECT_EQ(d.type, row.type);
    EXPECT_TRUE(SameRect(d.dest, row.dest));
    EXPECT_TRUE(SameRect(d.source, row.source));
    EXPECT_TRUE(SameRect(d.corner, row.corner));
    EXPECT_EQ(d.fade, row.fade);
    EXPECT_EQ(d.hole, row.hole);
    EXPECT_EQ(d.mask, row.mask);
  }
  ImageDescriptor tiled = ParseImageDescriptor(L"file='t.png' xtiled='true' ytiled='true' hsl='true'");
  EXPECT_TRUE(tiled.xtiled);
  EXPECT_TRUE(tiled.ytiled);
  EXPECT_TRUE(tiled.keepForHsl);
}

// The destination is the whole control, or the dest offsets with far edges kept inside it.
TEST(ImageDescriptor, DestinationInsideControl) {
  UIDrawInfo info;
  const RECT item = {100, 50, 200, 80};
  EXPECT_TRUE(SameRect(info.Destination(item), item));
  info.dest = RECT{0, 0, 18, 18};
  EXPECT_TRUE(SameRect(info.Destination(item), RECT{100, 50, 118, 68}));
  info.dest = RECT{10, 5, 500, 500};
  EXPECT_TRUE(SameRect(info.Destination(item), RECT{110, 55, 200, 80}));
  info.source = RECT{0, 0, 64, 64};
  EXPECT_TRUE(SameRect(info.ClampedSource(32, 16), RECT{0, 0, 32, 16}));
}

}  // namespace
}  // namespace SkinUI
