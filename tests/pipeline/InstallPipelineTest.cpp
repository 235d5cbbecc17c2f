#include "pipeline/InstallPipeline.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pipeline/EarlierInstallation.h"
#include "support/EventRecorder.h"
#include "support/FakeProgram.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"

namespace {

using Codes = std::vector<int32_t>;
using Clock = std::chrono::steady_clock;

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  static char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  ::CloseHandle(file);
  return bytes;
}

// The fake program as package or uninstaller: a progress report and a success, then it
// keeps running a while before it leaves a marker in the folder it was given and exits.
constexpr char kSucceedSlowly[] =
    "out Progress=0.5\\n\n"
    "out State=Success\\n\n"
    "sleep 400\n"
    "create done.marker\n";
constexpr char kFailSlowly[] =
    "out State=Fail\\n\n"
    "sleep 400\n"
    "create done.marker\n";

// ---------------------------------------------------------------------------------------
// Staged names.

// The package goes into the install folder (a drive root gives a doubled backslash, which
// the file system reads as one); the uninstaller copy into the work folder.
TEST(InstallPipelineNamesTest, StagedFileNames) {
  EXPECT_EQ(InstallPipeline::PackagePathFor(L"D:\\Apps\\Folvane"),
            L"D:\\Apps\\Folvane\\package_Folvane.exe");
  EXPECT_EQ(InstallPipeline::PackagePathFor(L"D:\\"), L"D:\\\\package_Folvane.exe");
  EXPECT_EQ(InstallPipeline::UninstallerCopyPathIn(L"C:\\Temp\\~ZarnTemp\\"),
            L"C:\\Temp\\~ZarnTemp\\\\Folvane_uninstall.exe");
  EXPECT_EQ(InstallPipeline::UninstallerCopyPathIn(L""), L"");
  EXPECT_EQ(InstallPipeline::EarlierInstallDirectoryOf(L"C:\\X\\Folvane\\uninst.data"),
            L"C:\\X\\Folvane");
  EXPECT_EQ(InstallPipeline::EarlierInstallDirectoryOf(L""), L"");
}

// ---------------------------------------------------------------------------------------
// Whole attempts with the fake program as package and uninstaller, the package
// downloaded from the loopback server.

// Folders of one test: where to install, an earlier installation, a temporary path.
struct Folders {
  TempFolder root;
  std::wstring install = root.path() + L"\\Install to";
  std::wstring earlier = root.path() + L"\\Earlier";
  std::wstring temporary = root.path() + L"\\tmp\\";
  std::wstring Package() const { return InstallPipeline::PackagePathFor(install); }

  Folders() { ::CreateDirectoryW(temporary.c_str(), nullptr); }

  // An earlier installation whose uninstaller is the fake program.
  std::wstring MakeEarlierInstallation(const std::string& config = std::string()) {
    ::CreateDirectoryW(earlier.c_str(), nullptr);
    if (!config.empty()) root.WriteFile(L"Earlier\\config", config);
    const std::wstring uninstaller = earlier + L"\\uninst.data";
    EXPECT_TRUE(CopyFakeProgram(uninstaller));
    return uninstaller;
  }
};

// A pipeline whose owner records every event and notes, as each event arrives, what the
// pipeline has or has not done yet: the owner must hear of an event before the reaction.
class ObservedPipeline {
 public:
  ObservedPipeline(const Folders& folders, const HttpTestServer& server)
      : folders_(folders), server_(server) {
    pipeline_ = std::make_unique<InstallPipeline>(
        [this](int32_t code, double value, const std::wstring& text) {
          Observe(code);
          recorder_.Record(code, value, text);
        },
        L"", L"", L"", true, true, true);
    pipeline_->SetDownloadRetry({3, 50});
    pipeline_->SetTemporaryPath(folders.temporary);
  }

  InstallPipeline& operator*() { return *pipeline_; }
  InstallPipeline* operator->() { return pipeline_.get(); }
  EventRecorder& recorder() { return recorder_; }

  bool WaitForEnd() { return recorder_.WaitFor({1004, 2003, 2004, 5004}); }
  void Destroy() {
    destroyed_ = true;
    pipeline_.reset();
  }

