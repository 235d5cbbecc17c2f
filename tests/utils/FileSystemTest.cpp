#include "utils/FileSystem.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

bool IsFolder(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every missing level is made, with or without a final backslash, and an existing tree
// is accepted as it is.
TEST(CreateDirectoryTree, MakesEveryLevel) {
  TempFolder root;
  const std::wstring deep = root.path() + L"\\a\\b\\c";
  EXPECT_TRUE(Utils::CreateDirectoryTree(deep));
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_TRUE(Utils::CreateDirectoryTree(deep));
  EXPECT_TRUE(Utils::CreateDirectoryTree(root.path() + L"\\x\\y\\"));
  EXPECT_TRUE(IsFolder(root.path() + L"\\x\\y"));
}

// A file in the way stops the walk with false; the folders made before it stay.
TEST(CreateDirectoryTree, FailsAtAFileAndKeepsWhatItMade) {
  TempFolder root;
  ASSERT_TRUE(Utils::CreateDirectoryTree(root.path() + L"\\made"));
  root.WriteFile(L"made\\blocker", "x");
  EXPECT_FALSE(Utils::CreateDirectoryTree(root.path() + L"\\made\\blocker\\inner\\leaf"));
  EXPECT_TRUE(IsFolder(root.path() + L"\\made"));
  EXPECT_FALSE(IsFolder(root.path() + L"\\made\\blocker\\inner"));
}

// Paths beyond MAX_PATH are refused before anything is created.
TEST(CreateDirectoryTree, RefusesLongPaths) {
  TempFolder root;
  std::wstring longPath = root.path() + L"\\first\\" + std::wstring(300, L'n');
  EXPECT_FALSE(Utils::CreateDirectoryTree(longPath));
  EXPECT_FALSE(IsFolder(root.path() + L"\\first"));
  EXPECT_FALSE(Utils::CreateDirectoryTree(L""));
}

// The work folder is "<temp>~ZarnTemp\", made once and found again afterwards.
TEST(TempWorkFolder, MadeBelowTheTemporaryPath) {
  TempFolder root;
  const std::wstring temp = root.path() + L"\\";
  const std::wstring expected = temp + L"~ZarnTemp\\";
  EXPECT_EQ(Utils::GetTempWorkFolderIn(temp), expected);
  EXPECT_TRUE(IsFolder(expected));
  EXPECT_EQ(Utils::GetTempWorkFolderIn(temp), expected);
}

// No folder can be had: a missing parent, a path too long, or no temporary path at all.
TEST(TempWorkFolder, EmptyWhenItCannotBeMade) {
  TempFolder root;
  EXPECT_EQ(Utils::GetTempWorkFolderIn(root.path() + L"\\missing\\"), L"");
  EXPECT_EQ(Utils::GetTempWorkFolderIn(root.path() + L"\\" + std::wstring(250, L't') + L"\\"), L"");
  EXPECT_EQ(Utils::GetTempWorkFolderIn(L""), L"");
}

// The real call uses the process's temporary path.
TEST(TempWorkFolder, RealTemporaryPath) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  EXPECT_EQ(Utils::GetTempWorkFolder(), std::wstring(temp) + L"~ZarnTemp\\");
}

}  // namespace
