#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestImages.h"
#include "skinui/ImageDecoder.h"
#include "skinui/UIRender.h"

namespace SkinUI {
namespace {

struct ImageDeleter {
  void operator()(UIImageInfo* image) const { CUIRender::FreeImage(image, true); }
};
using ImagePtr = std::unique_ptr<UIImageInfo, ImageDeleter>;

DWORD PixelOf(const UIImageInfo& image, int x, int y) {
  return reinterpret_cast<const DWORD*>(image.bits)[y * image.width + x];
}

ImagePtr Decode(const std::string& bytes, DWORD mask = 0) {
  return ImagePtr(CUIRender::LoadImageFromMemory(reinterpret_cast<const BYTE*>(bytes.data()),
                                                 bytes.size(), mask));
}

// Decoded pixels are premultiplied by alpha (integer division); only non-opaque images have alpha.
TEST(ImageLoadingTest, DecodedPixelsArePremultiplied) {
  struct Case {
    DWORD given;
    DWORD stored;
    bool alpha;
  };
  const Case cases[] = {
      {0xFF123456, 0xFF123456, false},  // opaque: copied unchanged
      {0x80FF0000, 0x80800000, true},   // 255 * 128 / 255 = 128
      {0x7FFFFFFF, 0x7F7F7F7F, true},
      {0x40C86432, 0x4032190C, true},   // 200, 100, 50 times 64 / 255: 50, 25, 12
      {0x00FFFFFF, 0x00000000, true},   // fully transparent keeps no colour
      {0x01FFFFFF, 0x01010101, true},
  };
  for (const Case& c : cases) {
    ImagePtr image = Decode(EncodePng({c.given}, 1, 1));
    ASSERT_NE(nullptr, image) << std::hex << c.given;
    EXPECT_EQ(1, image->width);
    EXPECT_EQ(1, image->height);
    EXPECT_EQ(c.stored, PixelOf(*image, 0, 0)) << std::hex << c.given;
    EXPECT_EQ(c.alpha, image->alpha) << std::hex << c.given;
  }
}

// The bitmap is top-down with the decoded size: the first row of the file is row 0.
TEST(ImageLoadingTest, BitmapIsTopDownWithDecodedSize) {
  const std::vector<DWORD> pixels = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000,
                                     0xFFFFFFFF, 0xFF000000, 0xFF808080};
  ImagePtr image = Decode(EncodePng(pixels, 3, 2));
  ASSERT_NE(nullptr, image);
  ASSERT_NE(nullptr, image->bitmap);
  BITMAP info = {};
  ASSERT_NE(0, ::GetObjectW(image->bitmap, sizeof(info), &info));
  EXPECT_EQ(3, info.bmWidth);
  EXPECT_EQ(2, info.bmHeight);
  EXPECT_EQ(32, info.bmBitsPixel);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pixels[i], PixelOf(*image, i % 3, i / 3)) << i;
  EXPECT_FALSE(image->alpha);
}

// The mask clears pixels equal to it, alpha included: a mask without alpha never hits opaque pixels.
TEST(ImageLoadingTest, MaskClearsExactlyMatchingPixels) {
  struct Case {
    const char* what;
    DWORD mask;
    DWORD white;  // what the opaque white pixel becomes
    DWORD red;    // what the opaque red pixel becomes
    bool alpha;
  };
  const Case cases[] = {
      {"no mask", 0, 0xFFFFFFFF, 0xFFFF0000, false},
      {"opaque white", 0xFFFFFFFF, 0, 0xFFFF0000, true},
      {"red written without alpha", 0x00FF0000, 0xFFFFFFFF, 0xFFFF0000, false},
      {"opaque red", 0xFFFF0000, 0xFFFFFFFF, 0, true},
  };
  for (const Case& c : cases) {
    ImagePtr image = Decode(EncodePng({0xFFFFFFFF, 0xFFFF0000}, 2, 1), c.mask);
    ASSERT_NE(nullptr, image) << c.what;
    EXPECT_EQ(c.white, PixelOf(*image, 0, 0)) << c.what;
    EXPECT_EQ(c.red, PixelOf(*image, 1, 0)) << c.what;
    EXPECT_EQ(c.alpha, image->alpha) << c.what;
    EXPECT_EQ(c.mask, image->mask) << c.what;
  }
  // A translucent pixel is matched in its premultiplied form.
  ImagePtr translucent = Decode(EncodePng({0x80FF0000}, 1, 1), 0x80800000);
  ASSERT_NE(nullptr, translucent);
  EXPECT_EQ(0u, PixelOf(*translucent, 0, 0));
}

