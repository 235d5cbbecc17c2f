#include "skinui/ZipArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Extracts a whole entry; the status goes to *status.
std::vector<BYTE> Extract(ZipArchive* zip, const wchar_t* name, ArchiveStatus* status) {
  int32_t index = -1;
  ZipEntry entry;
  *status = FindZipEntry(zip, name, true, &index, &entry);
  if (*status != StatusOk) return {};
  std::vector<BYTE> bytes(entry.uncompressedSize);
  *status = ExtractZipEntry(zip, index, bytes.data(), entry.uncompressedSize, kZipSourceMemory);
  return bytes;
}

// Offset of the first data byte of an entry, found through its local header's name.
size_t LocalDataOffset(const std::vector<BYTE>& zip, const std::string& name) {
  auto found = std::search(zip.begin(), zip.end(), name.begin(), name.end());
  return static_cast<size_t>(found - zip.begin()) + name.size();
}

class ZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadSkinTestData(L"skin.zip");
    ASSERT_FALSE(bytes_.empty());
    zip_ = OpenZipArchive(bytes_.data(), static_cast<uint32_t>(bytes_.size()), kZipSourceMemory);
    ASSERT_NE(nullptr, zip_);
  }
  void TearDown() override { CloseZipArchive(zip_); }

  std::vector<BYTE> bytes_;
  ZipArchive* zip_ = nullptr;
};

// Entries are found by path with either separator; letter case only when asked to ignore it.
TEST_F(ZipArchiveTest, FindsEntriesByName) {
  struct Case {
    std::wstring name;
    bool ignoreCase;
    ArchiveStatus status;
    uint32_t size;
  };
  const Case cases[] = {
      {L"mainWnd.xml", false, StatusOk, 110},
      {L"res/mainWnd/bk01.png", false, StatusOk, 768},
      {L"res\\mainWnd\\bk01.png", false, StatusOk, 768},
      {L"RES\\MAINWND\\BK01.PNG", true, StatusOk, 768},
      {L"RES\\MAINWND\\BK01.PNG", false, StatusNotFound, 0},
      {L"empty.txt", true, StatusOk, 0},
      // A name stored as UTF-8 (flagged so in the archive) is matched in UTF-8.
      {L"res\\\x56FE\x6807.png", true, StatusOk, 16},
      {L"emptydir", true, StatusNotFound, 0},
      {L"res", true, StatusNotFound, 0},
      {L"missing.xml", true, StatusNotFound, 0},
      {L"", true, StatusNotFound, 0},
      {std::wstring(300, L'a'), true, StatusNotFound, 0},
      {std::wstring(256, L'a'), true, StatusNotFound, 0},
  };
  for (const Case& c : cases) {
    int32_t index = 77;
    ZipEntry entry;
    EXPECT_EQ(c.status, FindZipEntry(zip_, c.name.c_str(), c.ignoreCase, &index, &entry))
        << c.name.substr(0, 40);
    EXPECT_EQ(c.status, LastZipStatus());
    if (c.status != StatusOk) {
      EXPECT_EQ(-1, index);
      continue;
    }
    EXPECT_EQ(index, entry.index);
    EXPECT_EQ(c.size, entry.uncompressedSize) << c.name;
  }
  ZipEntry entry;
  int32_t index = -1;
  ASSERT_EQ(StatusOk, FindZipEntry(zip_, L"RES\\mainWnd\\BK01.png", true, &index, &entry));
  EXPECT_EQ(L"res/mainWnd/bk01.png", entry.name);
}

// Stored and deflated entries extract to their exact content; an empty entry is fine.
TEST_F(ZipArchiveTest, ExtractsStoredAndDeflatedEntries) {
  ArchiveStatus status = StatusArgs;
  EXPECT_EQ(ExpectedImageBytes(), Extract(zip_, L"res\\mainWnd\\bk01.png", &status));
  EXPECT_EQ(StatusOk, status);
  std::vector<BYTE> icon = Extract(zip_, L"res/mainWnd/deep/er/icon.ico", &status);
  EXPECT_EQ(StatusOk, status);
  EXPECT_EQ("icon bytes", std::string(icon.begin(), icon.end()));
  std::vector<BYTE> limit = Extract(zip_, L"limit.xml", &status);
  EXPECT_EQ(StatusOk, status);
  ASSERT_EQ(4194304u, limit.size());
  EXPECT_EQ("<a/> ", std::string(limit.begin(), limit.begin() + 5));
  EXPECT_TRUE(Extract(zip_, L"empty.txt", &status).empty());
  EXPECT_EQ(StatusOk, status);
}

// A buffer shorter than the entry is filled and reported with the "more" status.
TEST_F(ZipArchiveTest, ShortBufferReportsMore) {
  for (const wchar_t* name : {L"res/mainWnd/bk01.png", L"res/mainWnd/deep/er/icon.ico"}) {
    int32_t index = -1;
    ZipEntry entry;
    ASSERT_EQ(StatusOk, FindZipEntry(zip_, name, true, &index, &entry));
    std::vector<BYTE> part(4, 0xEE);
    EXPECT_EQ(StatusMore, ExtractZipEntry(zip_, index, part.data(), 3, kZipSourceMemory)) << name;
    EXPECT_EQ(0xEE, part[3]) << name;
  }
  int32_t index = -1;
  ZipEntry entry;
  ASSERT_EQ(StatusOk, FindZipEntry(zip_, L"res/mainWnd/bk01.png", true, &index, &entry));
  std::vector<BYTE> part(3);
  ExtractZipEntry(zip_, index, part.data(), 3, kZipSourceMemory);
  EXPECT_EQ((std::vector<BYTE>{0, 1, 2}), part);
}

