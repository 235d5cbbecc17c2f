// The image-blending entry points of msimg32 (AlphaBlend, GradientFill). They are looked
// up at run time, because the program must start where the library or an entry point is
// missing; the render engine then uses its software equivalents.
#pragma once

#include <windows.h>

namespace SkinUI {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct BlendFunctions {
  AlphaBlendFunction alphaBlend = nullptr;
  GradientFillFunction gradientFill = nullptr;
};

// The system's entry points, looked up on first use; a member is null where the system
// has none.
const BlendFunctions& SystemBlendFunctions();

// Replaces the entry points the render engine uses (null members select the software
// path) and answers the ones replaced, so a caller can put them back.
BlendFunctions ReplaceSystemBlendFunctions(const BlendFunctions& functions);

}  // namespace SkinUI
