#include "pipeline/EarlierInstallation.h"
#include "pipeline/RegistryString.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

// A key of its own below HKEY_CURRENT_USER of the test prefix, removed afterwards.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    subkey_ = L"Software\\FolvaneTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::wstring(name.begin(), name.end());
  }
  void TearDown() override {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, subkey_.c_str());
  }

  // Stores raw bytes as a value, for values written by other programs.
  void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
  }

  std::wstring subkey_;
};

// Written texts read back unchanged, including empty, long and non-Latin ones.
TEST_F(RegistryTest, WritesAndReadsTexts) {
  for (const std::wstring& text : {std::wstring(L"C:\\Program Files (x86)\\Folvane"),
                                   std::wstring(), std::wstring(L"D:\\\u6587\u4EF6"),
                                   std::wstring(600, L'p')}) {
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, subkey_, L"InstallPath", text));
    std::wstring read = L"unchanged";
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, subkey_, L"InstallPath", read));
    EXPECT_EQ(read, text);
  }
}

// A value stored without its terminating NUL reads whole and without garbage.
TEST_F(RegistryTest, ReadsValuesWithoutTerminator) {
  const wchar_t text[] = {L'C', L':', L'\\', L'X'};
  SetRaw(L"InstallPath", REG_SZ, text, sizeof(text));
  std::wstring read;
  EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, subkey_, L"InstallPath", read));
  EXPECT_EQ(read, L"C:\\X");
}

// A missing key or value, or a non-text value, answers false and leaves the string alone.
TEST_F(RegistryTest, MissingValuesLeaveTheStringAlone) {
  std::wstring read = L"kept";
  EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, subkey_, L"InstallPath", read));
  const DWORD number = 7;
  SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
  EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, subkey_, L"InstallPath", read));
  EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, subkey_, L"Number", read));
  EXPECT_EQ(read, L"kept");
}

// The record gives folder and uninstaller; a missing "UnInstallEp" means "<folder>\uninst.data".
TEST_F(RegistryTest, ReadsTheEarlierInstallation) {
  EarlierInstallation none = ReadEarlierInstallation(HKEY_CURRENT_USER, subkey_);
  EXPECT_TRUE(none.installFolder.empty());
  EXPECT_TRUE(none.uninstallDataPath.empty());

  ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, subkey_, kInstallPathValue, L"C:\\X\\Folvane"));
  EarlierInstallation derived = ReadEarlierInstallation(HKEY_CURRENT_USER, subkey_);
  EXPECT_EQ(derived.installFolder, L"C:\\X\\Folvane");
  EXPECT_EQ(derived.uninstallDataPath, L"C:\\X\\Folvane\\uninst.data");

  ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, subkey_, kUninstallDataValue, L"C:\\X\\u.exe"));
  EXPECT_EQ(ReadEarlierInstallation(HKEY_CURRENT_USER, subkey_).uninstallDataPath, L"C:\\X\\u.exe");
}

struct OverCase {
  const char* name;
  std::wstring chosenSuffix;  // below the test folder; the earlier folder is "Folvane"
  const char* config;         // content of the chosen folder's "config"; null: no file
  bool canInstallOver;
};

// Only the same folder (any case) whose config allows it, or is silent, is installed over.
TEST(CanInstallOverTest, FollowsFolderAndConfig) {
  const std::vector<OverCase> cases = {
      {"same folder, no config", L"Folvane", nullptr, true},
      {"same folder, other letter case", L"FOLVANE", nullptr, true},
      {"same folder, trailing backslash", L"Folvane\\", nullptr, true},
      {"same folder, IsOverride true", L"Folvane", "[Uninstall]\r\nIsOverride=true\r\n", true},
      {"same folder, IsOverride false", L"Folvane", "[Uninstall]\r\nIsOverride=false\r\n", false},
      {"same folder, IsOverride True", L"Folvane", "[Uninstall]\r\nIsOverride=True\r\n", false},
      {"same folder, config without the key", L"Folvane", "[Other]\r\nIsOverride=false\r\n", true},
      {"another folder", L"Other", nullptr, false},
      {"another folder, IsOverride true", L"Other", "[Uninstall]\r\nIsOverride=true\r\n", false},
      {"a folder inside", L"Folvane\\Sub", nullptr, false},
  };
  for (const OverCase& c : cases) {
    TempFolder folder;
    const std::wstring earlier = folder.path() + L"\\Folvane";
    const std::wstring chosen = folder.path() + L"\\" + c.chosenSuffix;
    ::CreateDirectoryW(earlier.c_str(), nullptr);
    ::CreateDirectoryW((folder.path() + L"\\Other").c_str(), nullptr);
    ::CreateDirectoryW((earlier + L"\\Sub").c_str(), nullptr);
    if (c.config) {
      std::wstring relative = c.chosenSuffix;
      if (!relative.empty() && relative.back() == L'\\') relative.pop_back();
      folder.WriteFile(relative + L"\\config", c.config);
    }
    EXPECT_EQ(CanInstallOver(earlier, chosen), c.canInstallOver) << c.name;
  }
  // Without an earlier folder there is nothing to install over.
  EXPECT_FALSE(CanInstallOver(L"", L"C:\\Folvane"));
}

}  // namespace
