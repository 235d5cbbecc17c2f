#include "app/InstallerSettings.h"

#include <windows.h>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

// The test machine is Wine reporting a Windows 10-family system, whose route is this.
constexpr wchar_t kLocalRoute[] = L"download_silent";

class InstallerSettingsTest : public testing::Test {
 protected:
  std::wstring WriteConfig(const std::string& text) {
    return folder_.WriteFile(L"ZarnInstallerConfig.ini", text);
  }
  TempFolder folder_;
};

// Without file and options: the built-in defaults.
TEST_F(InstallerSettingsTest, BuiltInDefaults) {
  InstallerSettings settings;
  settings.LoadConfigFile(folder_.path() + L"\\ZarnInstallerConfig.ini");
  settings.ApplyCommandLine(L"setup.exe");
  EXPECT_EQ(settings.DownloadUrl, kBuiltInDownloadUrl);
  EXPECT_EQ(settings.DownloadUrl,
            L"https://download.folvane.example/openapi/download?ch=10009&app=50005");
  EXPECT_FALSE(settings.IsCheckNet);
  EXPECT_DOUBLE_EQ(settings.DownloadScale, 0.7);
  EXPECT_EQ(settings.InstCmd, L"");
  EXPECT_TRUE(settings.HttpReady);
  EXPECT_EQ(settings.SellVersion, L"IN");
}

// A file with an empty "Install" section turns the network check on (the file default),
// and leaves everything else as built in.
TEST_F(InstallerSettingsTest, EmptySectionTurnsNetworkCheckOn) {
  InstallerSettings settings;
  settings.LoadConfigFile(WriteConfig("[Install]\r\n"));
  EXPECT_TRUE(settings.IsCheckNet);
  EXPECT_EQ(settings.DownloadUrl, kBuiltInDownloadUrl);
  EXPECT_DOUBLE_EQ(settings.DownloadScale, 0.7);
  EXPECT_EQ(settings.InstCmd, L"");
}

// Each key of the file, with the values that matter.
TEST_F(InstallerSettingsTest, ConfigFileValuesTable) {
  struct Row {
    const char* file;
    const wchar_t* url;
    bool checkNet;
    double scale;
    const wchar_t* instCmd;
  };
  const std::wstring builtIn = kBuiltInDownloadUrl;
  const Row rows[] = {
      {"[Install]\r\nIsCheckNet=TRUE\r\n", builtIn.c_str(), false, 0.7, L""},
      {"[Install]\r\nIsCheckNet=true\r\n", builtIn.c_str(), true, 0.7, L""},
      {"[Install]\r\nDownloadScale=abc\r\n", builtIn.c_str(), true, 0.0, L""},
      {"[Install]\r\nDownloadScale=0.5xyz\r\n", builtIn.c_str(), true, 0.5, L""},
      {"[Install]\r\nDownloadScale=7\r\n", builtIn.c_str(), true, 1.0, L""},
      {"[Install]\r\nDownloadScale=-2\r\n", builtIn.c_str(), true, 0.0, L""},
      {"[Install]\r\nDownloadScale=1e1000\r\n", builtIn.c_str(), true, 1.0, L""},
      {"[Install]\r\nDownloadScale=nan\r\n", builtIn.c_str(), true, 0.0, L""},
      {"[Install]\r\nDownloadUrl=\r\n", L"", true, 0.7, L""},
      {"[Install]\r\nDownloadUrl=http://127.0.0.1/p.exe\r\nInstCmd=/q\r\n",
       L"http://127.0.0.1/p.exe", true, 0.7, L"/q"},
      {"[Other]\r\nIsCheckNet=false\r\n", builtIn.c_str(), true, 0.7, L""},
  };
  for (const Row& row : rows) {
    InstallerSettings settings;
    settings.LoadConfigFile(WriteConfig(row.file));
    EXPECT_EQ(settings.DownloadUrl, row.url) << row.file;
    EXPECT_EQ(settings.IsCheckNet, row.checkNet) << row.file;
    EXPECT_DOUBLE_EQ(settings.DownloadScale, row.scale) << row.file;
    EXPECT_EQ(settings.InstCmd, row.instCmd) << row.file;
  }
}

// Values longer than 259 characters are cut to 259; route placeholders in the file are
// expanded, every one of them.
TEST_F(InstallerSettingsTest, LongValuesAreCutAndRoutesExpanded) {
  const std::string longCmd(400, 'c');
  InstallerSettings settings;
  settings.LoadConfigFile(WriteConfig("[Install]\r\nInstCmd=" + longCmd +
                                      "\r\nDownloadUrl=http://h/${ROUTE}/x/${ROUTE}\r\n"));
  EXPECT_EQ(settings.InstCmd, std::wstring(259, L'c'));
  EXPECT_EQ(settings.DownloadUrl, std::wstring(L"http://h/") + kLocalRoute + L"/x/" + kLocalRoute);
}