// Missing handles, bad indexes and closed handles are refused with their statuses.
TEST_F(ZipArchiveTest, BadArgumentsAreRefused) {
  BYTE buffer[8];
  int32_t index = 0;
  ZipEntry entry;
  EXPECT_EQ(StatusArgs, FindZipEntry(nullptr, L"a", true, &index, &entry));
  EXPECT_EQ(StatusArgs, FindZipEntry(zip_, nullptr, true, &index, &entry));
  EXPECT_EQ(StatusArgs, ExtractZipEntry(nullptr, 0, buffer, 8, kZipSourceMemory));
  EXPECT_EQ(StatusArgs, ExtractZipEntry(zip_, 99, buffer, 8, kZipSourceMemory));
  EXPECT_EQ(StatusArgs, ExtractZipEntry(zip_, -1, buffer, 8, kZipSourceMemory));
  EXPECT_EQ(StatusArgs, ExtractZipEntry(zip_, 0, buffer, 8, kZipSourceFile));
  EXPECT_EQ(StatusArgs, CloseZipArchive(nullptr));
  EXPECT_EQ(nullptr, OpenZipArchive(nullptr, 10, kZipSourceMemory));
  EXPECT_EQ(nullptr, OpenZipArchive(bytes_.data(), 10, 7));
}

// Damage never crashes: a broken directory gives no handle, a broken entry a failure status.
TEST(ZipDamageTest, DamagedArchives) {
  const std::vector<BYTE> good = ReadSkinTestData(L"skin.zip");
  ASSERT_FALSE(good.empty());
  const size_t xmlData = LocalDataOffset(good, "mainWnd.xml");
  const size_t iconData = LocalDataOffset(good, "res/mainWnd/deep/er/icon.ico");
  auto changed = [&good](size_t offset, BYTE value) {
    std::vector<BYTE> bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  auto cut = [&good](size_t size) { return std::vector<BYTE>(good.begin(), good.begin() + size); };
  std::vector<BYTE> prefixed(1000, 'M');
  prefixed.insert(prefixed.end(), good.begin(), good.end());

  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    bool opens;
    ArchiveStatus xmlStatus;
    ArchiveStatus iconStatus;
  };
  const Case cases[] = {
      {"intact", good, true, StatusOk, StatusOk},
      {"program stub in front", prefixed, true, StatusOk, StatusOk},
      {"no end record", cut(good.size() - 40), false, 0, 0},
      {"only the first half", cut(good.size() / 2), false, 0, 0},
      {"too short for anything", cut(10), false, 0, 0},
      {"deflated data damaged", changed(xmlData + 3, good[xmlData + 3] ^ 0xFF), true,
       StatusCorrupt, StatusOk},
      {"stored data damaged", changed(iconData + 1, 'X'), true, StatusOk, StatusCorrupt},
      {"local header signature damaged", changed(xmlData - 11 - 30, 'Q'), true, StatusCorrupt,
       StatusOk},
  };
  for (const Case& c : cases) {
    ZipArchive* zip =
        OpenZipArchive(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), kZipSourceMemory);
    EXPECT_EQ(c.opens, zip != nullptr) << c.what;
    if (zip == nullptr) continue;
    ArchiveStatus status = StatusArgs;
    std::vector<BYTE> xml = Extract(zip, L"mainWnd.xml", &status);
    EXPECT_EQ(c.xmlStatus, status) << c.what;
    Extract(zip, L"res/mainWnd/deep/er/icon.ico", &status);
    EXPECT_EQ(c.iconStatus, status) << c.what;
    CloseZipArchive(zip);
  }
}

// An archive file is read through its path; a missing file gives no handle and a read status.
TEST(ZipFileTest, OpensFromFile) {
  std::wstring path = SkinTestDataFolder() + L"skin.zip";
  ZipArchive* zip = OpenZipArchive(path.c_str(), 0, kZipSourceFile);
  ASSERT_NE(nullptr, zip);
  ArchiveStatus status = StatusArgs;
  EXPECT_EQ(ExpectedImageBytes(), Extract(zip, L"RES/MAINWND/BK01.PNG", &status));
  EXPECT_EQ(StatusOk, status);
  CloseZipArchive(zip);

  std::wstring missing = SkinTestDataFolder() + L"missing.zip";
  EXPECT_EQ(nullptr, OpenZipArchive(missing.c_str(), 0, kZipSourceFile));
  EXPECT_EQ(StatusRead, LastZipStatus());
  std::wstring sevenZip = SkinTestDataFolder() + L"skin.7z";
  EXPECT_EQ(nullptr, OpenZipArchive(sevenZip.c_str(), 0, kZipSourceFile));
}

}  // namespace
}  // namespace SkinUI
