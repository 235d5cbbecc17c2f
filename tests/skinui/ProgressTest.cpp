#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "StandardControlsSupport.h"
#include "TestImages.h"
#include "skinui/UIProgress.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

using ProgressTest = StandardControlTest;

// The filled part follows the range rules: the value is clamped, a maximum not above the
// minimum becomes minimum + 1, vertical bars fill from the bottom, and large ranges do not
// overflow.
TEST(ProgressRangeTest, FilledPart) {
  const struct {
    bool horizontal;
    int min, max, value;
    RECT filled;
  } cases[] = {
      {true, 0, 100, 37, {0, 0, 74, 20}},
      {true, 0, 100, 150, {0, 0, 200, 20}},
      {true, 0, 100, -5, {0, 0, 0, 20}},
      {true, 0, 0, 0, {0, 0, 0, 20}},
      {true, 0, 0, 1, {0, 0, 0, 20}},  // the value was clamped to 0 when set
      {true, 50, 10, 50, {0, 0, 0, 20}},
      {true, -2000000000, 2000000000, 0, {0, 0, 100, 20}},
      {true, INT_MAX, INT_MAX, INT_MAX, {0, 0, 200, 20}},
      {false, 0, 100, 25, {0, 15, 200, 20}},
      {false, 0, 100, 100, {0, 0, 200, 20}},
  };
  for (const auto& c : cases) {
    CProgressUI bar;
    bar.SetBounds(RECT{10, 10, 210, 30}, false);
    bar.SetHorizontal(c.horizontal);
    bar.SetMaxValue(c.max);
    bar.SetMinValue(c.min);
    bar.SetValue(c.value);
    RECT filled = bar.FilledPart();
    EXPECT_TRUE(SameRect(c.filled, filled))
        << c.min << ".." << c.max << " = " << c.value << ": " << ShowRect(filled);
    EXPECT_LT(bar.MinValue(), bar.MaxValue());
  }
}

// Attributes set the range and the value; SetValue clamps at once; defaults are a
// horizontal 0..100 bar 12 pixels high with centred text.
TEST(ProgressRangeTest, AttributesAndDefaults) {
  CProgressUI bar;
  EXPECT_TRUE(bar.IsHorizontal());
  EXPECT_EQ(12, bar.FixedHeight());
  EXPECT_EQ(UINT(DT_CENTER | DT_SINGLELINE), bar.TextStyle());
  bar.ApplyAttribute(L"min", L"10");
  bar.ApplyAttribute(L"max", L"20");
  bar.ApplyAttribute(L"value", L"50");
  bar.ApplyAttribute(L"hor", L"false");
  bar.ApplyAttribute(L"foreimage", L"fore.png");
  EXPECT_EQ(20, bar.Value());
  EXPECT_FALSE(bar.IsHorizontal());
  EXPECT_EQ(L"fore.png", bar.ForeImage());
  bar.SetValue(3);
  EXPECT_EQ(10, bar.Value());
  EXPECT_EQ(L"Progress", bar.ClassName());
  EXPECT_EQ(&bar, bar.FindInterface(L"Label"));
}

// The fore image is squeezed into the filled part, not cut: a picture with a red left half
// and a blue right half shows both halves within the filled 74 pixels. Stretching blends
// across the seam, so probes keep away from it.
TEST_F(ProgressTest, ForeImageIsSqueezed) {
  std::vector<DWORD> pixels;
  for (int i = 0; i < 16; ++i) pixels.push_back(i % 4 < 2 ? 0xFFFF0000 : 0xFF0000FF);
  TempFolder folder;
  std::wstring path = folder.WriteFile(L"bar.png", EncodePng(pixels, 4, 4));

  const struct {
    int value;
    std::vector<std::pair<int, DWORD>> probes;  // x, colour along the middle row
  } cases[] = {
      {37, {{2, 0xFF0000}, {12, 0xFF0000}, {62, 0x0000FF}, {72, 0x0000FF}, {80, 0xFFFFFF}}},
      {150, {{10, 0xFF0000}, {40, 0xFF0000}, {160, 0x0000FF}, {199, 0x0000FF}}},
      {0, {{0, 0xFFFFFF}, {100, 0xFFFFFF}}},
  };
  for (const auto& c : cases) {
    auto* bar = Place(new CProgressUI, RECT{0, 0, 200, 12});
    bar->ApplyAttribute(L"foreimage", L"file='" + path + L"'");
    bar->SetValue(c.value);
    Picture picture = Paint(RECT{0, 0, 200, 12});
    ASSERT_TRUE(picture.valid());
    for (const auto& probe : c.probes)
      EXPECT_EQ(probe.second, picture.Rgb(probe.first, 6)) << c.value << " at x " << probe.first;
  }
}

}  // namespace
}  // namespace SkinUI
