#include <gtest/gtest.h>

#include <string>

#include "SkinWindowSupport.h"

namespace SkinUI {
namespace {

// Run only as the child of SkinError.BoxThenExitCodeOne: a skin that cannot be built.
TEST(SkinErrorChild, DISABLED_MissingSkinEndsTheProcess) {
  TextSkinWindow window(L"no-such-skin.xml");
  window.Open();
  ADD_FAILURE() << "the process should have ended";
}

// A skin that cannot be built shows the "SkinUI" error box, then the process exits with 1.
TEST(SkinError, BoxThenExitCodeOne) {
  std::wstring text;
  EXPECT_EQ(RunSkinErrorChild(L"SkinErrorChild.DISABLED_MissingSkinEndsTheProcess", text), 1);
  EXPECT_EQ(text, kSkinErrorText);
}

}  // namespace
}  // namespace SkinUI
