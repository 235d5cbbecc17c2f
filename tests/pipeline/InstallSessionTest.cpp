#include "pipeline/InstallSession.h"

#include <memory>
#include <string>
#include <vector>

#include "ChildProcessFixture.h"
#include "app/InstallerSettings.h"
#include "support/EventRecorder.h"

namespace {

struct Event {
  int32_t code;
  double value;
  std::wstring text;
};

// The events as (code, value, text), for comparison with a table row.
std::vector<std::tuple<int32_t, double, std::wstring>> Triples(const std::vector<RecordedEvent>& events) {
  std::vector<std::tuple<int32_t, double, std::wstring>> triples;
  for (const RecordedEvent& event : events) triples.emplace_back(event.code, event.value, event.text);
  return triples;
}

std::vector<std::tuple<int32_t, double, std::wstring>> Triples(const std::vector<Event>& events) {
  std::vector<std::tuple<int32_t, double, std::wstring>> triples;
  for (const Event& event : events) triples.emplace_back(event.code, event.value, event.text);
  return triples;
}

struct CommandLineCase {
  const char* name;
  std::wstring instCmd;
  std::wstring directory;
  bool dsc, ssc, adminact, authorizationact;
  std::wstring expected;
};

// The switches keep their order; extra switches follow -ssc; "/D=" is last and unquoted.
TEST(InstallSessionCommandLineTest, OrdersSwitches) {
  const std::wstring head = L"\"C:\\T\\package_Folvane.exe\" /S -console=show -version=1.0.0.0";
  const std::vector<CommandLineCase> cases = {
      {"all true", L"", L"D:\\Apps\\Folvane", true, true, true, true,
       head + L" -adminact=true -authorizationact=true -dsc=true -ssc=true"
              L" -instdir=\"D:\\Apps\\Folvane\" /D=D:\\Apps\\Folvane"},
      {"flags each in its place", L"", L"D:\\A B", true, false, false, true,
       head + L" -adminact=false -authorizationact=true -dsc=true -ssc=false"
              L" -instdir=\"D:\\A B\" /D=D:\\A B"},
      {"extra switches", L"-from=mail -x", L"D:\\F", false, true, true, false,
       head + L" -adminact=true -authorizationact=false -dsc=false -ssc=true -from=mail -x"
              L" -instdir=\"D:\\F\" /D=D:\\F"},
      {"no directory", L"", L"", true, true, true, true,
       head + L" -adminact=true -authorizationact=true -dsc=true -ssc=true"},
      {"no directory, extra switches", L"-q", L"", true, true, true, true,
       head + L" -adminact=true -authorizationact=true -dsc=true -ssc=true -q"},
  };
  for (const CommandLineCase& c : cases) {
    EXPECT_EQ(InstallSession::BuildCommandLine(L"\"C:\\T\\package_Folvane.exe\"", c.instCmd,
                                               c.directory, c.dsc, c.ssc, c.adminact,
                                               c.authorizationact),
              c.expected)
        << c.name;
  }
}

class InstallSessionTest : public ChildProcessFixture {
 protected:
  void SetUp() override {
    savedInstCmd_ = GetInstallerSettings().InstCmd;
    GetInstallerSettings().InstCmd.clear();
    package_ = InstallFake(L"package_Folvane.exe");
  }
  void TearDown() override { GetInstallerSettings().InstCmd = savedInstCmd_; }

  std::unique_ptr<InstallSession> MakeSession(const std::wstring& directory = L"") {
    return std::make_unique<InstallSession>(recorder_->Callback(), L"\"" + package_ + L"\"",
                                            directory, true, true, true, true);
  }

  // Runs the package with the script to its end (destroying the session waits for it).
  std::vector<RecordedEvent> RunScript(const std::string& script) {
    Script(script);
    recorder_ = std::make_unique<EventRecorder>();
    auto session = MakeSession();
    session->Start();
    session.reset();
    return recorder_->Events();
  }

