#include "skinui/SevenZipArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinTestData.h"

namespace SkinUI {
namespace {

std::vector<BYTE> ExpectedImageBytes() {
  std::vector<BYTE> bytes;
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<BYTE>(i));
  return bytes;
}

std::vector<BYTE> ExtractByName(const SevenZipArchive* archive, const wchar_t* name) {
  uint32_t index = 0;
  uint64_t size = 0;
  if (FindSevenZipItem(archive, name, &index, &size) != StatusOk) return {};
  std::vector<BYTE> bytes(static_cast<size_t>(size));
  if (ExtractSevenZipItem(archive, index, bytes.data()) != StatusOk) return {};
  return bytes;
}

class SevenZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadSkinTestData(L"skin.7z");
    ASSERT_FALSE(bytes_.empty());
    archive_ = OpenSevenZipMemory(bytes_.data(), bytes_.size());
    ASSERT_NE(nullptr, archive_);
  }
  void TearDown() override { CloseSevenZip(archive_); }

  std::vector<BYTE> bytes_;
  SevenZipArchive* archive_ = nullptr;
};

// Items are found by path with either separator and any letter case; directories never.
TEST_F(SevenZipArchiveTest, FindsItemsByPath) {
  struct Case {
    const wchar_t* name;
    bool found;
    uint64_t size;
  };
  const Case cases[] = {
      {L"mainWnd.xml", true, 110},
      {L"res/mainWnd/bk01.png", true, 768},
      {L"res\\mainWnd\\bk01.png", true, 768},
      {L"RES\\MAINWND\\BK01.PNG", true, 768},
      {L"res/mainWnd/deep/er/icon.ico", true, 10},
      {L"Res\\mainwnd/Deep\\er/ICON.ico", true, 10},
      {L"res\\\x56FE\x6807.png", true, 16},
      {L"empty.txt", true, 0},
      {L"limit.xml", true, 4194304},
      {L"emptydir", false, 0},
      {L"res", false, 0},
      {L"res\\mainWnd", false, 0},
      {L"mainWnd.xm", false, 0},
      {L"mainWnd.xml2", false, 0},
      {L"\\mainWnd.xml", false, 0},
      {L"", false, 0},
  };
  EXPECT_EQ(7u, SevenZipItemCount(archive_));
  for (const Case& c : cases) {
    uint32_t index = 0xFFFF;
    uint64_t size = 12345;
    ArchiveStatus status = FindSevenZipItem(archive_, c.name, &index, &size);
    EXPECT_EQ(c.found ? StatusOk : StatusArgs, status) << c.name;
    if (c.found) {
      EXPECT_EQ(c.size, size) << c.name;
    }
  }
}

// Extraction gives each item's exact content; an empty item copies nothing.
TEST_F(SevenZipArchiveTest, ExtractsContent) {
  EXPECT_EQ(ExpectedImageBytes(), ExtractByName(archive_, L"RES\\mainWnd\\bk01.png"));
  std::vector<BYTE> icon = ExtractByName(archive_, L"res/mainWnd/deep/er/icon.ico");
  EXPECT_EQ("icon bytes", std::string(icon.begin(), icon.end()));
  std::vector<BYTE> xml = ExtractByName(archive_, L"mainWnd.xml");
  ASSERT_EQ(110u, xml.size());
  EXPECT_EQ("<?xml", std::string(xml.begin(), xml.begin() + 5));

  uint32_t index = 0;
  uint64_t size = 1;
  ASSERT_EQ(StatusOk, FindSevenZipItem(archive_, L"empty.txt", &index, &size));
  EXPECT_EQ(0u, size);
  BYTE untouched = 0xAB;
  EXPECT_EQ(StatusOk, ExtractSevenZipItem(archive_, index, &untouched));
  EXPECT_EQ(0xAB, untouched);
}

// The archive is read whole when it opens: the caller's bytes are not needed afterwards.
TEST_F(SevenZipArchiveTest, OpenedArchiveOwnsItsData) {
  std::fill(bytes_.begin(), bytes_.end(), 0);
  bytes_.clear();
  bytes_.shrink_to_fit();
  EXPECT_EQ(ExpectedImageBytes(), ExtractByName(archive_, L"res/mainWnd/bk01.png"));
}

