// Runs a drawing test once with the system's AlphaBlend and GradientFill and once with the
// render engine's software equivalents, which must give the same pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "skinui/SystemBlend.h"

class BlendPaths : public ::testing::TestWithParam<bool> {
 protected:
  bool software() const { return GetParam(); }
  void SetUp() override {
    if (software()) saved_ = SkinUI::ReplaceSystemBlendFunctions(SkinUI::BlendFunctions());
  }
  void TearDown() override {
    if (software()) SkinUI::ReplaceSystemBlendFunctions(saved_);
  }

 private:
  SkinUI::BlendFunctions saved_;
};

inline std::string BlendPathName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Software" : "System";
}
