// What the render engine does where the system offers no AlphaBlend or GradientFill:
// the same source-over blend of premultiplied pixels, and a gradient made of solid bands.
#pragma once

#include <windows.h>

namespace SkinUI {

// One destination pixel (0xAARRGGBB) after source-over with a premultiplied source pixel,
// scaled first by the constant alpha; with perPixelAlpha off the source's alpha byte is
// ignored and the constant alpha alone weighs source against destination.
DWORD BlendPixel(DWORD destination, DWORD source, BYTE constantAlpha, bool perPixelAlpha);

// Same arguments and result as the system's AlphaBlend (source-over only). The source DC
// must hold a 32-bit DIB section and the source rectangle must lie inside it; the source
// is stretched to the destination by nearest pixel.
BOOL WINAPI SoftwareAlphaBlend(HDC destination, int x, int y, int width, int height, HDC source,
                               int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                               BLENDFUNCTION blend);

// Bands used for a gradient of the given number of steps: 2 below 4, 4 below 8, 8 below
// 16, 16 below 32, 32 below 64, else 64.
int GradientBandCount(int steps);

// Fills rect with bands of solid colour going from color1 to color2 (0xAARRGGBB, alpha
// ignored), top to bottom when vertical, else left to right.
void FillGradientBands(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical,
                       int steps);

}  // namespace SkinUI
