#include "pipeline/UninstallRunner.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ChildProcessFixture.h"
#include "pipeline/UserPrivilege.h"
#include "support/EventRecorder.h"

namespace {

using Triple = std::tuple<int32_t, double, std::wstring>;

std::vector<Triple> Triples(const std::vector<RecordedEvent>& events) {
  std::vector<Triple> triples;
  for (const RecordedEvent& event : events) triples.emplace_back(event.code, event.value, event.text);
  return triples;
}

// Path unquoted first, the two privilege answers in their places, "_?=" last.
TEST(UninstallRunnerCommandLineTest, OrdersSwitches) {
  EXPECT_EQ(UninstallRunner::BuildCommandLine(L"C:\\T\\~ZarnTemp\\\\Folvane_uninstall.exe", true,
                                              false, L"C:\\Program Files\\Folvane"),
            L"C:\\T\\~ZarnTemp\\\\Folvane_uninstall.exe /S -adminact=true"
            L" -authorizationact=false -console=show _?=C:\\Program Files\\Folvane");
  EXPECT_EQ(UninstallRunner::BuildCommandLine(L"u.exe", false, true, L"D:\\F"),
            L"u.exe /S -adminact=false -authorizationact=true -console=show _?=D:\\F");
}

class UninstallRunnerTest : public ChildProcessFixture {
 protected:
  void SetUp() override {
    earlierFolder_ = Path(L"Earlier");
    ASSERT_TRUE(::CreateDirectoryW(earlierFolder_.c_str(), nullptr));
    uninstaller_ = InstallFake(L"Folvane_uninstall.exe");
  }

  // Runs the uninstaller with the script to its end (destroying the runner waits).
  std::vector<Triple> RunScript(const std::string& script) {
    Script(script);
    EventRecorder recorder;
    auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), uninstaller_, earlierFolder_);
    EXPECT_TRUE(runner->Start());
    runner.reset();
    return Triples(recorder.Events());
  }

  std::wstring earlierFolder_;
  std::wstring uninstaller_;
};

struct RunCase {
  const char* name;
  std::string script;
  std::vector<Triple> events;
};

// Report lines become events, also after a verdict; without a verdict the exit code decides.
TEST_F(UninstallRunnerTest, TurnsReportLinesIntoEvents) {
  const std::vector<RunCase> cases = {
      {"prints nothing", "", {{5002, 0, L""}, {5003, 1.0, L""}}},
      {"progress then success, CR LF",
       "out Progress=0.3\\r\\nProgress=0.6\\r\\nState=Success\\r\\n\n",
       {{5002, 0, L""}, {5002, 0.3, L""}, {5002, 0.6, L""}, {5003, 0, L""}}},
      {"success, more output, exit: one 5003 and later progress still reported",
       "out State=Success\\n\nsleep 200\nout Progress=0.9\\n\n",
       {{5002, 0, L""}, {5002, 0.9, L""}, {5003, 0, L""}}},
      {"fail", "out State=Fail\\n\n", {{5002, 0, L""}, {5004, 0, L"安装包卸载失败"}}},
      {"error with text", "out Error=locked file\\n\n", {{5002, 0, L""}, {5004, 0, L"locked file"}}},
      {"wrong case and unknown keywords ignored",
       "out state=Fail\\nSTATE=Success\\nState=Done\\nprogress=0.5\\n\n",
       {{5002, 0, L""}, {5003, 1.0, L""}}},
      {"verdict printed right before exit", "outrepeat 100 Progress=0.1\\n\nout State=Fail\\n\n", {}},
      {"no verdict, failing exit code", "exit 4\n", {{5002, 0, L""}, {5004, 3.0, L""}}},
      {"no verdict, crash", "crash\n", {{5002, 0, L""}, {5004, 3.0, L""}}},
      {"UTF-8 after Encode=UTF8",
       "out Encode=UTF8\\nError=\xE4\xB8\xAD\\n\n",
       {{5002, 0, L""}, {5004, 0, L"\u4E2D"}}},
  };
  for (const RunCase& c : cases) {
    std::vector<Triple> expected = c.events;
    if (expected.empty()) {
      expected.emplace_back(5002, 0, L"");
      for (int i = 0; i < 100; ++i) expected.emplace_back(5002, 0.1, L"");
      expected.emplace_back(5004, 0, L"安装包卸载失败");
    }
    EXPECT_EQ(RunScript(c.script), expected) << c.name;
  }
}

// "Encode=" with a code page number selects the ANSI code page for the uninstaller.
TEST_F(UninstallRunnerTest, EncodeNumberMeansAnsi) {
  auto events = RunScript("out Encode=936\\n\ncodepage 0\nout Error=caf\xC3\xA9\\n\n");
  EXPECT_EQ(events, (std::vector<Triple>{{5002, 0, L""}, {5004, 0, L"caf\u00E9"}}));
}