  std::wstring savedInstCmd_;
  std::wstring package_;
  std::unique_ptr<EventRecorder> recorder_ = std::make_unique<EventRecorder>();
};

struct RunCase {
  const char* name;
  std::string script;
  std::vector<Event> events;
};

// Report lines in any subset and order become events; without a verdict the exit code decides.
TEST_F(InstallSessionTest, TurnsReportLinesIntoEvents) {
  const std::vector<RunCase> cases = {
      {"progress, folder, success",
       "out Progress=0.1\\nInstPath=C:\\\\P\\nState=Success\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2002, 0.1, L""}, {3000, 0, L"C:\\P"}, {2003, 0, L""}}},
      {"prints nothing", "",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 1.0, L""}}},
      {"every fact key, CR LF ends",
       "out ExePath=a.exe\\r\\nStartExe=b.exe\\r\\nUninstExePath=u.exe\\r\\nUninstExe=v.exe\\r\\n"
       "UninstEp=d.data\\r\\nStartUrl=http://x/\\r\\nMessage=hello\\r\\n"
       "TopShowDetention=-1\\r\\nFinsihCloseDetention=3000\\r\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {3001, 0, L"a.exe"}, {3001, 0, L"b.exe"},
        {3002, 0, L"u.exe"}, {3002, 0, L"v.exe"}, {3003, 0, L"d.data"}, {3004, 0, L"http://x/"},
        {3009, 0, L"hello"}, {3007, 4294967295.0, L""}, {3008, 3000, L""}, {2003, 1.0, L""}}},
      {"startup styles",
       "out StartupStyle=NonStartup\\nStartupStyle= AutoStartup \\nStartupStyle=UserStartup\\n"
       "StartupStyle=Whenever\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {3005, 0, L""}, {3005, 1, L""}, {3005, 2, L""},
        {3005, 2, L""}, {2003, 1.0, L""}}},
      {"keys in the wrong case and unknown lines are ignored",
       "out progress=0.5\\nSTATE=Fail\\nState=success\\nFinishCloseDetention=5\\n"
       " State=Fail\\nnoise\\nState=Maybe\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 1.0, L""}}},
      {"spaced success keyword", "out State=  Success \\r\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 0, L""}}},
      {"fail verdict", "out Progress=0.4\\nState=Fail\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2002, 0.4, L""}, {2004, 0, L"安装包安装失败"}}},
      {"error verdict with its text", "out Error=disk full\\n\nexit 2\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2004, 1000.0, L"disk full"}}},
      {"verdict printed right before exit is not lost", "outrepeat 50 Progress=0.5\\n\nout State=Fail\\n\n",
       {}},
      {"success verdict wins over a failing exit code", "out State=Success\\n\nexit 5\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 0, L""}}},
      {"no verdict, failing exit code", "out Progress=0.3\\n\nexit 1\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2002, 0.3, L""}, {2004, 3.0, L""}}},
      {"no verdict, crash", "out Progress=0.3\\n\ncrash\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2002, 0.3, L""}, {2004, 3.0, L""}}},
      {"two verdicts in one write both count",
       "out State=Success\\nError=late\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 0, L""}, {2004, 1000.0, L"late"}}},
      {"lines after the verdict's read are not handled",
       "out State=Success\\n\nsleep 300\nout Message=after\\n\n",
       {{2001, 0, L""}, {2002, 0, L""}, {2003, 0, L""}}},
  };
  for (const RunCase& c : cases) {
    std::vector<Event> expected = c.events;
    if (expected.empty()) {  // the long one: 50 progress events, then the failure
      expected = {{2001, 0, L""}, {2002, 0, L""}};
      for (int i = 0; i < 50; ++i) expected.push_back({2002, 0.5, L""});
      expected.push_back({2004, 0, L"安装包安装失败"});
    }
    EXPECT_EQ(Triples(RunScript(c.script)), Triples(expected)) << c.name;
  }
}

// Split lines, lines across reads and "Encode=" switches give the right reports.
TEST_F(InstallSessionTest, ReadsSplitLinesAndFollowsEncode) {
  const std::string filler = "Message=" + std::string(1010, 'f') + "\\n";
  std::vector<RecordedEvent> events = RunScript(
      "out " + filler + "InstPath=C:\\\\Split\\n\n"
      "out Progress=0.\nsleep 250\nout 75\\n\n"
      "out Encode=UTF8\\nInstPath=C:\\\\\xE4\xB8\xAD\\nEncode=936\\n\n"
      "codepage 936\nout Message=\xE6\x96\x87\\nEncode=ACP\\n\n"
      "codepage 0\nout Message=caf\xC3\xA9\\n\n");
  std::vector<std::tuple<int32_t, double, std::wstring>> expected = {
      {2001, 0, L""},
      {2002, 0, L""},
      {3009, 0, std::wstring(1010, L'f')},
      {3000, 0, L"C:\\Split"},
      {2002, 0.75, L""},
      {3000, 0, L"C:\\\u4E2D"},
      {3009, 0, L"\u6587"},
      {3009, 0, L"caf\u00E9"},
      {2003, 1.0, L""},
  };
  EXPECT_EQ(Triples(events), expected);
}

// Floods on standard error and after the verdict do not block the package.
TEST_F(InstallSessionTest, FloodsDoNotBlockThePackage) {
  bool ended = FinishesWithin(
      30,
      [&] {
        EXPECT_EQ(Triples(RunScript("errflood 1048576\nout State=Success\\n\n"
                                    "outrepeat 3000 Progress=1.0 and more words to fill the pipe\\n\n")),
                  Triples(std::vector<Event>{{2001, 0, L""}, {2002, 0, L""}, {2003, 0, L""}}));
      },
      [] {});
  EXPECT_TRUE(ended);
}

// The package receives the full switch set with "/D=" last and installs into that folder.
TEST_F(InstallSessionTest, StartsThePackageWithItsCommandLine) {
  const std::wstring record = Path(L"commandline.txt");
  const std::wstring target = Path(L"Target Folder");
  ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
  Script("record " + std::string(record.begin(), record.end()) + "\ncreate installed.txt\n");
  GetInstallerSettings().InstCmd = L"-channel=7";
  auto session = std::make_unique<InstallSession>(recorder_->Callback(), L"\"" + package_ + L"\"",
                                                  L"ignored", false, true, true, false);
  session->SetInstallDirectory(target);
  session->SetDsc(true);
  session->SetSsc(false);
  session->SetAdminact(false);
  session->SetAuthorizationact(true);
  session->Start();
  session.reset();
  const std::wstring expected = L"\"" + package_ +
                                L"\" /S -console=show -version=1.0.0.0 -adminact=false"
                                L" -authorizationact=true -dsc=true -ssc=false -channel=7"
                                L" -instdir=\"" + target + L"\" /D=" + target;
  EXPECT_EQ(ReadUtf8File(record), expected);
  EXPECT_TRUE(FileExists(target + L"\\installed.txt"));
}

// At the closing event the package has exited, so its file can be deleted.
TEST_F(InstallSessionTest, PackageFileCanBeDeletedAtTheClosingEvent) {
  for (const char* script : {"out State=Success\\n\nsleep 300\n", "out Error=x\\n\nsleep 300\n",
                             "sleep 300\n"}) {
    Script(script);
    bool deleted = false;
    auto session = std::make_unique<InstallSession>(
        [&](int32_t code, double, const std::wstring&) {
          if (code == 2003 || code == 2004) deleted = ::DeleteFileW(package_.c_str()) != FALSE;
        },
        L"\"" + package_ + L"\"", L"", true, true, true, true);
    session->Start();
    session.reset();
    EXPECT_TRUE(deleted) << script;
    EXPECT_FALSE(FileExists(package_)) << script;
    ASSERT_TRUE(CopyFakeProgram(package_));
  }
}

// A missing package or an over-long command line gives 2004 (2.0) and starts nothing.
TEST_F(InstallSessionTest, ReportsPackagesThatCannotStart) {
  const std::wstring record = Path(L"commandline.txt");
  Script("record " + std::string(record.begin(), record.end()) + "\n");
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"\"" + Path(L"missing.exe") + L"\"", L""},
      {L"\"" + package_ + L"\"", L"C:\\" + std::wstring(1000, L'd')},
  };
  for (const auto& [path, directory] : cases) {
    EventRecorder recorder;
    auto session = std::make_unique<InstallSession>(recorder.Callback(), path, directory, true,
                                                    true, true, true);
    session->Start();
    session.reset();
    EXPECT_EQ(Triples(recorder.Events()),
              Triples(std::vector<Event>{{2001, 0, L""}, {2002, 0, L""}, {2004, 2.0, L""}}));
    ::Sleep(200);
    EXPECT_FALSE(FileExists(record));
  }
}

// Destroying a running session waits for the run; no event arrives afterwards.
TEST_F(InstallSessionTest, DestroyingWhileRunningWaitsForTheRun) {
  Script("out Progress=0.5\\n\nsleep 1500\nout State=Success\\n\n");
  auto session = MakeSession();
  session->Start();
  ASSERT_TRUE(recorder_->WaitFor({2002}));
  session.reset();
  const auto events = recorder_->Events();
  ::Sleep(300);
  EXPECT_EQ(recorder_->Events().size(), events.size());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().code, 2003);
}

// A second Start runs the package again with the newly set directory.
TEST_F(InstallSessionTest, SecondStartRunsAgain) {
  const std::wstring record = Path(L"commandline.txt");
  Script("sleep 300\nrecord " + std::string(record.begin(), record.end()) + "\nout State=Fail\\n\n");
  auto session = MakeSession(L"C:\\First");
  session->Start();
  session->SetInstallDirectory(L"C:\\Second");
  session->Start();
  session.reset();
  EXPECT_EQ(recorder_->Codes(), (std::vector<int32_t>{2001, 2002, 2004, 2001, 2002, 2004}));
  EXPECT_NE(ReadUtf8File(record).find(L"/D=C:\\Second"), std::wstring::npos);
}

}  // namespace