// The command line overrides the file; unknown or capitalised options change nothing.
TEST_F(InstallerSettingsTest, CommandLineOverridesFile) {
  InstallerSettings settings;
  settings.LoadConfigFile(WriteConfig(
      "[Install]\r\nDownloadScale=0.9\r\nIsCheckNet=true\r\nInstCmd=file\r\n"));
  settings.ApplyCommandLine(
      L"setup.exe -downloadscale=0.4 -instcmd=a -instcmd=b -DownloadUrl=http://x -other=1");
  EXPECT_DOUBLE_EQ(settings.DownloadScale, 0.4);
  EXPECT_EQ(settings.InstCmd, L"a");
  EXPECT_TRUE(settings.IsCheckNet);
  EXPECT_EQ(settings.DownloadUrl, kBuiltInDownloadUrl);
}

// Options given without "=" set an empty address, an empty InstCmd, false, and a share
// of 0 (a share that is not a number never reaches the progress arithmetic).
TEST_F(InstallerSettingsTest, OptionsWithoutValues) {
  InstallerSettings settings;
  settings.IsCheckNet = true;
  settings.InstCmd = L"before";
  settings.ApplyCommandLine(L"setup.exe -downloadurl -instcmd -ischecknet -downloadscale");
  EXPECT_EQ(settings.DownloadUrl, L"");
  EXPECT_EQ(settings.InstCmd, L"");
  EXPECT_FALSE(settings.IsCheckNet);
  EXPECT_EQ(settings.DownloadScale, 0.0);
}

// The download share from the command line is always a number in [0, 1].
TEST_F(InstallerSettingsTest, CommandLineShareIsClamped) {
  struct Row { const wchar_t* option; double scale; };
  const Row rows[] = {
      {L"-downloadscale=abc", 0.0},   {L"-downloadscale=0.25", 0.25},
      {L"-downloadscale=1.5", 1.0},   {L"-downloadscale=-1", 0.0},
      {L"-downloadscale=1e999", 1.0}, {L"-downloadscale=-1e999", 0.0},
      {L"-downloadscale=inf", 1.0},   {L"-downloadscale=nan", 0.0},
      {L"-downloadscale=1", 1.0},     {L"-downloadscale=0", 0.0},
  };
  for (const Row& row : rows) {
    InstallerSettings settings;
    settings.ApplyCommandLine(std::wstring(L"setup.exe ") + row.option);
    EXPECT_TRUE(std::isfinite(settings.DownloadScale)) << row.option;
    EXPECT_DOUBLE_EQ(settings.DownloadScale, row.scale) << row.option;
  }
}

// Quoted options keep the spaces of their value; "-ischecknet=TRUE" is false.
TEST_F(InstallerSettingsTest, QuotedOptionsAndCaseOfTrue) {
  InstallerSettings settings;
  settings.ApplyCommandLine(
      L"\"C:\\dir with space\\setup.exe\" \"-instcmd=/a  /b\" -ischecknet=TRUE "
      L"-downloadurl=http://127.0.0.1:8080/${ROUTE}");
  EXPECT_EQ(settings.InstCmd, L"/a  /b");
  EXPECT_FALSE(settings.IsCheckNet);
  EXPECT_EQ(settings.DownloadUrl, std::wstring(L"http://127.0.0.1:8080/") + kLocalRoute);
}

// The configuration file sits beside the executable.
TEST(InstallerSettingsPaths, ConfigFileBesideExecutable) {
  EXPECT_EQ(ConfigFilePathFor(L"C:\\dl\\setup.exe"), L"C:\\dl\\ZarnInstallerConfig.ini");
  EXPECT_EQ(ConfigFilePathFor(L""), L"");
  EXPECT_EQ(ConfigFilePathFor(L"C:\\" + std::wstring(270, L'a') + L"\\setup.exe"), L"");
}

// The process's record exists before main and was built from the defaults (the test
// program has no configuration file beside it).
TEST(InstallerSettingsProcess, BuiltDuringStaticInitialisation) {
  InstallerSettings& settings = GetInstallerSettings();
  EXPECT_EQ(&settings, &GetInstallerSettings());
  EXPECT_EQ(settings.DownloadUrl, kBuiltInDownloadUrl);
  EXPECT_FALSE(settings.IsCheckNet);
}

}  // namespace
