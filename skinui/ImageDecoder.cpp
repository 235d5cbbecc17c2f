#include "skinui/ImageDecoder.h"

#include <climits>

#include "skinui/UIRender.h"
#include "utils/ScopedHandle.h"

// stb_image is third-party code compiled here once; its warnings are not ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace SkinUI {

namespace {

struct StbPixels {
  stbi_uc* data = nullptr;
  ~StbPixels() { stbi_image_free(data); }
};

}  // namespace

UIImageInfo* MakeImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask) {
  if (rgba == nullptr || width <= 0 || height <= 0) return nullptr;
  BYTE* bits = nullptr;
  Utils::ScopedBitmap bitmap(CUIRender::CreatePixelBitmap(nullptr, width, height, &bits));
  if (!bitmap || bits == nullptr) return nullptr;

  bool hasAlpha = false;
  DWORD* out = reinterpret_cast<DWORD*>(bits);
  size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) {
    const BYTE* in = rgba + i * 4;
    DWORD red = in[0], green = in[1], blue = in[2], alpha = in[3];
    if (alpha != 255) {
      red = red * alpha / 255;
      green = green * alpha / 255;
      blue = blue * alpha / 255;
      hasAlpha = true;
    }
    DWORD pixel = (alpha << 24) | (red << 16) | (green << 8) | blue;
    // The comparison includes alpha: a mask written without an alpha byte never matches
    // an opaque pixel.
    if (pixel == mask) {
      pixel = 0;
      hasAlpha = true;
    }
    out[i] = pixel;
  }

  auto* image = new UIImageInfo;
  image->bitmap = bitmap.release();
  image->bits = bits;
  image->width = width;
  image->height = height;
  image->alpha = hasAlpha;
  image->mask = mask;
  return image;
}

UIImageInfo* DecodeImage(const BYTE* data, size_t size, DWORD mask) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return nullptr;
  int width = 0, height = 0, channels = 0;
  StbPixels pixels;
  pixels.data = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
  if (pixels.data == nullptr) return nullptr;
  return MakeImageFromRgba(pixels.data, width, height, mask);
}

UIImageInfo* MakeColorImage(DWORD color, DWORD mask) {
  BYTE rgba[4] = {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8),
                  static_cast<BYTE>(color), static_cast<BYTE>(color >> 24)};
  return MakeImageFromRgba(rgba, 1, 1, mask);
}

}  // namespace SkinUI