// Missing handles, names and indexes give the argument status.
TEST_F(SevenZipArchiveTest, MissingArgumentsAreRefused) {
  uint32_t index = 0;
  uint64_t size = 0;
  BYTE buffer[4];
  EXPECT_EQ(StatusArgs, FindSevenZipItem(nullptr, L"mainWnd.xml", &index, &size));
  EXPECT_EQ(StatusArgs, FindSevenZipItem(archive_, nullptr, &index, &size));
  EXPECT_EQ(StatusArgs, ExtractSevenZipItem(nullptr, 0, buffer));
  EXPECT_EQ(StatusArgs, ExtractSevenZipItem(archive_, 999, buffer));
  EXPECT_EQ(StatusArgs, CloseSevenZip(nullptr));
  EXPECT_EQ(nullptr, OpenSevenZipMemory(nullptr, 10));
  EXPECT_EQ(nullptr, OpenSevenZipMemory(bytes_.data(), 0));
}

// Damaged archives never crash: an unreadable one gives no handle, damaged data ends the
// item list at the damaged entry and whatever was read before it stays correct.
TEST(SevenZipDamageTest, DamagedArchives) {
  const std::vector<BYTE> solid = ReadSkinTestData(L"skin.7z");
  const std::vector<BYTE> nonSolid = ReadSkinTestData(L"nonsolid.7z");
  ASSERT_FALSE(solid.empty());
  ASSERT_FALSE(nonSolid.empty());
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    bool opens;
  };
  auto flipped = [](std::vector<BYTE> bytes, size_t offset) {
    bytes[offset] ^= 0x5A;
    return bytes;
  };
  auto cut = [](const std::vector<BYTE>& bytes, size_t size) {
    return std::vector<BYTE>(bytes.begin(), bytes.begin() + size);
  };
  const Case cases[] = {
      {"signature only", cut(solid, 6), false},
      {"start header only", cut(solid, 32), false},
      {"half the archive", cut(solid, solid.size() / 2), false},
      {"last byte missing", cut(solid, solid.size() - 1), false},
      {"damaged start header", flipped(solid, 12), false},
      {"not an archive", std::vector<BYTE>(500, 'x'), false},
      {"damaged packed data, solid", flipped(solid, 40), true},
      {"damaged packed data, one block per file", flipped(nonSolid, 40), true},
      {"damaged last block", flipped(nonSolid, nonSolid.size() / 3), true},
  };
  SevenZipArchive* intact = OpenSevenZipMemory(nonSolid.data(), nonSolid.size());
  ASSERT_NE(nullptr, intact);
  for (const Case& c : cases) {
    SevenZipArchive* archive = OpenSevenZipMemory(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(c.opens, archive != nullptr) << c.what;
    if (archive == nullptr) continue;
    EXPECT_LT(SevenZipItemCount(archive), 7u) << c.what;
    for (const wchar_t* name : {L"mainWnd.xml", L"res/mainWnd/bk01.png", L"limit.xml"}) {
      std::vector<BYTE> read = ExtractByName(archive, name);
      if (!read.empty()) {
        EXPECT_EQ(ExtractByName(intact, name), read) << c.what;
      }
    }
    CloseSevenZip(archive);
  }
  CloseSevenZip(intact);
}

// A file archive is read like one in memory; an unreadable file still gives an empty handle.
TEST(SevenZipFileTest, OpensFromFile) {
  SevenZipArchive* archive = OpenSevenZipFile((SkinTestDataFolder() + L"skin.7z").c_str());
  ASSERT_NE(nullptr, archive);
  EXPECT_EQ(ExpectedImageBytes(), ExtractByName(archive, L"res\\mainWnd\\bk01.png"));
  CloseSevenZip(archive);

  EXPECT_EQ(nullptr, OpenSevenZipFile((SkinTestDataFolder() + L"missing.7z").c_str()));
  EXPECT_EQ(nullptr, OpenSevenZipFile(nullptr));

  SevenZipArchive* notSevenZip = OpenSevenZipFile((SkinTestDataFolder() + L"skin.zip").c_str());
  ASSERT_NE(nullptr, notSevenZip);
  EXPECT_EQ(0u, SevenZipItemCount(notSevenZip));
  uint32_t index = 0;
  uint64_t size = 0;
  EXPECT_EQ(StatusArgs, FindSevenZipItem(notSevenZip, L"mainWnd.xml", &index, &size));
  CloseSevenZip(notSevenZip);
}

}  // namespace
}  // namespace SkinUI
