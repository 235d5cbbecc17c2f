#include "TestImages.h"

#include "skinui/ImageDecoder.h"
#include "skinui/UIRender.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

std::vector<BYTE> ToRgba(const std::vector<DWORD>& argb) {
  std::vector<BYTE> rgba;
  for (DWORD pixel : argb) {
    rgba.push_back(static_cast<BYTE>(pixel >> 16));
    rgba.push_back(static_cast<BYTE>(pixel >> 8));
    rgba.push_back(static_cast<BYTE>(pixel));
    rgba.push_back(static_cast<BYTE>(pixel >> 24));
  }
  return rgba;
}

void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

}  // namespace

std::string EncodePng(const std::vector<DWORD>& argb, int width, int height) {
  std::vector<BYTE> rgba = ToRgba(argb);
  std::string png;
  stbi_write_png_to_func(AppendBytes, &png, width, height, 4, rgba.data(), width * 4);
  return png;
}

TestImage::TestImage(const std::vector<DWORD>& argb, int width, int height, DWORD mask)
    : image_(SkinUI::MakeImageFromRgba(ToRgba(argb).data(), width, height, mask)) {}

TestImage::~TestImage() { SkinUI::CUIRender::FreeImage(image_, true); }
