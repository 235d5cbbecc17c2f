#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelCanvas.h"
#include "TestImages.h"
#include "skinui/UIControl.h"
#include "skinui/UIDrawInfo.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

// Pixels of a bitmap made by the render engine (32-bit, top-down).
DWORD BitmapPixel(HBITMAP bitmap, int x, int y) {
  DIBSECTION section = {};
  ::GetObjectW(bitmap, sizeof(section), &section);
  ::GdiFlush();
  return static_cast<const DWORD*>(section.dsBm.bmBits)[y * section.dsBm.bmWidth + x];
}

// A 4 x 4 picture in a file: red left half, blue right half. Stretching uses the halftone
// mode, which blends across the seam, so probes keep away from it.
class DrawInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<DWORD> pixels;
    for (int i = 0; i < 16; ++i) pixels.push_back(i % 4 < 2 ? 0xFFFF0000 : 0xFF0000FF);
    path_ = folder_.WriteFile(L"halves.png", EncodePng(pixels, 4, 4));
  }

  // Draws the descriptor into a 40 x 20 control at (10, 10) on a white 60 x 40 canvas.
  bool Draw(UIDrawInfo& info, PixelCanvas& canvas, const RECT& paint) {
    return CUIRender::DrawImageInfo(canvas.dc(), &manager_, RECT{10, 10, 50, 30}, paint, info);
  }

  TempFolder folder_;
  std::wstring path_;
  CUIManager manager_;
};

// A descriptor's image is drawn whole, into its dest part, or from its source part.
TEST_F(DrawInfoTest, DrawsDescriptorIntoControl) {
  struct Probe {
    int x, y;
    DWORD rgb;
  };
  const struct {
    std::wstring descriptor;
    std::vector<Probe> probes;
  } cases[] = {
      {L"file='" + path_ + L"'",
       {{10, 10, 0xFF0000}, {15, 29, 0xFF0000}, {35, 10, 0x0000FF}, {49, 29, 0x0000FF},
        {9, 10, 0xFFFFFF}, {50, 29, 0xFFFFFF}}},
      {path_,  // a bare name is a file name
       {{10, 10, 0xFF0000}, {49, 29, 0x0000FF}}},
      {L"file='" + path_ + L"' dest='2,2,6,6'",
       {{12, 12, 0xFF0000}, {15, 15, 0x0000FF}, {11, 11, 0xFFFFFF}, {16, 16, 0xFFFFFF}}},
      // dest reaching past the control is cut at the control's edges
      {L"file='" + path_ + L"' dest='30,0,90,90'",
       {{40, 10, 0xFF0000}, {49, 29, 0x0000FF}, {50, 20, 0xFFFFFF}, {45, 30, 0xFFFFFF}}},
      {L"file='" + path_ + L"' source='2,0,4,4'",
       {{10, 10, 0x0000FF}, {49, 29, 0x0000FF}}},
      {L"color='#FF00FF00'",
       {{10, 10, 0x00FF00}, {49, 29, 0x00FF00}, {50, 30, 0xFFFFFF}}},
      {L"file='" + path_ + L"' fade='0'",
       {{10, 10, 0xFFFFFF}, {49, 29, 0xFFFFFF}}},
  };
  for (const auto& c : cases) {
    PixelCanvas canvas(60, 40, 0xFFFFFFFF);
    UIDrawInfo info;
    info.SetDescriptor(c.descriptor);
    EXPECT_TRUE(Draw(info, canvas, canvas.bounds())) << c.descriptor;
    EXPECT_TRUE(info.parsed) << c.descriptor;
    for (const Probe& p : c.probes)
      EXPECT_EQ(p.rgb, canvas.Rgb(p.x, p.y)) << c.descriptor << " at " << p.x << "," << p.y;
  }
}

// An image that fails to load draws nothing and is not retried until the descriptor changes.
TEST_F(DrawInfoTest, FailedImageDrawsNothing) {
  for (const std::wstring& descriptor :
       {std::wstring(L"file='missing.png'"), L"file='" + path_, std::wstring(L"")}) {
    PixelCanvas canvas(60, 40, 0xFFFFFFFF);
    UIDrawInfo info;
    info.SetDescriptor(descriptor);
    EXPECT_FALSE(Draw(info, canvas, canvas.bounds())) << descriptor;
    EXPECT_TRUE(info.parsed) << descriptor;
    EXPECT_EQ(nullptr, info.image) << descriptor;
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(20, 20)) << descriptor;
  }
  // Once the file exists, the same record still does not load it: the failure is kept
  // until the descriptor changes.
  UIDrawInfo info;
  info.SetDescriptor(L"file='later.png'");
  PixelCanvas canvas(60, 40, 0xFFFFFFFF);
  EXPECT_FALSE(Draw(info, canvas, canvas.bounds()));
  folder_.WriteFile(L"later.png", EncodePng({0xFF000000}, 1, 1));
  CUIManager::SetResourcePath(folder_.path());
  EXPECT_FALSE(Draw(info, canvas, canvas.bounds()));
  info.SetDescriptor(L"file='later.png' fade='255'");
  EXPECT_TRUE(Draw(info, canvas, canvas.bounds()));
  EXPECT_EQ(0x000000u, canvas.Rgb(20, 20));
  CUIManager::SetResourcePath(L"");
}

