#include <gtest/gtest.h>

#include <vector>

#include "BlendPaths.h"
#include "PixelCanvas.h"
#include "TestImages.h"
#include "skinui/UIRender.h"

namespace SkinUI {
namespace {

const RECT kNoCorners = {0, 0, 0, 0};

class ImageDrawingTest : public BlendPaths {};
INSTANTIATE_TEST_SUITE_P(Paths, ImageDrawingTest, ::testing::Bool(), BlendPathName);

// A source of width x height whose nine cells (split by the corner sizes) each hold
// their own opaque colour: cell (column, row) is 0xFF000000 | (column+1) << 16 | (row+1) << 8.
std::vector<DWORD> NineCellPixels(int width, int height, const RECT& corners) {
  std::vector<DWORD> pixels;
  for (int y = 0; y < height; ++y) {
    int row = y < corners.top ? 0 : (y < height - corners.bottom ? 1 : 2);
    for (int x = 0; x < width; ++x) {
      int column = x < corners.left ? 0 : (x < width - corners.right ? 1 : 2);
      pixels.push_back(0xFF000000 | (column + 1) << 16 | (row + 1) << 8);
    }
  }
  return pixels;
}

DWORD CellColor(int column, int row) { return 0xFF000000 | (column + 1) << 16 | (row + 1) << 8; }

// Which nine-grid cell colour a pixel holds; -1 for anything else.
int CellAt(const PixelCanvas& canvas, int x, int y) {
  DWORD pixel = canvas.Pixel(x, y) | 0xFF000000;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      if (pixel == CellColor(column, row)) return row * 3 + column;
  return -1;
}

// Corners 8,8,8,8 from 30 x 20 to 300 x 20 keep 8-pixel corners and stretch edges and centre to 284.
TEST_P(ImageDrawingTest, NineGridKeepsCornerSizes) {
  const RECT corners = {8, 8, 8, 8};
  TestImage image(NineCellPixels(30, 20, corners), 30, 20);
  ASSERT_NE(nullptr, image.get());
  PixelCanvas canvas(320, 40, 0xFFFFFFFF);
  const RECT dest = {10, 10, 310, 30};
  CUIRender::DrawImage(canvas.dc(), image->bitmap, dest, canvas.bounds(), RECT{0, 0, 30, 20},
                       corners, image->alpha);
  struct Probe {
    int x, y, cell;
  };
  const Probe probes[] = {
      {10, 10, 0},  {17, 17, 0},  {18, 10, 1},  {301, 17, 1}, {302, 10, 2}, {309, 17, 2},
      {10, 18, 3},  {17, 21, 3},  {18, 18, 4},  {160, 20, 4}, {301, 21, 4}, {302, 18, 5},
      {309, 21, 5}, {10, 22, 6},  {17, 29, 6},  {18, 22, 7},  {301, 29, 7}, {302, 22, 8},
      {309, 29, 8},
  };
  for (const Probe& p : probes) EXPECT_EQ(p.cell, CellAt(canvas, p.x, p.y)) << p.x << "," << p.y;
  // Nothing outside the destination.
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(9, 15));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(310, 15));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(100, 9));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(100, 30));
}

// Only border cells with a corner size above 0 exist: corners 8,0,0,0 give a left edge and a centre.
TEST_P(ImageDrawingTest, CellsWithoutCornerSizeAreNotDrawn) {
  const RECT corners = {8, 0, 0, 0};
  TestImage image(NineCellPixels(30, 20, corners), 30, 20);
  PixelCanvas canvas(100, 40, 0xFFFFFFFF);
  CUIRender::DrawImage(canvas.dc(), image->bitmap, RECT{0, 0, 100, 40}, canvas.bounds(),
                       RECT{0, 0, 30, 20}, corners, false);
  EXPECT_EQ(3, CellAt(canvas, 0, 0));   // left edge, rows 0..40
  EXPECT_EQ(3, CellAt(canvas, 7, 39));
  EXPECT_EQ(4, CellAt(canvas, 8, 0));   // centre takes the rest
  EXPECT_EQ(4, CellAt(canvas, 99, 39));
}

