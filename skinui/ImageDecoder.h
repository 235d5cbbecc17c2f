// Turns image file bytes, or one colour, into the render engine's image record: a 32-bit
// top-down DIB section whose pixels are premultiplied by alpha once, at load time, so that
// every later draw is a single blend.
#pragma once

#include <windows.h>

#include <cstddef>

namespace SkinUI {

struct UIImageInfo;

// Decodes PNG, JPEG, BMP, GIF (first frame) and the other formats stb_image reads; none
// when the bytes are no image or the bitmap cannot be made.
UIImageInfo* DecodeImage(const BYTE* data, size_t size, DWORD mask);

// A 1 x 1 image of the colour 0xAARRGGBB.
UIImageInfo* MakeColorImage(DWORD color, DWORD mask);

// Pixels in stb_image's order (red, green, blue, alpha; width * height * 4 bytes) into a
// new image. Opaque pixels are copied; others are premultiplied and mark the image as
// having alpha. A pixel whose premultiplied value, alpha included, equals mask becomes
// fully transparent.
UIImageInfo* MakeImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask);

}  // namespace SkinUI