  std::mutex mutex;
  bool installFolderAtDownloadStart = true;
  bool uninstallerDoneAtDownloadStart = false;
  std::vector<bool> packageAtVerdict;
  size_t requestsAtUninstallDone = 99;
  int eventsAfterDestruction = 0;

 private:
  void Observe(int32_t code) {
    std::lock_guard<std::mutex> lock(mutex);
    if (destroyed_) ++eventsAfterDestruction;
    switch (code) {
      case 1001:
        installFolderAtDownloadStart = Exists(folders_.install);
        uninstallerDoneAtDownloadStart = Exists(folders_.earlier + L"\\done.marker");
        break;
      case 1004:
      case 2003:
      case 2004:
        packageAtVerdict.push_back(Exists(folders_.Package()));
        break;
      case 5003:
        requestsAtUninstallDone = server_.Requests().size();
        break;
      default:
        break;
    }
  }

  const Folders& folders_;
  const HttpTestServer& server_;
  EventRecorder recorder_;
  std::atomic<bool> destroyed_{false};
  std::unique_ptr<InstallPipeline> pipeline_;
};

class InstallPipelineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.IsListening());
    const std::string program = ReadWholeFile(FakeProgramPath());
    ASSERT_FALSE(program.empty());
    server_.Serve("/package.exe", {200, program});
  }
  std::wstring PackageUrl() const { return server_.Url(L"/package.exe"); }

  HttpTestServer server_;
};

