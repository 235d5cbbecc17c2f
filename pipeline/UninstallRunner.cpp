#include "pipeline/UninstallRunner.h"

#include <shlwapi.h>


#include "pipeline/ReportLine.h"
#include "pipeline/ReportLoop.h"
#include "pipeline/UserPrivilege.h"
#include "pipeline/WorkerThread.h"

namespace {

const wchar_t* Flag(bool value) { return value ? L"true" : L"false"; }

}  // namespace

UninstallRunner::UninstallRunner(EventCallback callback, std::wstring uninstallerPath,
                                 std::wstring earlierInstallFolder)
    : callback_(std::move(callback)),
      uninstallerPath_(std::move(uninstallerPath)),
      earlierInstallFolder_(std::move(earlierInstallFolder)) {}

UninstallRunner::~UninstallRunner() { worker_.reset(); }

std::wstring UninstallRunner::BuildCommandLine(const std::wstring& uninstallerPath,
                                               bool consoleUserAdministrator,
                                               bool processAdministrator,
                                               const std::wstring& earlierInstallFolder) {
  return uninstallerPath + L" /S -adminact=" + Flag(consoleUserAdministrator) +
         L" -authorizationact=" + Flag(processAdministrator) + L" -console=show _?=" +
         earlierInstallFolder;
}

bool UninstallRunner::Start() {
  commandLine_ = BuildCommandLine(uninstallerPath_, IsConsoleUserAdministrator(),
                                  IsProcessAdministrator(), earlierInstallFolder_);
  if (worker_) {
    worker_->Join();
    worker_.reset();
  }
  worker_ = std::make_unique<WorkerThread>(
      [](void* self) -> uint32_t {
        static_cast<UninstallRunner*>(self)->Run();
        return 0;
      },
      this, L"UnInstaller");
  return worker_->Start();
}

void UninstallRunner::Run() {
  if (!::PathFileExistsW(uninstallerPath_.c_str())) {
    Send(5004, 1.0, L"可执行卸载文件不存在");
    return;
  }
  Send(5002, 0.0);
  // The read blocks until the uninstaller writes or ends, so this never spins.
  RunReportingChild(
      commandLine_, [this](const std::wstring& line) { return HandleLine(line); }, codePage_,
      kUninstallRunnerLoop, closing_,
      [this](int32_t code, double value, const std::wstring& text) { Send(code, value, text); },
      ClosingCodes{5003, 5004});
}

int UninstallRunner::HandleLine(const std::wstring& line) {
  using namespace ReportLine;
  std::wstring value;
  if (MatchKey(line, L"Progress=", value)) {
    Send(5002, Number(value));
  } else if (MatchKey(line, L"Error=", value)) {
    closing_.push_back(HeldEvent{5004, 0.0, value});
    return kFailure;
  } else if (MatchKey(line, L"State=", value)) {
    const std::wstring keyword = Keyword(value);
    if (keyword == L"Success") {
      closing_.push_back(HeldEvent{5003, 0.0, std::wstring()});
      return kSuccess;
    }
    if (keyword == L"Fail") {
      closing_.push_back(HeldEvent{5004, 0.0, L"安装包卸载失败"});
      return kFailure;
    }
  } else if (MatchKey(line, L"Encode=", value)) {
    codePage_ = CodePageFor(Keyword(value), false);
  }
  return kNoVerdict;
}

void UninstallRunner::Send(int32_t code, double value, const std::wstring& text) {
  if (callback_) callback_(code, value, text);
}
