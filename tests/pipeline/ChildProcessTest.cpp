#include "pipeline/ChildProcess.h"
#include "pipeline/ReportLine.h"
#include "pipeline/ReportLoop.h"

#include <memory>
#include <string>
#include <vector>

#include "ChildProcessFixture.h"
#include "utils/Exception.h"

namespace {

constexpr DWORD kHiddenWithStreams = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;

class ChildProcessTest : public ChildProcessFixture {
 protected:
  std::unique_ptr<ChildProcess> StartFake(const std::wstring& arguments = L"") {
    return std::make_unique<ChildProcess>(L"\"" + FakeProgramPath() + L"\"" + arguments,
                                          kHiddenWithStreams, SW_HIDE);
  }

  // Runs the loop on a started child, collecting every line handed over; the line
  // handler answers a verdict for "State=" lines and follows "Encode=" lines.
  int Loop(ChildProcess& child, const ReportLoopVariant& variant) {
    auto handler = [this](const std::wstring& line) {
      lines_.push_back(line);
      std::wstring value;
      if (ReportLine::MatchKey(line, L"Encode=", value))
        codePage_ = ReportLine::CodePageFor(ReportLine::Keyword(value), true);
      if (ReportLine::MatchKey(line, L"State=", value))
        return ReportLine::Keyword(value) == L"Success" ? int{ReportLine::kSuccess}
                                                        : int{ReportLine::kFailure};
      return int{ReportLine::kNoVerdict};
    };
    int verdict = -1;
    EXPECT_TRUE(FinishesWithin(
        20, [&] { verdict = RunReportLoop(child, handler, codePage_, variant); },
        [&] { EndProcess(child.ProcessId()); }))
        << "the loop did not reach the end of the output";
    child.WaitForExit();
    return verdict;
  }

  std::vector<std::wstring> lines_;
  int codePage_ = 0;
};

// Both loops read all output, the verdict written right before exit included, then end.
TEST_F(ChildProcessTest, ReadsOutputToItsEndAfterTheChildExits) {
  Script("outrepeat 300 Progress=0.5\\n\nout State=Fail\\n\nexit 0\n");
  for (const ReportLoopVariant& variant : {kUninstallRunnerLoop, kInstallSessionLoop}) {
    lines_.clear();
    auto child = StartFake();
    EXPECT_EQ(Loop(*child, variant), ReportLine::kFailure);
    ASSERT_EQ(lines_.size(), 301u);
    EXPECT_EQ(lines_.back(), L"State=Fail");
    EXPECT_TRUE(child->HasExited());
  }
}

// A line written in pieces, or straddling the 1024-byte read, reaches the handler whole.
TEST_F(ChildProcessTest, JoinsLinesWrittenInPiecesAndAcrossReads) {
  Script("out Prog\nsleep 150\nout ress=0.2\nsleep 150\nout 5\\r\\n\n"
         "out Message=" + std::string(1000, 'm') + "\\nState=Success\\n\n");
  auto child = StartFake();
  EXPECT_EQ(Loop(*child, kInstallSessionLoop), ReportLine::kSuccess);
  ASSERT_EQ(lines_.size(), 3u);
  EXPECT_EQ(lines_[0], L"Progress=0.25");
  EXPECT_EQ(lines_[1], L"Message=" + std::wstring(1000, L'm'));
  EXPECT_EQ(lines_[2], L"State=Success");
}

// "Encode=" applies from the very next line, also inside one write.
TEST_F(ChildProcessTest, SwitchesCodePageFromTheNextLine) {
  Script("out Encode=UTF8\\nMessage=\xE4\xB8\xAD\\n\n"
         "out Encode=936\\n\ncodepage 936\nout Message=\xE4\xB8\xAD\\n\n");
  auto child = StartFake();
  Loop(*child, kUninstallRunnerLoop);
  ASSERT_EQ(lines_.size(), 4u);
  EXPECT_EQ(lines_[1], L"Message=\u4E2D");
  EXPECT_EQ(lines_[3], L"Message=\u4E2D");
  EXPECT_EQ(codePage_, 936);
}

// A megabyte on standard error does not block the child: its output still ends.
TEST_F(ChildProcessTest, StandardErrorFloodDoesNotBlock) {
  Script("errflood 1048576\nout State=Success\\n\n");
  auto child = StartFake();
  EXPECT_EQ(Loop(*child, kUninstallRunnerLoop), ReportLine::kSuccess);
  EXPECT_EQ(child->ExitCode(), 0u);
}

// After the session's verdict the rest is read and dropped, so a chatty child still ends.
TEST_F(ChildProcessTest, DrainsOutputAfterAVerdict) {
  Script("out State=Success\\n\nsleep 200\noutrepeat 4000 Progress=0.9 and a long tail of text\\n\n");
  auto child = StartFake();
  EXPECT_EQ(Loop(*child, kInstallSessionLoop), ReportLine::kSuccess);
  EXPECT_EQ(lines_, std::vector<std::wstring>{L"State=Success"});
  EXPECT_TRUE(child->HasExited());
}

// A child that prints nothing gives no line and no verdict.
TEST_F(ChildProcessTest, SilentChildGivesNoLines) {
  Script("");
  auto child = StartFake();
  EXPECT_EQ(Loop(*child, kInstallSessionLoop), ReportLine::kNoVerdict);
  EXPECT_TRUE(lines_.empty());
}

struct ExitCase {
  const char* script;
  DWORD exitCode;
};

// The child's own exit code is reported, for a crash and for 259 as well.
TEST_F(ChildProcessTest, ReportsExitCodes) {
  const std::vector<ExitCase> cases = {
      {"", 0}, {"exit 3\n", 3}, {"crash\n", 0xC0000005}, {"exit 259\n", 259}};
  for (const ExitCase& c : cases) {
    Script(c.script);
    auto child = StartFake();
    Loop(*child, kUninstallRunnerLoop);
    EXPECT_TRUE(child->HasExited()) << c.script;
    EXPECT_EQ(child->ExitCode(), c.exitCode) << c.script;
  }
}

// A command line over 1023 characters is refused and starts nothing; 1023 passes unchanged.
TEST_F(ChildProcessTest, RefusesCommandLinesThatDoNotFit) {
  const std::wstring record = Path(L"commandline.txt");
  Script("record " + std::string(record.begin(), record.end()) + "\n");
  const std::wstring program = L"\"" + FakeProgramPath() + L"\" /D=";
  for (size_t length : {size_t{1023}, size_t{1024}, size_t{5000}}) {
    ::DeleteFileW(record.c_str());
    const std::wstring commandLine = program + std::wstring(length - program.size(), L'x');
    if (length <= 1023) {
      ChildProcess child(commandLine, kHiddenWithStreams, SW_HIDE);
      Loop(child, kUninstallRunnerLoop);
      EXPECT_EQ(ReadUtf8File(record), commandLine);
    } else {
      EXPECT_THROW(ChildProcess(commandLine, kHiddenWithStreams, SW_HIDE), Utils::Exception)
          << length;
      ::Sleep(200);
      EXPECT_FALSE(FileExists(record)) << length;
    }
  }
}

// A program that does not exist cannot be started: the construction throws.
TEST_F(ChildProcessTest, MissingProgramThrows) {
  EXPECT_THROW(ChildProcess(L"\"" + Path(L"nothing-here.exe") + L"\" /S", kHiddenWithStreams,
                            SW_HIDE),
               Utils::Exception);
}

}  // namespace
