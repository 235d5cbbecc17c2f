// Reads a child's standard output to its end and hands it over line by line.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
