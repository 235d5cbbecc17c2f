#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SkinTestData.h"
#include "skinui/SkinXml.h"
#include "skinui/UIManager.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

constexpr size_t kLimit = 4 * 1024 * 1024;

// Leaves the process-wide skin source as it found it: plain files, no folder, zip archives.
class SkinSourceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CUIManager::ResetResourceArchive();
    CUIManager::SetResourcePath(L"");
    CUIManager::SetSevenZipArchive(false);
  }

  // Loads name and answers "" on success, else the error message.
  static std::wstring Load(const wchar_t* name) {
    CSkinXml xml;
    bool loaded = xml.LoadFile(name);
    std::wstring message = xml.ErrorMessage();
    if (loaded) {
      EXPECT_TRUE(xml.Root().IsValid()) << name;
      EXPECT_EQ(L"", std::wstring(xml.ErrorLocation())) << name;
      return L"";
    }
    EXPECT_FALSE(xml.Root().IsValid()) << name;
    EXPECT_EQ(L"", std::wstring(xml.ErrorLocation())) << name;
    return message;
  }
};

// Files in the skin folder load up to exactly 4 MiB; each failure has its message.
TEST_F(SkinSourceTest, FolderFiles) {
  TempFolder folder;
  const std::string xml = "<Window size=\"1,2\"><Label/></Window>";
  folder.WriteFile(L"plain.xml", xml);
  folder.WriteFile(L"bom.xml", "\xEF\xBB\xBF" + xml);
  folder.WriteFile(L"empty.xml", "");
  folder.WriteFile(L"limit.xml", "<a/>" + std::string(kLimit - 4, ' '));
  folder.WriteFile(L"toolarge.xml", "<a/>" + std::string(kLimit - 3, ' '));
  folder.WriteFile(L"broken.xml", "<a></b>");
  ::CreateDirectoryW((folder.path() + L"\\sub").c_str(), nullptr);
  folder.WriteFile(L"sub\\nested.xml", xml);
  CUIManager::SetResourcePath(folder.path());

  struct Case {
    const wchar_t* name;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"plain.xml", L""},
      {L"bom.xml", L""},
      {L"sub\\nested.xml", L""},
      {L"limit.xml", L""},
      {L"toolarge.xml", L"File too large"},
      {L"empty.xml", L"File is empty"},
      {L"missing.xml", L"Error opening file"},
      {L"sub", L"Error opening file"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.message, Load(c.name)) << c.name;

  // A parse failure keeps its own message and location.
  CSkinXml broken;
  EXPECT_FALSE(broken.LoadFile(L"broken.xml"));
  EXPECT_STREQ(L"Unmatched closing tag", broken.ErrorMessage());
  EXPECT_STREQ(L"b>", broken.ErrorLocation());
  CSkinXml withBom;
  CSkinXml withoutBom;
  ASSERT_TRUE(withBom.LoadFile(L"bom.xml"));
  ASSERT_TRUE(withoutBom.LoadFile(L"plain.xml"));
  EXPECT_STREQ(withoutBom.Root().Name(), withBom.Root().Name());
  EXPECT_STREQ(withoutBom.Root().AttributeValue(0), withBom.Root().AttributeValue(0));
  EXPECT_EQ(withoutBom.ElementCount(), withBom.ElementCount());
}

// The same names read from each kind of resource archive give the same results.
TEST_F(SkinSourceTest, ArchiveItems) {
  struct Source {
    const char* what;
    bool sevenZip;
    const wchar_t* archive;  // null: the archive is set from memory
    bool cached;
  };
  const Source sources[] = {
      {"7z file, cached", true, L"skin.7z", true},
      {"7z file, opened per load", true, L"skin.7z", false},
      {"7z in memory", true, nullptr, true},
      {"zip file, cached", false, L"skin.zip", true},
      {"zip file, opened per load", false, L"skin.zip", false},
      {"zip in memory", false, nullptr, true},
  };
  struct Case {
    const wchar_t* name;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"mainWnd.xml", L""},
      {L"MAINWND.XML", L""},
      {L"limit.xml", L""},
      {L"toolarge.xml", L"File too large"},
      {L"empty.txt", L"File is empty"},
      {L"missing.xml", L"Could not find ziped file"},
      {L"emptydir", L"Could not find ziped file"},
      {L"res\\mainWnd", L"Could not find ziped file"},
  };
  for (const Source& source : sources) {
    CUIManager::ResetResourceArchive();
    CUIManager::SetSevenZipArchive(source.sevenZip);
    CUIManager::SetResourcePath(SkinTestDataFolder());
    std::vector<BYTE> memory;
    if (source.archive != nullptr) {
      CUIManager::SetResourceArchive(source.archive, source.cached);
    } else {
      memory = ReadSkinTestData(source.sevenZip ? L"skin.7z" : L"skin.zip");
      CUIManager::SetResourceArchiveMemory(memory.data(), static_cast<DWORD>(memory.size()));
      // The manager keeps what it needs: the caller's copy may go away.
      std::fill(memory.begin(), memory.end(), 0);
    }
    for (const Case& c : cases) EXPECT_EQ(c.message, Load(c.name)) << source.what << ": " << c.name;
    CSkinXml xml;
    ASSERT_TRUE(xml.LoadFile(L"mainWnd.xml")) << source.what;
    EXPECT_STREQ(L"Window", xml.Root().Name());
    EXPECT_STREQ(L"Label", xml.Root().FirstChild().Name());
  }
}

