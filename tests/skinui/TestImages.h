// Image files made by the tests themselves, so every pixel of a decoded image is known.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {
struct UIImageInfo;
}

// A PNG of width x height pixels given as 0xAARRGGBB values, row by row.
std::string EncodePng(const std::vector<DWORD>& argb, int width, int height);

// An image record made from 0xAARRGGBB pixels through the engine's own loading rules;
// freed with the record when the holder goes.
class TestImage {
 public:
  TestImage(const std::vector<DWORD>& argb, int width, int height, DWORD mask = 0);
  ~TestImage();
  TestImage(const TestImage&) = delete;
  TestImage& operator=(const TestImage&) = delete;
  SkinUI::UIImageInfo* get() const { return image_; }
  SkinUI::UIImageInfo* operator->() const { return image_; }

 private:
  SkinUI::UIImageInfo* image_;
};