// With hole set the centre cell is left as it was; the border cells are drawn.
TEST_P(ImageDrawingTest, HoleLeavesCentreUntouched) {
  const RECT corners = {4, 4, 4, 4};
  TestImage image(NineCellPixels(12, 12, corners), 12, 12);
  for (bool alpha : {false, true}) {
    PixelCanvas canvas(40, 40, 0xFF123456);
    CUIRender::DrawImage(canvas.dc(), image->bitmap, canvas.bounds(), canvas.bounds(),
                         RECT{0, 0, 12, 12}, corners, alpha, 255, true);
    EXPECT_EQ(0x123456u, canvas.Rgb(20, 20)) << alpha;
    EXPECT_EQ(0x123456u, canvas.Rgb(4, 4)) << alpha;
    EXPECT_EQ(0x123456u, canvas.Rgb(35, 35)) << alpha;
    EXPECT_EQ(0, CellAt(canvas, 0, 0)) << alpha;
    EXPECT_EQ(1, CellAt(canvas, 20, 0)) << alpha;
    EXPECT_EQ(5, CellAt(canvas, 39, 20)) << alpha;
    EXPECT_EQ(8, CellAt(canvas, 39, 39)) << alpha;
  }
}

// Translucent images blend; opaque ones at their own size are copied only inside the paint area.
TEST_P(ImageDrawingTest, TranslucentBlendsOpaqueCopiesOnlyPaintArea) {
  std::vector<DWORD> opaque(24 * 24, 0xFF0000FF);
  std::vector<DWORD> translucent = opaque;
  translucent[0] = 0x80FF0000;  // top-left pixel half red
  const RECT full = {0, 0, 24, 24};
  const RECT paint = {0, 0, 12, 24};

  TestImage blended(translucent, 24, 24);
  ASSERT_TRUE(blended->alpha);
  PixelCanvas white(24, 24, 0xFFFFFFFF);
  CUIRender::DrawImage(white.dc(), blended->bitmap, full, full, full, kNoCorners, blended->alpha);
  EXPECT_TRUE(NearPixel(0xFFFF7F7F, white.Pixel(0, 0) | 0xFF000000)) << std::hex << white.Pixel(0, 0);
  EXPECT_EQ(0x0000FFu, white.Rgb(5, 5));

  TestImage copied(opaque, 24, 24);
  ASSERT_FALSE(copied->alpha);
  PixelCanvas canvas(24, 24, 0xFFFFFFFF);
  CUIRender::DrawImage(canvas.dc(), copied->bitmap, full, paint, full, kNoCorners, copied->alpha);
  EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 0));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(11, 23));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(12, 0));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(23, 23));
}

// Cells that do not meet the paint area are not drawn, also when stretched.
TEST_P(ImageDrawingTest, CellsOutsidePaintAreaAreSkipped) {
  const RECT corners = {8, 8, 8, 8};
  TestImage image(NineCellPixels(30, 20, corners), 30, 20);
  PixelCanvas canvas(300, 20, 0xFFFFFFFF);
  // The paint area covers only the left corner column.
  CUIRender::DrawImage(canvas.dc(), image->bitmap, canvas.bounds(), RECT{0, 0, 8, 20},
                       RECT{0, 0, 30, 20}, corners, false);
  EXPECT_EQ(0, CellAt(canvas, 0, 0));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(150, 10));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(299, 19));
}

// Fade weighs the image against the background: black at fade 128 over white gives middle grey.
TEST_P(ImageDrawingTest, FadeBlendsWithConstantAlpha) {
  TestImage image(std::vector<DWORD>(16, 0xFF000000), 4, 4);
  struct Case {
    BYTE fade;
    DWORD expected;
  };
  const Case cases[] = {{255, 0x000000}, {128, 0x7F7F7F}, {64, 0xBFBFBF}, {0, 0xFFFFFF}};
  for (const Case& c : cases) {
    PixelCanvas canvas(8, 8, 0xFFFFFFFF);
    CUIRender::DrawImage(canvas.dc(), image->bitmap, canvas.bounds(), canvas.bounds(),
                         RECT{0, 0, 4, 4}, kNoCorners, false, c.fade);
    EXPECT_TRUE(NearPixel(c.expected, canvas.Rgb(3, 3))) << int(c.fade) << " " << std::hex
                                                         << canvas.Rgb(3, 3);
  }
}

