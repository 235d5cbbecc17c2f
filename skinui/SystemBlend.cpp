#include "skinui/SystemBlend.h"

namespace SkinUI {

namespace {

BlendFunctions LookUpSystemFunctions() {
  BlendFunctions functions;
  // Loaded for the life of the process: the framework blends on every paint.
  HMODULE library = ::LoadLibraryW(L"msimg32.dll");
  if (library == nullptr) return functions;
  functions.alphaBlend = reinterpret_cast<AlphaBlendFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "AlphaBlend")));
  functions.gradientFill = reinterpret_cast<GradientFillFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "GradientFill")));
  return functions;
}

BlendFunctions& CurrentFunctions() {
  static BlendFunctions functions = LookUpSystemFunctions();
  return functions;
}

}  // namespace

const BlendFunctions& SystemBlendFunctions() { return CurrentFunctions(); }

BlendFunctions ReplaceSystemBlendFunctions(const BlendFunctions& functions) {
  BlendFunctions old = CurrentFunctions();
  CurrentFunctions() = functions;
  return old;
}

}  // namespace SkinUI