// Without an earlier installation (no path, or a path naming no file) the download starts
// at once. The install folder is made only after 1001 has reached the owner, the package
// runs after 1003, and its 2003 reaches the owner while the package file is still there;
// afterwards the file is gone. Every event arrives exactly once.
TEST_F(InstallPipelineTest, InstallsWithoutEarlierInstallation) {
  const wchar_t* earlierPaths[] = {L"", L"C:\\nowhere\\uninst.data"};
  for (const wchar_t* earlier : earlierPaths) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(earlier)));
    Folders folders;
    FakeScript script(folders.root.path() + L"\\script.txt", kSucceedSlowly);
    ObservedPipeline pipeline(folders, server_);
    pipeline->Configure(PackageUrl(), earlier, folders.install, true, true, false, false);
    pipeline->Run();
    ASSERT_TRUE(pipeline.WaitForEnd());
    pipeline.Destroy();

    EXPECT_EQ(pipeline.recorder().CodesWithout(1002),
              (Codes{1001, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_FALSE(pipeline.installFolderAtDownloadStart);
    EXPECT_EQ(pipeline.packageAtVerdict, std::vector<bool>{true});
    EXPECT_FALSE(Exists(folders.Package()));
    EXPECT_TRUE(Exists(folders.install + L"\\done.marker"));
    EXPECT_FALSE(Exists(folders.temporary + L"~ZarnTemp"));
    EXPECT_EQ(pipeline.eventsAfterDestruction, 0);
  }
}

// With an earlier installation its uninstaller runs first, from a copy in the work
// folder, on the earlier folder; the download begins only after that uninstaller process
// has ended (its marker exists at 1001), and then the package runs.
TEST_F(InstallPipelineTest, RemovesEarlierInstallationBeforeDownloading) {
  Folders folders;
  FakeScript script(folders.root.path() + L"\\script.txt", kSucceedSlowly);
  const std::wstring uninstaller = folders.MakeEarlierInstallation();
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(PackageUrl(), uninstaller, folders.install, true, true, false, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.WaitForEnd());
  pipeline.Destroy();

  EXPECT_EQ(pipeline.recorder().CodesWithout(1002),
            (Codes{5002, 5002, 5003, 1001, 1003, 2001, 2002, 2002, 2003}));
  EXPECT_EQ(pipeline.requestsAtUninstallDone, 0u);
  EXPECT_TRUE(pipeline.uninstallerDoneAtDownloadStart);
  EXPECT_TRUE(Exists(folders.temporary + L"~ZarnTemp\\Folvane_uninstall.exe"));
  EXPECT_FALSE(Exists(folders.Package()));
  EXPECT_TRUE(Exists(folders.install + L"\\done.marker"));
}

// A failed removal stops the pipeline: no download begins.
TEST_F(InstallPipelineTest, FailedRemovalStopsBeforeDownloading) {
  Folders folders;
  FakeScript script(folders.root.path() + L"\\script.txt", kFailSlowly);
  const std::wstring uninstaller = folders.MakeEarlierInstallation();
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(PackageUrl(), uninstaller, folders.install, true, true, false, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.WaitForEnd());
  ::Sleep(300);
  pipeline.Destroy();

  EXPECT_EQ(pipeline.recorder().Codes(), (Codes{5002, 5004}));
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_FALSE(Exists(folders.install));
}

struct OverCase {
  const char* name;
  bool sameFolderInOtherCase;
  const char* config;
  bool expectRemoval;
};

// The owner hands the earlier uninstaller to the pipeline only when the new folder does
// not allow installing over the earlier one: same folder (in any letter case) with no
// config or "IsOverride" true goes over it; "IsOverride" false, or another folder,
// removes it first.
TEST_F(InstallPipelineTest, InstallsOverOrRemovesAsTheEarlierFolderAllows) {
  const OverCase cases[] = {
      {"same folder, no config", true, "", false},
      {"same folder, override allowed", true, "[Uninstall]\r\nIsOverride=true\r\n", false},
      {"same folder, override refused", true, "[Uninstall]\r\nIsOverride=false\r\n", true},
      {"other folder", false, "[Uninstall]\r\nIsOverride=true\r\n", true},
  };
  for (const OverCase& row : cases) {
    SCOPED_TRACE(row.name);
    Folders folders;
    FakeScript script(folders.root.path() + L"\\script.txt", kSucceedSlowly);
    const std::wstring uninstaller = folders.MakeEarlierInstallation(row.config);
    std::wstring chosen = folders.install;
    if (row.sameFolderInOtherCase) {
      chosen = folders.earlier;
      for (wchar_t& c : chosen) c = static_cast<wchar_t>(::towupper(c));
    }
    folders.install = chosen;
    ObservedPipeline pipeline(folders, server_);
    pipeline->Configure(PackageUrl(),
                        CanInstallOver(folders.earlier, chosen) ? L"" : uninstaller, chosen,
                        true, true, false, false);
    pipeline->Run();
    ASSERT_TRUE(pipeline.WaitForEnd());
    pipeline.Destroy();

    const Codes codes = pipeline.recorder().Codes();
    EXPECT_EQ(codes.front() == 5002, row.expectRemoval);
    EXPECT_EQ(codes.back(), 2003);
  }
}

// A failed download (1004) removes the package file; the next Run makes a fresh
// downloader that downloads again, into the newly configured folder, and installs.
TEST_F(InstallPipelineTest, SecondRunAfterFailedDownloadDownloadsAgain) {
  Folders folders;
  FakeScript script(folders.root.path() + L"\\script.txt", kSucceedSlowly);
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(server_.Url(L"/missing.exe"), L"", folders.install, true, true, false,
                      false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.recorder().WaitFor({1004}));
  ::Sleep(200);
  EXPECT_EQ(pipeline.recorder().CodesWithout(1002), (Codes{1001, 1004}));
  EXPECT_FALSE(Exists(folders.Package()));
  EXPECT_EQ(server_.RequestCount("/missing.exe"), 3u);

  const std::wstring firstFolder = folders.install;
  folders.install = folders.root.path() + L"\\Second try";
  pipeline->Configure(PackageUrl(), L"", folders.install, true, true, false, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.recorder().WaitFor({2003, 2004}));
  pipeline.Destroy();

  EXPECT_EQ(pipeline.recorder().CodesWithout(1002),
            (Codes{1001, 1004, 1001, 1003, 2001, 2002, 2002, 2003}));
  EXPECT_EQ(pipeline.recorder().Events().back().value, 0.0);
  EXPECT_EQ(server_.RequestCount("/package.exe"), 1u);
  EXPECT_TRUE(Exists(folders.install + L"\\done.marker"));
  EXPECT_FALSE(Exists(folders.Package()));
  EXPECT_FALSE(Exists(InstallPipeline::PackagePathFor(firstFolder)));
}

// A package that reports failure and keeps running a while: its 2004 comes once it has
// exited, and the package file is deleted after the owner heard of it.
TEST_F(InstallPipelineTest, FailedPackageRunRemovesThePackageFile) {
  Folders folders;
  FakeScript script(folders.root.path() + L"\\script.txt", kFailSlowly);
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(PackageUrl(), L"", folders.install, false, true, false, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.WaitForEnd());
  pipeline.Destroy();

  EXPECT_EQ(pipeline.recorder().CodesWithout(1002), (Codes{1001, 1003, 2001, 2002, 2004}));
  EXPECT_EQ(pipeline.packageAtVerdict, std::vector<bool>{true});
  EXPECT_TRUE(Exists(folders.install + L"\\done.marker"));
  EXPECT_FALSE(Exists(folders.Package()));
}

// The package's command line carries the four options in their switches, the quoted
// package path first and "/D=" with the folder last.
TEST_F(InstallPipelineTest, PackageGetsTheConfiguredOptions) {
  Folders folders;
  const std::wstring record = folders.root.path() + L"\\command.txt";
  std::string recordUtf8(record.begin(), record.end());
  FakeScript script(folders.root.path() + L"\\script.txt",
                    "record " + recordUtf8 + "\nout State=Success\\n\n");
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(PackageUrl(), L"", folders.install, false, true, true, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.WaitForEnd());
  pipeline.Destroy();

  const std::wstring packagePath = folders.Package();
  const std::string package(packagePath.begin(), packagePath.end());
  const std::string folder(folders.install.begin(), folders.install.end());
  const std::string commandLine = ReadWholeFile(record);
  EXPECT_EQ(commandLine.rfind("\"" + package + "\" /S -console=show -version=1.0.0.0"
                              " -adminact=true -authorizationact=false -dsc=false -ssc=true",
                              0),
            0u)
      << commandLine;
  const std::string tail = " -instdir=\"" + folder + "\" /D=" + folder;
  ASSERT_GE(commandLine.size(), tail.size());
  EXPECT_EQ(commandLine.substr(commandLine.size() - tail.size()), tail);
}

// Destroying the pipeline in the middle of a slow download returns promptly, and the
// owner hears nothing once destruction has begun; no package is run.
TEST_F(InstallPipelineTest, DestroyingDuringDownloadIsSafeAndSilent) {
  Folders folders;
  HttpTestResponse slow{200, std::string(64 * 1024, 'p')};
  slow.chunkBytes = 1024;
  slow.pauseMilliseconds = 200;
  server_.Serve("/slow.exe", slow);
  ObservedPipeline pipeline(folders, server_);
  pipeline->SetDownloadRetry(DownloadRetry{});
  pipeline->Configure(server_.Url(L"/slow.exe"), L"", folders.install, true, true, false,
                      false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.recorder().WaitFor({1001}));
  ::Sleep(500);
  const auto started = Clock::now();
  pipeline.Destroy();
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started)
                .count(),
            5000);
  EXPECT_EQ(pipeline.eventsAfterDestruction, 0);
  for (int32_t code : pipeline.recorder().Codes()) EXPECT_TRUE(code == 1001 || code == 1002);
}

// Destroying the pipeline while the earlier uninstaller runs waits for it, and neither
// its verdict nor a download follows.
TEST_F(InstallPipelineTest, DestroyingDuringRemovalWaitsAndStartsNothing) {
  Folders folders;
  FakeScript script(folders.root.path() + L"\\script.txt", kSucceedSlowly);
  const std::wstring uninstaller = folders.MakeEarlierInstallation();
  ObservedPipeline pipeline(folders, server_);
  pipeline->Configure(PackageUrl(), uninstaller, folders.install, true, true, false, false);
  pipeline->Run();
  ASSERT_TRUE(pipeline.recorder().WaitFor({5002}));
  ::Sleep(150);  // the progress report arrives; the uninstaller still runs
  pipeline.Destroy();
  ::Sleep(300);

  EXPECT_TRUE(Exists(folders.earlier + L"\\done.marker"));
  EXPECT_EQ(pipeline.eventsAfterDestruction, 0);
  for (int32_t code : pipeline.recorder().Codes()) EXPECT_EQ(code, 5002);
  EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