// An image whose destination does not meet the paint area is not drawn.
TEST_F(DrawInfoTest, OutsidePaintAreaNotDrawn) {
  PixelCanvas canvas(60, 40, 0xFFFFFFFF);
  UIDrawInfo info;
  info.SetDescriptor(L"file='" + path_ + L"' dest='20,0,40,20'");
  EXPECT_TRUE(Draw(info, canvas, RECT{0, 0, 30, 40}));
  EXPECT_EQ(0xFFFFFFu, canvas.Rgb(35, 20));
  EXPECT_TRUE(Draw(info, canvas, RECT{0, 0, 31, 40}));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(45, 20));
}

// Part of a window renders into a bitmap of its size, over a background, up to a stop control.
TEST(RenderToBitmapTest, PaintsTreeIntoBitmap) {
  CUIManager manager;
  EXPECT_EQ(nullptr, CUIRender::RenderToBitmap(&manager, RECT{0, 0, 10, 10}));
  EXPECT_EQ(nullptr, CUIRender::RenderToBitmap(nullptr, RECT{0, 0, 10, 10}));

  auto* root = new CControlUI;
  manager.AttachRoot(root);
  root->SetBounds(RECT{0, 0, 100, 50}, false);
  root->SetBkColor(0xFFFF0000);
  root->SetBkImage(L"color='#FF0000FF' dest='50,0,100,50'");

  Utils::ScopedBitmap plain(CUIRender::RenderToBitmap(&manager, RECT{40, 10, 60, 30}));
  ASSERT_TRUE(plain);
  BITMAP info = {};
  ::GetObjectW(plain.get(), sizeof(info), &info);
  EXPECT_EQ(20, info.bmWidth);
  EXPECT_EQ(20, info.bmHeight);
  EXPECT_EQ(0xFF0000u, BitmapPixel(plain.get(), 0, 0) & 0xFFFFFF);
  EXPECT_EQ(0xFF0000u, BitmapPixel(plain.get(), 9, 19) & 0xFFFFFF);
  EXPECT_EQ(0x0000FFu, BitmapPixel(plain.get(), 10, 0) & 0xFFFFFF);
  EXPECT_EQ(0x0000FFu, BitmapPixel(plain.get(), 19, 19) & 0xFFFFFF);

  // Beyond the tree only the background remains.
  Utils::ScopedBitmap beyond(
      CUIRender::RenderToBitmap(&manager, RECT{90, 40, 110, 60}, nullptr, 0xFF00FF00));
  ASSERT_TRUE(beyond);
  EXPECT_EQ(0x0000FFu, BitmapPixel(beyond.get(), 0, 0) & 0xFFFFFF);
  EXPECT_EQ(0x00FF00u, BitmapPixel(beyond.get(), 19, 19) & 0xFFFFFF);

  Utils::ScopedBitmap stopped(
      CUIRender::RenderToBitmap(&manager, RECT{0, 0, 10, 10}, root, 0xFF00FF00));
  ASSERT_TRUE(stopped);
  EXPECT_EQ(0x00FF00u, BitmapPixel(stopped.get(), 5, 5) & 0xFFFFFF);
}

// Rounded corners clip in window coordinates when the rendered part starts elsewhere.
TEST(RenderToBitmapTest, RoundedCornersFollowThePart) {
  CUIManager manager;
  auto* root = new CControlUI;
  manager.AttachRoot(root);
  root->SetBounds(RECT{0, 0, 100, 50}, false);
  root->SetBkColor(0xFFFF0000);
  root->ApplyAttribute(L"borderround", L"20,20");
  Utils::ScopedBitmap corner(
      CUIRender::RenderToBitmap(&manager, RECT{80, 30, 100, 50}, nullptr, 0xFF00FF00));
  ASSERT_TRUE(corner);
  EXPECT_EQ(0xFF0000u, BitmapPixel(corner.get(), 0, 0) & 0xFFFFFF);
  EXPECT_EQ(0xFF0000u, BitmapPixel(corner.get(), 10, 10) & 0xFFFFFF);
  EXPECT_EQ(0x00FF00u, BitmapPixel(corner.get(), 19, 19) & 0xFFFFFF);
}

}  // namespace
}  // namespace SkinUI