// A "*COLOR*" image is one pixel of the colour read as hexadecimal, with or without "#".
TEST(ImageLoadingTest, ColorImageIsOnePixel) {
  struct Case {
    const wchar_t* name;
    DWORD stored;
    bool alpha;
  };
  const Case cases[] = {
      {L"#FF00FF00", 0xFF00FF00, false},
      {L"FF00FF00", 0xFF00FF00, false},
      {L"#80FF0000", 0x80800000, true},
      {L"#00FF00", 0x00000000, true},  // no alpha byte: fully transparent
  };
  for (const Case& c : cases) {
    ImagePtr image(CUIRender::LoadImage(c.name, kColorImageType));
    ASSERT_NE(nullptr, image) << c.name;
    EXPECT_EQ(1, image->width);
    EXPECT_EQ(1, image->height);
    EXPECT_EQ(c.stored, PixelOf(*image, 0, 0)) << c.name;
    EXPECT_EQ(c.alpha, image->alpha) << c.name;
  }
}

// Bytes that are no image, or a damaged one, give no image and do not crash.
TEST(ImageLoadingTest, MalformedBytesGiveNoImage) {
  std::string png = EncodePng(std::vector<DWORD>(64 * 64, 0xFF336699), 64, 64);
  std::string hugeHeader = png.substr(0, 33);
  // IHDR width and height set to 0x7FFFFFFF each.
  for (int i = 16; i < 24; ++i) hugeHeader[i] = (i == 16 || i == 20) ? '\x7F' : '\xFF';
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", std::string()},
      {"text", std::string("<Window size=\"420,300\"/>")},
      {"signature only", png.substr(0, 8)},
      {"cut in the header", png.substr(0, 20)},
      {"cut in the pixel data", png.substr(0, png.size() / 2)},
      {"absurd dimensions", hugeHeader},
      {"bitmap header only", std::string("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00", 14)},
  };
  for (const auto& c : cases) EXPECT_EQ(nullptr, Decode(c.bytes)) << c.what;
  EXPECT_EQ(nullptr, CUIRender::LoadImageFromMemory(nullptr, 10));
}

// Other formats stb_image reads load too (a 2 x 1 24-bit BMP, rows bottom-up in the file).
TEST(ImageLoadingTest, BmpDecodes) {
  const unsigned char bmp[] = {
      'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,            // file header
      40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
      8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0};  // red, blue, padding
  ImagePtr image(CUIRender::LoadImageFromMemory(bmp, sizeof(bmp)));
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(0xFFFF0000u, PixelOf(*image, 0, 0));
  EXPECT_EQ(0xFF0000FFu, PixelOf(*image, 1, 0));
  EXPECT_FALSE(image->alpha);
}

// Freeing without the record keeps the record but drops the bitmap and the pixel copy.
TEST(ImageLoadingTest, FreeImageKeepsRecordWhenAsked) {
  std::string png = EncodePng({0xFF000000}, 1, 1);
  UIImageInfo* image =
      CUIRender::LoadImageFromMemory(reinterpret_cast<const BYTE*>(png.data()), png.size());
  ASSERT_NE(nullptr, image);
  image->pixelCopy.assign(4, 1);
  CUIRender::FreeImage(image, false);
  EXPECT_EQ(nullptr, image->bitmap);
  EXPECT_EQ(nullptr, image->bits);
  EXPECT_TRUE(image->pixelCopy.empty());
  CUIRender::FreeImage(image, true);
}

}  // namespace
}  // namespace SkinUI