// Archives that cannot be opened or items that cannot be decompressed have their messages.
TEST_F(SkinSourceTest, BrokenArchives) {
  TempFolder folder;
  std::vector<BYTE> zip = ReadSkinTestData(L"skin.zip");
  std::vector<BYTE> sevenZip = ReadSkinTestData(L"skin.7z");
  ASSERT_FALSE(zip.empty());
  const std::string name = "mainWnd.xml";
  size_t data = static_cast<size_t>(
      std::search(zip.begin(), zip.end(), name.begin(), name.end()) - zip.begin() + name.size());
  zip[data + 3] ^= 0xFF;
  folder.WriteFile(L"damaged.zip", std::string(zip.begin(), zip.end()));
  folder.WriteFile(L"half.7z", std::string(sevenZip.begin(), sevenZip.begin() + sevenZip.size() / 2));
  folder.WriteFile(L"notzip.zip", "this is no archive at all, not even close to one");
  CUIManager::SetResourcePath(folder.path());

  struct Case {
    const char* what;
    bool sevenZip;
    const wchar_t* archive;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"missing zip", false, L"missing.zip", L"Error opening zip file"},
      {"missing 7z", true, L"missing.7z", L"Error opening zip file"},
      {"not a zip", false, L"notzip.zip", L"Error opening zip file"},
      {"damaged zip entry", false, L"damaged.zip", L"Could not unzip file"},
      // An undecodable 7z file opens empty, so nothing is ever found in it.
      {"undecodable 7z", true, L"half.7z", L"Could not find ziped file"},
  };
  for (const Case& c : cases) {
    for (bool cached : {true, false}) {
      CUIManager::ResetResourceArchive();
      CUIManager::SetSevenZipArchive(c.sevenZip);
      CUIManager::SetResourceArchive(c.archive, cached);
      EXPECT_EQ(c.message, Load(L"mainWnd.xml")) << c.what << (cached ? " cached" : "");
    }
  }

  // An archive in memory that cannot be decoded leaves every load failing to open it.
  CUIManager::ResetResourceArchive();
  CUIManager::SetSevenZipArchive(true);
  CUIManager::SetResourceArchiveMemory(sevenZip.data(), static_cast<DWORD>(sevenZip.size() / 2));
  EXPECT_EQ(L"Error opening zip file", Load(L"mainWnd.xml"));
}

// The first archive set from memory stays: windows opened later share it.
TEST_F(SkinSourceTest, MemoryArchiveIsSetOnce) {
  CUIManager::SetSevenZipArchive(true);
  std::vector<BYTE> first = ReadSkinTestData(L"skin.7z");
  CUIManager::SetResourceArchiveMemory(first.data(), static_cast<DWORD>(first.size()));
  ResourceArchiveHandle shared = CUIManager::CachedArchive();
  ASSERT_TRUE(shared.IsOpen());
  EXPECT_EQ(L"membuffer", CUIManager::ResourceArchive());

  std::vector<BYTE> second(100, 'x');
  CUIManager::SetResourceArchiveMemory(second.data(), static_cast<DWORD>(second.size()));
  EXPECT_EQ(shared.sevenZip, CUIManager::CachedArchive().sevenZip);
  EXPECT_EQ(L"", Load(L"mainWnd.xml"));

  // Setting a file archive replaces it; going back to no archive reads the folder again.
  CUIManager::SetResourceArchive(L"", false);
  EXPECT_FALSE(CUIManager::CachedArchive().IsOpen());
  CUIManager::SetResourcePath(SkinTestDataFolder());
  EXPECT_EQ(L"Error opening file", Load(L"mainWnd.xml"));
}

// A cached archive file is opened by the first load and kept for every later one; an
// archive that is not cached is opened and closed by each load.
TEST_F(SkinSourceTest, CachedArchiveFileStaysOpen) {
  CUIManager::SetResourcePath(SkinTestDataFolder());
  for (bool sevenZip : {true, false}) {
    CUIManager::SetSevenZipArchive(sevenZip);
    CUIManager::SetResourceArchive(sevenZip ? L"skin.7z" : L"skin.zip", true);
    EXPECT_FALSE(CUIManager::CachedArchive().IsOpen());
    EXPECT_EQ(L"", Load(L"mainWnd.xml"));
    ResourceArchiveHandle first = CUIManager::CachedArchive();
    ASSERT_TRUE(first.IsOpen());
    EXPECT_EQ(L"Could not find ziped file", Load(L"missing.xml"));
    EXPECT_EQ(L"", Load(L"MainWnd.xml"));
    EXPECT_EQ(first.sevenZip, CUIManager::CachedArchive().sevenZip);
    EXPECT_EQ(first.zip, CUIManager::CachedArchive().zip);

    CUIManager::SetResourceArchive(sevenZip ? L"skin.7z" : L"skin.zip", false);
    EXPECT_EQ(L"", Load(L"mainWnd.xml"));
    EXPECT_FALSE(CUIManager::CachedArchive().IsOpen());
  }
}

}  // namespace
}  // namespace SkinUI
