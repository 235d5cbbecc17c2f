#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skinui/ImageSource.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

struct ImageDeleter {
  void operator()(UIImageInfo* image) const { CUIRender::FreeImage(image, true); }
};
using ImagePtr = std::unique_ptr<UIImageInfo, ImageDeleter>;

// The files of tests/skinui/data, copied beside the test program.
std::wstring DataFolder() {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module);
  return path.substr(0, path.rfind(L'\\') + 1) + L"skinui_data\\";
}

std::vector<BYTE> DataFile(const wchar_t* name) {
  std::vector<BYTE> bytes;
  ReadWholeFile(DataFolder() + name, &bytes);
  return bytes;
}

// The picture every source holds: red, green / blue, half-transparent white.
void ExpectDot(const UIImageInfo* image, const std::wstring& what) {
  ASSERT_NE(nullptr, image) << what;
  ASSERT_EQ(2, image->width) << what;
  ASSERT_EQ(2, image->height) << what;
  const DWORD* pixels = reinterpret_cast<const DWORD*>(image->bits);
  EXPECT_EQ(0xFFFF0000u, pixels[0]) << what;
  EXPECT_EQ(0xFF00FF00u, pixels[1]) << what;
  EXPECT_EQ(0xFF0000FFu, pixels[2]) << what;
  EXPECT_EQ(0x80808080u, pixels[3]) << what;
  EXPECT_TRUE(image->alpha) << what;
}

// Puts the process-wide skin source back to plain files in no folder.
class ImageSourceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CUIManager::ResetResourceArchive();
    CUIManager::SetResourcePath(L"");
    CUIManager::SetSevenZipArchive(false);
    CUIManager::SetInstance(nullptr);
  }
};

// Names are files below the resource path, then plain paths; missing or empty files give none.
TEST_F(ImageSourceTest, FolderAndPlainPath) {
  TempFolder folder;
  std::vector<BYTE> dot = DataFile(L"dot.png");
  ASSERT_FALSE(dot.empty());
  ::CreateDirectoryW((folder.path() + L"\\res").c_str(), nullptr);
  std::wstring full = folder.WriteFile(L"res\\dot.png", std::string(dot.begin(), dot.end()));
  folder.WriteFile(L"empty.png", std::string());
  folder.WriteFile(L"text.png", std::string("not a picture"));

  CUIManager::SetResourcePath(folder.path());
  ExpectDot(ImagePtr(CUIRender::LoadImage(L"res\\dot.png")).get(), L"below the resource path");
  ExpectDot(ImagePtr(CUIRender::LoadImage(L"res/dot.png")).get(), L"with a slash");
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res\\none.png")));
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"empty.png")));
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"text.png")));
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"")));

  CUIManager::SetResourcePath(DataFolder());
  ExpectDot(ImagePtr(CUIRender::LoadImage(full)).get(), L"full path as the last resort");
}

// 7z and zip archives, kept open or not, find items by any separator and case; others give none.
TEST_F(ImageSourceTest, ResourceArchives) {
  const struct {
    const wchar_t* archive;
    bool sevenZip;
    bool cached;
  } archives[] = {
      {L"images.7z", true, false}, {L"images.7z", true, true},
      {L"images.zip", false, false}, {L"images.zip", false, true},
  };
  for (const auto& a : archives) {
    std::wstring what = std::wstring(a.archive) + (a.cached ? L" cached" : L" opened per load");
    CUIManager::ResetResourceArchive();
    CUIManager::SetSevenZipArchive(a.sevenZip);
    CUIManager::SetResourcePath(DataFolder());
    CUIManager::SetResourceArchive(a.archive, a.cached);
    ExpectDot(ImagePtr(CUIRender::LoadImage(L"res/Img/dot.png")).get(), what);
    ExpectDot(ImagePtr(CUIRender::LoadImage(L"RES\\IMG\\DOT.PNG")).get(), what + L" any case");
    EXPECT_EQ(a.cached, CUIManager::CachedArchive().IsOpen()) << what;
    EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res/Img/empty.png"))) << what;
    EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res/Img"))) << what;
    EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res/Img/none.png"))) << what;
  }
  CUIManager::ResetResourceArchive();
  CUIManager::SetResourceArchive(L"no-such-archive.7z", true);
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res/Img/dot.png")));
}

// An archive held in memory serves images the same way.
TEST_F(ImageSourceTest, ArchiveInMemory) {
  for (bool sevenZip : {true, false}) {
    std::vector<BYTE> archive = DataFile(sevenZip ? L"images.7z" : L"images.zip");
    ASSERT_FALSE(archive.empty());
    CUIManager::ResetResourceArchive();
    CUIManager::SetSevenZipArchive(sevenZip);
    CUIManager::SetResourceArchiveMemory(archive.data(), static_cast<DWORD>(archive.size()));
    ExpectDot(ImagePtr(CUIRender::LoadImage(L"res\\img\\dot.png")).get(),
              sevenZip ? L"7z in memory" : L"zip in memory");
    EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"res\\img\\none.png")));
  }
}

// With a type the name is a program resource, numeric when it starts with a digit.
TEST_F(ImageSourceTest, ProgramResources) {
  CUIManager::SetInstance(::GetModuleHandleW(nullptr));
  ImagePtr byId(CUIRender::LoadImage(L"101", L"SKINPNG"));
  ExpectDot(byId.get(), L"by id");
  EXPECT_EQ(L"SKINPNG", byId->type);
  ExpectDot(ImagePtr(CUIRender::LoadImage(L"DOTPICTURE", L"SKINPNG")).get(), L"by name");
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"102", L"SKINPNG")));
  EXPECT_EQ(nullptr, ImagePtr(CUIRender::LoadImage(L"101", L"OTHERTYPE")));
}

}  // namespace
}  // namespace SkinUI