// The uninstaller receives its unquoted path, the privilege flags and "_?=" last.
TEST_F(UninstallRunnerTest, StartsTheUninstallerWithItsCommandLine) {
  const std::wstring record = Path(L"commandline.txt");
  Script("record " + std::string(record.begin(), record.end()) + "\ncreate removed.txt\n");
  EventRecorder recorder;
  auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), uninstaller_, earlierFolder_);
  ASSERT_TRUE(runner->Start());
  const std::wstring commandLine = runner->CommandLine();
  runner.reset();
  const std::wstring expected = UninstallRunner::BuildCommandLine(
      uninstaller_, IsConsoleUserAdministrator(), IsProcessAdministrator(), earlierFolder_);
  EXPECT_EQ(commandLine, expected);
  EXPECT_EQ(ReadUtf8File(record), expected);
  EXPECT_TRUE(FileExists(earlierFolder_ + L"\\removed.txt"));
}

// No file at the uninstaller path: only 5004 (1.0) with its text, nothing started.
TEST_F(UninstallRunnerTest, MissingUninstallerGivesOnlyAFailure) {
  for (const std::wstring& path : {Path(L"gone.exe"), std::wstring()}) {
    EventRecorder recorder;
    auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), path, earlierFolder_);
    runner->Start();
    runner.reset();
    EXPECT_EQ(Triples(recorder.Events()),
              (std::vector<Triple>{{5004, 1.0, L"可执行卸载文件不存在"}}));
  }
}

// A command line too long for its buffer is refused: 5004 (2.0), nothing started.
TEST_F(UninstallRunnerTest, RefusesCommandLinesThatDoNotFit) {
  const std::wstring record = Path(L"commandline.txt");
  Script("record " + std::string(record.begin(), record.end()) + "\n");
  EventRecorder recorder;
  auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), uninstaller_,
                                                  L"C:\\" + std::wstring(1000, L'f'));
  runner->Start();
  runner.reset();
  EXPECT_EQ(Triples(recorder.Events()), (std::vector<Triple>{{5002, 0, L""}, {5004, 2.0, L""}}));
  ::Sleep(200);
  EXPECT_FALSE(FileExists(record));
}

// 5003 arrives only after the uninstaller has exited, even when it went on after "Success".
TEST_F(UninstallRunnerTest, ClosingEventComesAfterTheUninstallerExited) {
  Script("out State=Success\\n\nsleep 500\ncreate late.txt\n");
  bool deleted = false;
  bool lateFileThere = false;
  auto runner = std::make_unique<UninstallRunner>(
      [&](int32_t code, double, const std::wstring&) {
        if (code != 5003) return;
        lateFileThere = FileExists(earlierFolder_ + L"\\late.txt");
        deleted = ::DeleteFileW(uninstaller_.c_str()) != FALSE;
      },
      uninstaller_, earlierFolder_);
  runner->Start();
  runner.reset();
  EXPECT_TRUE(lateFileThere);
  EXPECT_TRUE(deleted);
}

// An uninstaller that closes its output early and keeps running is waited for without spinning.
TEST_F(UninstallRunnerTest, WaitsWithoutSpinning) {
  Script("out Progress=0.5\\n\ncloseout\nsleep 1500\n");
  EventRecorder recorder;
  auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), uninstaller_, earlierFolder_);
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernelBefore, &userBefore);
  runner->Start();
  runner.reset();
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernelAfter, &userAfter);
  auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  const unsigned long long used = ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  EXPECT_LT(used, 5000000ull) << "processor time in 100 ns units over a 1.5 s wait";
  EXPECT_EQ(recorder.Codes(), (std::vector<int32_t>{5002, 5002, 5003}));
}

// Destroying a running runner waits for the run; no event arrives afterwards.
TEST_F(UninstallRunnerTest, DestroyingWhileRunningWaitsForTheRun) {
  Script("out Progress=0.2\\n\nsleep 1000\nout State=Success\\n\n");
  EventRecorder recorder;
  auto runner = std::make_unique<UninstallRunner>(recorder.Callback(), uninstaller_, earlierFolder_);
  runner->Start();
  ASSERT_TRUE(recorder.WaitFor({5002}));
  runner.reset();
  const auto codes = recorder.Codes();
  ::Sleep(300);
  EXPECT_EQ(recorder.Codes(), codes);
  EXPECT_EQ(codes, (std::vector<int32_t>{5002, 5002, 5003}));
}

// The runner's process test agrees with the shell's own administrator test.
TEST(UserPrivilegeTest, ProcessTestAgreesWithTheShell) {
  HMODULE shell = ::LoadLibraryW(L"shell32.dll");
  ASSERT_NE(shell, nullptr);
  auto isUserAnAdmin = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(::GetProcAddress(shell, "IsUserAnAdmin")));
  ASSERT_NE(isUserAnAdmin, nullptr);
  EXPECT_EQ(IsProcessAdministrator(), isUserAnAdmin() != FALSE);
  ::FreeLibrary(shell);
}

}  // namespace
