#include <gtest/gtest.h>

#include "BlendPaths.h"
#include "PixelCanvas.h"
#include "skinui/SoftwareBlend.h"
#include "skinui/SystemBlend.h"
#include "skinui/UIRender.h"

namespace SkinUI {
namespace {

class ColorFillTest : public BlendPaths {};

// Opaque colours fill, alpha 0 draws nothing, translucent colours blend source-over (premultiplied).
TEST_P(ColorFillTest, FillsOpaqueAndTranslucentColours) {
  struct Case {
    DWORD background;
    DWORD color;
    DWORD expected;
  };
  const Case cases[] = {
      {0xFFFFFFFF, 0xFF336699, 0x336699},
      {0xFFFFFFFF, 0x00336699, 0xFFFFFF},
      {0xFFFFFFFF, 0x80FF0000, 0xFF7F7F},
      {0xFF000000, 0x80FF0000, 0x800000},
      {0xFF000000, 0x40FFFFFF, 0x404040},
  };
  for (const Case& c : cases) {
    PixelCanvas canvas(20, 20, c.background);
    CUIRender::DrawColor(canvas.dc(), RECT{5, 5, 15, 15}, c.color);
    EXPECT_TRUE(NearPixel(c.expected, canvas.Rgb(10, 10)))
        << std::hex << c.color << " over " << c.background << " gave " << canvas.Rgb(10, 10);
    EXPECT_TRUE(NearPixel(c.expected, canvas.Rgb(14, 14))) << std::hex << c.color;
    EXPECT_EQ(c.background & 0xFFFFFF, canvas.Rgb(4, 4)) << std::hex << c.color;
    EXPECT_EQ(c.background & 0xFFFFFF, canvas.Rgb(15, 15)) << std::hex << c.color;
  }
}

class GradientTest : public BlendPaths {};

// An opaque gradient runs from the first colour to the second, vertically or horizontally.
TEST_P(GradientTest, OpaqueGradientRunsBetweenColours) {
  for (bool vertical : {true, false}) {
    PixelCanvas canvas(64, 64, 0xFFFFFFFF);
    CUIRender::DrawGradient(canvas.dc(), canvas.bounds(), 0xFF0000FF, 0xFFFF0000, vertical, 64);
    DWORD start = canvas.Rgb(0, 0);
    DWORD end = vertical ? canvas.Rgb(0, 63) : canvas.Rgb(63, 0);
    DWORD across = vertical ? canvas.Rgb(63, 0) : canvas.Rgb(0, 63);
    EXPECT_TRUE(NearPixel(0x0000FF, start, 8)) << vertical << std::hex << " " << start;
    EXPECT_TRUE(NearPixel(0xFF0000, end, 8)) << vertical << std::hex << " " << end;
    EXPECT_EQ(start, across) << vertical;
    DWORD middle = vertical ? canvas.Rgb(0, 32) : canvas.Rgb(32, 0);
    EXPECT_TRUE(NearPixel(0x7F007F, middle, 12)) << vertical << std::hex << " " << middle;
  }
}

// A gradient blends with the average of its two alpha bytes: 0xFF and 0x00 give 127.
TEST_P(GradientTest, TranslucentGradientUsesAverageAlpha) {
  PixelCanvas canvas(64, 64, 0xFFFFFFFF);
  CUIRender::DrawGradient(canvas.dc(), canvas.bounds(), 0xFF0000FF, 0x00FF0000, false, 64);
  // At the blue end: 127/255 of blue over white.
  EXPECT_TRUE(NearPixel(0x8080FF, canvas.Rgb(0, 10), 4)) << std::hex << canvas.Rgb(0, 10);
  EXPECT_TRUE(NearPixel(0xFF8080, canvas.Rgb(63, 10), 4)) << std::hex << canvas.Rgb(63, 10);

  PixelCanvas untouched(16, 16, 0xFF123456);
  CUIRender::DrawGradient(untouched.dc(), untouched.bounds(), 0x00FF0000, 0x01FFFFFF, true, 16);
  EXPECT_EQ(0x123456u, untouched.Rgb(8, 8));
}

INSTANTIATE_TEST_SUITE_P(Paths, ColorFillTest, ::testing::Bool(), BlendPathName);
INSTANTIATE_TEST_SUITE_P(Paths, GradientTest, ::testing::Bool(), BlendPathName);

// Without the system gradient, solid bands stand in, as many as the steps ask for.
TEST(GradientBandsTest, BandCountFollowsSteps) {
  const struct {
    int steps, bands;
  } cases[] = {{0, 2}, {3, 2}, {4, 4}, {7, 4}, {8, 8}, {15, 8}, {16, 16},
               {31, 16}, {32, 32}, {63, 32}, {64, 64}, {1000, 64}};
  for (const auto& c : cases) EXPECT_EQ(c.bands, GradientBandCount(c.steps)) << c.steps;

  // Eight steps over 64 pixels: 8 bands of 8 rows, each one colour, first and last the
  // two colours themselves.
  PixelCanvas canvas(4, 64, 0xFFFFFFFF);
  FillGradientBands(canvas.dc(), canvas.bounds(), 0xFF000000, 0xFF0000E0, true, 8);
  EXPECT_EQ(0x000000u, canvas.Rgb(0, 0));
  EXPECT_EQ(0x000000u, canvas.Rgb(3, 7));
  EXPECT_EQ(0x000020u, canvas.Rgb(0, 8));
  EXPECT_EQ(0x0000E0u, canvas.Rgb(0, 63));
  EXPECT_EQ(canvas.Rgb(0, 40), canvas.Rgb(0, 47));
}

// The software blend equals source-over with premultiplied pixels and a constant alpha.
TEST(SoftwareBlendTest, BlendPixelIsSourceOver) {
  const struct {
    DWORD destination, source;
    BYTE constant;
    bool perPixel;
    DWORD expected;
  } cases[] = {
      {0xFFFFFFFF, 0xFF000000, 255, true, 0xFF000000},  // opaque source replaces
      {0xFFFFFFFF, 0x00000000, 255, true, 0xFFFFFFFF},  // transparent source keeps
      {0xFFFFFFFF, 0x80800000, 255, true, 0xFFFF7F7F},  // half red over white
      {0xFF000000, 0x80800000, 255, true, 0xFF800000},  // half red over black
      {0xFFFFFFFF, 0xFF000000, 128, true, 0xFF7F7F7F},  // fade 128
      {0xFFFFFFFF, 0xFF0000FF, 127, false, 0xFF8080FF}, // constant alpha only
      {0x00000000, 0x80404040, 255, true, 0x80404040},  // into a transparent buffer
  };
  for (const auto& c : cases)
    EXPECT_TRUE(NearPixel(c.expected, BlendPixel(c.destination, c.source, c.constant, c.perPixel)))
        << std::hex << c.source << " over " << c.destination << " gave "
        << BlendPixel(c.destination, c.source, c.constant, c.perPixel);
}

// The software blend gives the system's AlphaBlend pixels, one to one and stretched.
TEST(SoftwareBlendTest, MatchesSystemAlphaBlend) {
  AlphaBlendFunction system = SystemBlendFunctions().alphaBlend;
  if (system == nullptr) GTEST_SKIP() << "no system AlphaBlend to compare with";
  // Premultiplied pixels with alpha growing to the right and red growing downwards.
  PixelCanvas source(4, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      DWORD alpha = x * 80 + 15;
      source.SetPixel(x, y, alpha << 24 | (alpha * (y + 1) / 4) << 16 | alpha / 2);
    }
  for (BYTE fade : {BYTE(255), BYTE(100)}) {
    for (int size : {4, 12}) {
      PixelCanvas bySystem(16, 16, 0xFF204060);
      PixelCanvas bySoftware(16, 16, 0xFF204060);
      BLENDFUNCTION blend = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
      ASSERT_TRUE(system(bySystem.dc(), 2, 2, size, size, source.dc(), 0, 0, 4, 4, blend));
      ASSERT_TRUE(SoftwareAlphaBlend(bySoftware.dc(), 2, 2, size, size, source.dc(), 0, 0, 4, 4, blend));
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          ASSERT_TRUE(NearPixel(bySystem.Rgb(x, y), bySoftware.Rgb(x, y), 2))
              << "fade " << int(fade) << " size " << size << " at " << x << "," << y << std::hex
              << " system " << bySystem.Rgb(x, y) << " software " << bySoftware.Rgb(x, y);
    }
  }
}

}  // namespace
}  // namespace SkinUI
