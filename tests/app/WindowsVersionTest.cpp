#include "app/WindowsVersion.h"

#include <gtest/gtest.h>

#include "app/InstallerSettings.h"

namespace {

// Every row of the version-name table, with the build number's low 16 bits.
TEST(WindowsVersion, NameTable) {
  struct Row { DWORD major, minor, build; bool r2; const wchar_t* name; };
  const Row rows[] = {
      {0, 0, 0, false, L"XP-"},        {4, 10, 1998, false, L"XP-"},
      {5, 0, 2195, false, L"2K"},      {5, 1, 2600, false, L"XP"},
      {5, 2, 3790, false, L"Server 2003"}, {5, 2, 3790, true, L"Server 2003 R2"},
      {5, 3, 0, false, L"XP+"},        {6, 0, 6002, false, L"Vista"},
      {6, 1, 7601, false, L"7"},       {6, 2, 9200, false, L"8"},
      {6, 3, 9600, false, L"8.1"},     {6, 4, 9841, false, L"8.1+"},
      {10, 0, 19045, false, L"10"},    {10, 0, 22631, false, L"10"},
      {10, 1, 0, false, L"10+"},       {7, 0, 5, false, L"7.0.5"},
      {11, 2, 30000, false, L"11.2.30000"},
      {11, 0, 0xF0005A28u, false, L"11.0.23080"},  // only the low 16 bits of the build
  };
  for (const Row& row : rows)
    EXPECT_EQ(VersionNameFromNumbers(row.major, row.minor, row.build, row.r2), row.name)
        << row.major << "." << row.minor;
}

// The machine answers a name and the family "Windows".
TEST(WindowsVersion, RealSystem) {
  std::wstring family = L"x", version = L"x";
  GetWindowsVersionName(family, version);
  EXPECT_EQ(family, L"Windows");
  EXPECT_FALSE(version.empty());
}

// IsWow64Process missing: false; succeeded: its answer; failed: the native processor
// decides (x64 and Itanium count as 64-bit).
TEST(WindowsVersion, Wow64Table) {
  struct Row { bool found, succeeded; BOOL reported; WORD arch; bool answer; };
  const Row rows[] = {
      {false, false, TRUE, PROCESSOR_ARCHITECTURE_AMD64, false},
      {true, true, TRUE, PROCESSOR_ARCHITECTURE_INTEL, true},
      {true, true, FALSE, PROCESSOR_ARCHITECTURE_AMD64, false},
      {true, false, FALSE, PROCESSOR_ARCHITECTURE_AMD64, true},
      {true, false, FALSE, PROCESSOR_ARCHITECTURE_IA64, true},
      {true, false, FALSE, PROCESSOR_ARCHITECTURE_INTEL, false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Wow64Answer(row.found, row.succeeded, row.reported, row.arch), row.answer);
  // A 64-bit test program is not a WOW64 process.
  EXPECT_FALSE(IsRunningUnderWow64());
}

// Routes: anything named with "XP" takes the XP route; the 64-bit route needs a listed
// product and WOW64, which is asked only then; product 1000 never takes it.
TEST(WindowsVersion, RouteTable) {
  struct Row { const wchar_t* version; int product; bool wow64; const wchar_t* route; bool asked; };
  const Row rows[] = {
      {L"XP", 134, true, L"download_silent_xp", false},
      {L"XP-", 1000, false, L"download_silent_xp", false},
      {L"XP+", 1000, false, L"download_silent_xp", false},
      {L"2K", 1000, true, L"download_silent", false},
      {L"Server 2003", 1000, true, L"download_silent", false},
      {L"10", 1000, true, L"download_silent", false},
      {L"10", 134, true, L"download_silent_64", true},
      {L"7", 318, false, L"download_silent", true},
      {L"xp", 1000, false, L"download_silent", false},
  };
  for (const Row& row : rows) {
    bool asked = false;
    auto isWow64 = [&] { asked = true; return row.wow64; };
    EXPECT_EQ(ChooseRoute(row.version, row.product, isWow64), row.route) << row.version;
    EXPECT_EQ(asked, row.asked) << row.version;
  }
}

// Text without a placeholder is answered unchanged.
TEST(WindowsVersion, ExpandRouteLeavesPlainAddresses) {
  EXPECT_EQ(ExpandRoute(L"https://h/a?b=${ROUTE"), L"https://h/a?b=${ROUTE");
  EXPECT_EQ(ExpandRoute(L"${ROUTE}${ROUTE}"), L"download_silentdownload_silent");
}

}  // namespace
