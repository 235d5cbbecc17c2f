#include "pipeline/ReportLoop.h"

#include <exception>
#include <memory>

#include "pipeline/ChildProcess.h"
#include "pipeline/ReportLine.h"
#include "utils/TextConvert.h"

namespace {

constexpr DWORD kReadSize = 1024;

}  // namespace

void ReportLineAssembler::Add(const char* bytes, size_t count,
                              const std::function<void(const std::string&)>& line) {
  pending_.append(bytes, count);
  size_t start = 0;
  for (size_t feed = pending_.find('\n'); feed != std::string::npos;
       feed = pending_.find('\n', start)) {
    line(Cleaned(pending_.substr(start, feed - start)));
    start = feed + 1;
  }
  pending_.erase(0, start);
}

void ReportLineAssembler::Finish(const std::function<void(const std::string&)>& line) {
  if (!pending_.empty()) line(Cleaned(pending_));
  pending_.clear();
}

// A NUL ends the line's text, as it ends a C string the child may have written whole.
std::string ReportLineAssembler::Cleaned(std::string raw) {
  if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  size_t nul = raw.find('\0');
  if (nul != std::string::npos) raw.erase(nul);
  return raw;
}

int RunReportLoop(ChildProcess& child, const ReportLineHandler& handler, const int& codePage,
                  const ReportLoopVariant& variant) {
  int verdict = ReportLine::kNoVerdict;
  bool listening = true;
  auto handleLine = [&](const std::string& bytes) {
    if (!listening || bytes.empty()) return;
    std::wstring text = Utils::MultiByteToWide(bytes, static_cast<UINT>(codePage));
    if (text.empty()) return;
    int decided = handler(text);
    if (decided != ReportLine::kNoVerdict) verdict = decided;
  };

  ReportLineAssembler assembler;
  char buffer[kReadSize];
  DWORD bytesRead = 0;
  while (child.ReadOutput(buffer, kReadSize, bytesRead)) {
    if (!listening) continue;
    assembler.Add(buffer, bytesRead, handleLine);
    if (verdict != ReportLine::kNoVerdict && !variant.handleAfterVerdict) listening = false;
    if (variant.pauseMs) ::Sleep(variant.pauseMs);
  }
  assembler.Finish(handleLine);
  return verdict;
}

void RunReportingChild(const std::wstring& commandLine, const ReportLineHandler& handler,
                       const int& codePage, const ReportLoopVariant& variant,
                       std::vector<HeldEvent>& held, const EventCallback& send,
                       ClosingCodes codes) {
  held.clear();
  std::unique_ptr<ChildProcess> child;
  try {
    child = std::make_unique<ChildProcess>(
        commandLine, STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW, SW_HIDE);
  } catch (const std::exception&) {
    send(codes.failure, 2.0, std::wstring());
    return;
  }
  const int verdict = RunReportLoop(*child, handler, codePage, variant);
  child->WaitForExit();
  const DWORD exitCode = child->ExitCode();
  child.reset();

  for (const HeldEvent& event : held) send(event.code, event.value, event.text);
  held.clear();
  if (verdict != ReportLine::kNoVerdict) return;
  if (exitCode == 0)
    send(codes.success, 1.0, std::wstring());
  else
    send(codes.failure, 3.0, std::wstring());
}