// Tiling repeats the centre at source size along tiled directions, cutting the last tile.
TEST_P(ImageDrawingTest, TilingRepeatsCentre) {
  // A 4 x 4 source: left half red, right half blue; top half bright, bottom half dark.
  std::vector<DWORD> pixels;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      pixels.push_back(x < 2 ? (y < 2 ? 0xFFFF0000 : 0xFF800000) : (y < 2 ? 0xFF0000FF : 0xFF000080));
  TestImage image(pixels, 4, 4);
  struct Case {
    bool xtiled, ytiled, alpha;
    // expected colour at (x, y) for a 10 x 10 destination
    struct {
      int x, y;
      DWORD rgb;
    } probes[4];
  };
  const Case cases[] = {
      // x tiled: columns repeat every 4 (red red blue blue red red blue blue red red), rows stretched.
      {true, false, false, {{4, 0, 0xFF0000}, {6, 0, 0x0000FF}, {9, 0, 0xFF0000}, {8, 9, 0x800000}}},
      // y tiled: rows repeat every 4, columns stretched.
      {false, true, false, {{0, 4, 0xFF0000}, {0, 6, 0x800000}, {0, 9, 0xFF0000}, {9, 8, 0x0000FF}}},
      // both: plain tiles, last ones cut.
      {true, true, false, {{5, 5, 0xFF0000}, {6, 6, 0x000080}, {9, 9, 0xFF0000}, {8, 1, 0xFF0000}}},
      {true, true, true, {{5, 5, 0xFF0000}, {6, 6, 0x000080}, {9, 9, 0xFF0000}, {8, 1, 0xFF0000}}},
  };
  for (const Case& c : cases) {
    PixelCanvas canvas(10, 10, 0xFFFFFFFF);
    CUIRender::DrawImage(canvas.dc(), image->bitmap, canvas.bounds(), canvas.bounds(),
                         RECT{0, 0, 4, 4}, kNoCorners, c.alpha, 255, false, c.xtiled, c.ytiled);
    for (const auto& p : c.probes)
      EXPECT_EQ(p.rgb, canvas.Rgb(p.x, p.y))
          << c.xtiled << c.ytiled << c.alpha << " at " << p.x << "," << p.y;
  }
}

// Missing bitmaps, empty targets, outside sources and oversized corners draw nothing wrong.
TEST_P(ImageDrawingTest, NonsenseInputDrawsSafely) {
  TestImage image(std::vector<DWORD>(16, 0xFF00FF00), 4, 4);
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  CUIRender::DrawImage(canvas.dc(), nullptr, canvas.bounds(), canvas.bounds(), RECT{0, 0, 4, 4},
                       kNoCorners, false);
  CUIRender::DrawImage(canvas.dc(), image->bitmap, RECT{10, 10, 10, 20}, canvas.bounds(),
                       RECT{0, 0, 4, 4}, kNoCorners, true);
  CUIRender::DrawImage(canvas.dc(), image->bitmap, RECT{10, 10, 5, 5}, canvas.bounds(),
                       RECT{0, 0, 4, 4}, kNoCorners, false);
  CUIRender::DrawImage(canvas.dc(), image->bitmap, canvas.bounds(), canvas.bounds(),
                       RECT{8, 8, 40, 40}, kNoCorners, true);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(0xFFFFFFu, canvas.Rgb(x, y)) << x << "," << y;

  // A source reaching past the bitmap is cut to it.
  CUIRender::DrawImage(canvas.dc(), image->bitmap, RECT{0, 0, 4, 4}, canvas.bounds(),
                       RECT{0, 0, 400, 400}, kNoCorners, false);
  EXPECT_EQ(0x00FF00u, canvas.Rgb(3, 3));

  // Corners of 6 on each side of a 4-pixel source: every border cell would reach outside
  // the source and the centre has no room, so nothing is drawn (and nothing mirrored).
  std::vector<DWORD> halves;
  for (int i = 0; i < 16; ++i) halves.push_back(i % 4 < 2 ? 0xFFFF0000 : 0xFF0000FF);
  TestImage split(halves, 4, 4);
  PixelCanvas wide(10, 10, 0xFFFFFFFF);
  CUIRender::DrawImage(wide.dc(), split->bitmap, wide.bounds(), wide.bounds(), RECT{0, 0, 4, 4},
                       RECT{6, 6, 6, 6}, false);
  EXPECT_EQ(0xFFFFFFu, wide.Rgb(0, 0));
  EXPECT_EQ(0xFFFFFFu, wide.Rgb(5, 5));
  EXPECT_EQ(0xFFFFFFu, wide.Rgb(9, 9));
}

}  // namespace
}  // namespace SkinUI
