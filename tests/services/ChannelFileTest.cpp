#include "services/ChannelFile.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

std::wstring ReadEntry(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[MAX_PATH] = {};
  ::GetPrivateProfileStringW(section, key, L"<missing>", value, MAX_PATH, file.c_str());
  return value;
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A profile folder pair below a temporary folder: …\AppData\Local, and the channel file
// that belongs to it in …\AppData\Roaming\Folvane.
class ChannelFileTest : public testing::Test {
 protected:
  std::wstring LocalFolder() const { return folder_.path() + L"\\AppData\\Local"; }
  std::wstring ChannelFile() const {
    return folder_.path() + L"\\AppData\\Roaming\\Folvane\\APP.ini";
  }
  void WriteExisting(const std::string& content) {
    ::CreateDirectoryW((folder_.path() + L"\\AppData").c_str(), nullptr);
    ::CreateDirectoryW((folder_.path() + L"\\AppData\\Roaming").c_str(), nullptr);
    ::CreateDirectoryW((folder_.path() + L"\\AppData\\Roaming\\Folvane").c_str(), nullptr);
    folder_.WriteFile(L"AppData\\Roaming\\Folvane\\APP.ini", content);
  }

  TempFolder folder_;
};

// The channel file sits in the roaming folder beside the local one.
TEST_F(ChannelFileTest, PathIsBesideTheLocalFolder) {
  EXPECT_EQ(ChannelFilePathFor(LocalFolder()), ChannelFile());
  EXPECT_EQ(ChannelFilePathFor(L"C:\\Users\\me\\AppData\\Local"),
            L"C:\\Users\\me\\AppData\\Roaming\\Folvane\\APP.ini");
}

// A first run on a clean profile creates the folders and the file with channel reduri,
// isrun 0 and native 0.
TEST_F(ChannelFileTest, CleanProfileGetsAllThreeEntries) {
  WriteChannelFileFor(LocalFolder());
  ASSERT_TRUE(Exists(ChannelFile()));
  EXPECT_EQ(ReadEntry(ChannelFile(), L"Install", L"channel"), L"reduri");
  EXPECT_EQ(ReadEntry(ChannelFile(), L"help", L"isrun"), L"0");
  EXPECT_EQ(ReadEntry(ChannelFile(), L"Install", L"native"), L"0");
}

struct ExistingCase {
  const char* name;
  const char* content;
  const wchar_t* expectedChannel;
};

// Only a missing channel or one that is exactly "error" becomes reduri; every other
// channel (another letter case, empty) stays. The two flags are reset every time and
// other entries are kept.
TEST_F(ChannelFileTest, ExistingFileKeepsItsChannelUnlessMissing) {
  const ExistingCase cases[] = {
      {"other channel", "[Install]\r\nchannel=store7\r\nnative=1\r\n[help]\r\nisrun=1\r\n",
       L"store7"},
      {"exactly error", "[Install]\r\nchannel=error\r\n", L"reduri"},
      {"error in capitals", "[Install]\r\nchannel=ERROR\r\n", L"ERROR"},
      {"empty channel", "[Install]\r\nchannel=\r\n", L""},
      {"no channel key", "[Install]\r\nnative=1\r\n", L"reduri"},
  };
  for (const ExistingCase& row : cases) {
    SCOPED_TRACE(row.name);
    WriteExisting(std::string(row.content) + "[Other]\r\nkeep=me\r\n");
    WriteChannelFileFor(LocalFolder());
    EXPECT_EQ(ReadEntry(ChannelFile(), L"Install", L"channel"), row.expectedChannel);
    EXPECT_EQ(ReadEntry(ChannelFile(), L"help", L"isrun"), L"0");
    EXPECT_EQ(ReadEntry(ChannelFile(), L"Install", L"native"), L"0");
    EXPECT_EQ(ReadEntry(ChannelFile(), L"Other", L"keep"), L"me");
  }
}

// A folder path that cannot hold the "\Local" ending, or whose roaming path would not fit
// MAX_PATH, writes nothing.
TEST_F(ChannelFileTest, UnusableFolderWritesNothing) {
  EXPECT_EQ(ChannelFilePathFor(L"C:\\"), L"");
  const std::wstring longLocal = folder_.path() + L"\\" + std::wstring(230, L'x') + L"\\Local";
  EXPECT_EQ(ChannelFilePathFor(longLocal), L"");
  WriteChannelFileFor(longLocal);
  EXPECT_FALSE(Exists(folder_.path() + L"\\" + std::wstring(230, L'x')));
}

// The real profile of the test prefix gets the file too.
TEST(ChannelFileProfileTest, WritesIntoTheUsersRoamingProfile) {
  wchar_t local[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, local, CSIDL_LOCAL_APPDATA, FALSE));
  const std::wstring file = ChannelFilePathFor(local);
  ASSERT_FALSE(file.empty());
  ::DeleteFileW(file.c_str());
  WriteChannelFile();
  EXPECT_EQ(ReadEntry(file, L"Install", L"channel"), L"reduri");
  EXPECT_EQ(ReadEntry(file, L"help", L"isrun"), L"0");
  ::DeleteFileW(file.c_str());
}

}  // namespace
