// Reads a child's standard output to its end and hands it over line by line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pipeline/EventCallback.h"

class ChildProcess;

// Gathers output bytes into whole lines. A line ends at a line feed; one carriage return
// right before it belongs to the line end, not to the line, so "InstPath=C:\X\r\n" gives
// the folder without a stray CR. Bytes wait here until their line feed arrives, which
// keeps a line whole when the child writes it in pieces or it straddles two reads, and
// never cuts a multi-byte character (no lead or trail byte of UTF-8 or of the East Asian
// ANSI code pages is a line feed).
class ReportLineAssembler {
 public:
  // Adds bytes; `line` is called with the bytes of every line completed by them.
  void Add(const char* bytes, size_t count, const std::function<void(const std::string&)>& line);
  // The end of the output: a last piece without a line feed is a line too.
  void Finish(const std::function<void(const std::string&)>& line);

 private:
  static std::string Cleaned(std::string raw);
  std::string pending_;
};

struct ReportLoopVariant {
  // Pause after each read that handled lines.
  DWORD pauseMs;
  // Whether the lines read after the first verdict are still handed over. When not,
  // the rest of the output is still read, and thrown away, so that the child never
  // blocks on a full pipe; the lines of the read that brought the verdict are all
  // handled.
  bool handleAfterVerdict;
};

// The install session's pace: ten reads a second, nothing handled after a verdict.
constexpr ReportLoopVariant kInstallSessionLoop{100, false};
// The uninstall runner's: no pause (the read blocks), every line handled.
constexpr ReportLoopVariant kUninstallRunnerLoop{0, true};

// A line handler answers the verdict of its line (ReportLine::Verdict).
using ReportLineHandler = std::function<int(const std::wstring& line)>;

// Reads the child's output until every writer has closed the pipe, decodes each line
// with the code page in force when the line is handled (so an "Encode=" line takes
// effect from the very next line, even within one read) and hands it to the handler.
// A line that cannot be decoded is dropped. Answers the last verdict decided
// (0 when none). Does not wait for the child: the owner does that next.
int RunReportLoop(ChildProcess& child, const ReportLineHandler& handler, const int& codePage,
                  const ReportLoopVariant& variant);

// An event a line handler holds back until the child has exited: the owner may act on
// the verdict (delete the package, start the download) only once the process is gone.
struct HeldEvent {
  int32_t code;
  double value;
  std::wstring text;
};

// The codes that close a run: the install session's 2003/2004, the runner's 5003/5004.
struct ClosingCodes {
  int32_t success;
  int32_t failure;
};

// One silent run of a reporting child (the package or an earlier uninstaller): starts it
// hidden, reads its report lines to the end of its output, waits for it to exit, then
// sends the events the handler held back in `held`. When no line gave a verdict the exit
// code decides: 0 is success (1.0), anything else, a crash or an abort, failure (3.0).
// A child that cannot be started (no pipe, no process, a command line too long for the
// buffer) is a failure with 2.0.
void RunReportingChild(const std::wstring& commandLine, const ReportLineHandler& handler,
                       const int& codePage, const ReportLoopVariant& variant,
                       std::vector<HeldEvent>& held, const EventCallback& send,
                       ClosingCodes codes);
