#include <gtest/gtest.h>

#include "PixelCanvas.h"
#include "skinui/UIRender.h"

namespace SkinUI {
namespace {

const DWORD kWhite = 0xFFFFFF;
const DWORD kRed = 0xFF0000;

// A frame is drawn inside its rectangle: a 2-pixel frame covers the two outer rows and columns.
TEST(OutlineTest, RectIsDrawnInsideItsRectangle) {
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  CUIRender::DrawRect(canvas.dc(), RECT{2, 2, 18, 18}, 2, 0xFFFF0000);
  const struct {
    int x, y;
    DWORD rgb;
  } probes[] = {{1, 1, kWhite},  {2, 2, kRed},    {3, 3, kRed},   {4, 4, kWhite},
                {17, 17, kRed},  {16, 16, kRed},  {15, 15, kWhite}, {18, 18, kWhite},
                {10, 2, kRed},   {10, 4, kWhite}, {2, 10, kRed},  {10, 10, kWhite}};
  for (const auto& p : probes) EXPECT_EQ(p.rgb, canvas.Rgb(p.x, p.y)) << p.x << "," << p.y;
}

// A rounded frame leaves its corners open and keeps its inside unfilled.
TEST(OutlineTest, RoundRectLeavesCornersOpen) {
  PixelCanvas canvas(40, 40, 0xFFFFFFFF);
  CUIRender::DrawRoundRect(canvas.dc(), RECT{0, 0, 40, 40}, 1, 16, 16, 0xFF0000FF);
  EXPECT_EQ(kWhite, canvas.Rgb(0, 0));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(20, 0));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 20));
  EXPECT_EQ(kWhite, canvas.Rgb(20, 20));
}

// A line runs from left-top to right-bottom in the 0xAARRGGBB colour given.
TEST(OutlineTest, LineGoesFromLeftTopToRightBottom) {
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  CUIRender::DrawLine(canvas.dc(), RECT{0, 10, 20, 10}, 1, 0xFFFF0000);
  EXPECT_EQ(kRed, canvas.Rgb(0, 10));
  EXPECT_EQ(kRed, canvas.Rgb(19, 10));
  EXPECT_EQ(kWhite, canvas.Rgb(10, 9));
  EXPECT_EQ(kWhite, canvas.Rgb(10, 11));
}

// A pixel bitmap is top-down: its first bytes are the top-left pixel.
TEST(PixelBitmapTest, RowsAreTopDown) {
  BYTE* bits = nullptr;
  Utils::ScopedBitmap bitmap(CUIRender::CreatePixelBitmap(nullptr, 3, 2, &bits));
  ASSERT_TRUE(bitmap);
  ASSERT_NE(nullptr, bits);
  reinterpret_cast<DWORD*>(bits)[0] = 0x00FF0000;
  Utils::ScopedMemoryDC dc(::CreateCompatibleDC(nullptr));
  Utils::ScopedSelectObject selected(dc.get(), bitmap.get());
  EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(dc.get(), 0, 0));
  EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc.get(), 0, 1));

  BYTE* none = reinterpret_cast<BYTE*>(1);
  EXPECT_EQ(nullptr, CUIRender::CreatePixelBitmap(nullptr, 0, 5, &none));
  EXPECT_EQ(nullptr, none);
}

// Clip records narrow painting and give back the clip before them, also when nested.
TEST(ClipTest, RectClipNarrowsAndRestores) {
  PixelCanvas canvas(30, 30, 0xFFFFFFFF);
  {
    CRenderClip outer;
    CUIRender::ClipToRect(canvas.dc(), RECT{0, 0, 20, 20}, outer);
    {
      CRenderClip inner;
      CUIRender::ClipToRect(canvas.dc(), RECT{10, 10, 30, 30}, inner);
      CUIRender::DrawColor(canvas.dc(), canvas.bounds(), 0xFFFF0000);
    }
    // Back to the outer clip.
    CUIRender::DrawColor(canvas.dc(), RECT{0, 0, 5, 30}, 0xFF0000FF);
  }
  EXPECT_EQ(kRed, canvas.Rgb(10, 10));
  EXPECT_EQ(kRed, canvas.Rgb(19, 19));
  EXPECT_EQ(kWhite, canvas.Rgb(20, 20));
  EXPECT_EQ(kWhite, canvas.Rgb(9, 9));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 19));
  EXPECT_EQ(kWhite, canvas.Rgb(0, 20));
  // No clip left behind.
  CUIRender::DrawColor(canvas.dc(), canvas.bounds(), 0xFF00FF00);
  EXPECT_EQ(0x00FF00u, canvas.Rgb(29, 29));
}

// Suspending a clip paints with the earlier clip until it is resumed.
TEST(ClipTest, SuspendAndResume) {
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  CRenderClip clip;
  CUIRender::ClipToRect(canvas.dc(), RECT{0, 0, 10, 10}, clip);
  clip.SuspendClip();
  CUIRender::DrawColor(canvas.dc(), RECT{15, 15, 20, 20}, 0xFFFF0000);
  clip.ResumeClip();
  CUIRender::DrawColor(canvas.dc(), canvas.bounds(), 0xFF0000FF);
  clip.Release();
  EXPECT_EQ(kRed, canvas.Rgb(17, 17));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(5, 5));
  EXPECT_EQ(kWhite, canvas.Rgb(12, 5));
}

// A rounded clip cuts the item's corners and stays within the paint area.
TEST(ClipTest, RoundRectClipCutsCorners) {
  PixelCanvas canvas(40, 40, 0xFFFFFFFF);
  {
    CRenderClip clip;
    CUIRender::ClipToRoundRect(canvas.dc(), RECT{0, 0, 40, 30}, RECT{0, 0, 39, 39}, 20, 20, clip);
    CUIRender::DrawColor(canvas.dc(), canvas.bounds(), 0xFFFF0000);
  }
  EXPECT_EQ(kWhite, canvas.Rgb(0, 0));
  EXPECT_EQ(kRed, canvas.Rgb(20, 0));
  EXPECT_EQ(kRed, canvas.Rgb(20, 20));
  EXPECT_EQ(kWhite, canvas.Rgb(20, 31));  // outside the paint area
}

// Clip rectangles are logical coordinates, also when the DC's window origin is moved.
TEST(ClipTest, FollowsWindowOrigin) {
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  ::SetWindowOrgEx(canvas.dc(), 100, 100, nullptr);
  {
    CRenderClip clip;
    CUIRender::ClipToRect(canvas.dc(), RECT{105, 105, 110, 110}, clip);
    CUIRender::DrawColor(canvas.dc(), RECT{100, 100, 120, 120}, 0xFFFF0000);
  }
  ::SetWindowOrgEx(canvas.dc(), 0, 0, nullptr);
  EXPECT_EQ(kRed, canvas.Rgb(5, 5));
  EXPECT_EQ(kRed, canvas.Rgb(9, 9));
  EXPECT_EQ(kWhite, canvas.Rgb(10, 10));
  EXPECT_EQ(kWhite, canvas.Rgb(4, 4));
}

}  // namespace
}  // namespace SkinUI
