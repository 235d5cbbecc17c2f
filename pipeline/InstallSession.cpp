#include "pipeline/InstallSession.h"


#include "app/InstallerSettings.h"
#include "pipeline/ReportLine.h"
#include "pipeline/ReportLoop.h"
#include "pipeline/WorkerThread.h"

namespace {

const wchar_t* Flag(bool value) { return value ? L"true" : L"false"; }

// Both values of "TopShowDetention=" and "FinsihCloseDetention=" are delays in
// milliseconds; -1 stands for "never", so they travel as unsigned numbers.
double UnsignedDelay(const std::wstring& value) {
  return static_cast<double>(static_cast<uint32_t>(ReportLine::Integer(value)));
}

double StartupStyle(const std::wstring& keyword) {
  if (keyword == L"NonStartup") return 0;
  if (keyword == L"AutoStartup") return 1;
  return 2;  // "UserStartup" and anything the product does not know yet
}

}  // namespace

InstallSession::InstallSession(EventCallback callback, std::wstring quotedPackagePath,
                               std::wstring installDirectory, bool dsc, bool ssc,
                               bool adminact, bool authorizationact)
    : callback_(std::move(callback)),
      packagePath_(std::move(quotedPackagePath)),
      installDirectory_(std::move(installDirectory)),
      ssc_(ssc),
      dsc_(dsc),
      adminact_(adminact),
      authorizationact_(authorizationact) {}

InstallSession::~InstallSession() { worker_.reset(); }

std::wstring InstallSession::BuildCommandLine(const std::wstring& quotedPackagePath,
                                              const std::wstring& instCmd,
                                              const std::wstring& installDirectory,
                                              bool dsc, bool ssc, bool adminact,
                                              bool authorizationact) {
  std::wstring line = quotedPackagePath;
  line += L" /S -console=show -version=1.0.0.0";
  line += std::wstring(L" -adminact=") + Flag(adminact);
  line += std::wstring(L" -authorizationact=") + Flag(authorizationact);
  line += std::wstring(L" -dsc=") + Flag(dsc);
  line += std::wstring(L" -ssc=") + Flag(ssc);
  if (!instCmd.empty()) line += L" " + instCmd;
  if (!installDirectory.empty()) {
    line += L" -instdir=\"" + installDirectory + L"\"";
    line += L" /D=" + installDirectory;
  }
  return line;
}

void InstallSession::Start() {
  commandLine_ = BuildCommandLine(packagePath_, GetInstallerSettings().InstCmd,
                                  installDirectory_, dsc_, ssc_, adminact_, authorizationact_);
  if (worker_) {
    worker_->Join();
    worker_.reset();
  }
  worker_ = std::make_unique<WorkerThread>(
      [](void* self) -> uint32_t {
        static_cast<InstallSession*>(self)->Run();
        return 0;
      },
      this, L"ABDEF");
  worker_->Start();
}

void InstallSession::Run() {
  Send(2001, 0.0);
  Send(2002, 0.0);
  RunReportingChild(
      commandLine_, [this](const std::wstring& line) { return HandleLine(line); }, codePage_,
      kInstallSessionLoop, closing_,
      [this](int32_t code, double value, const std::wstring& text) { Send(code, value, text); },
      ClosingCodes{2003, 2004});
}

int InstallSession::HandleLine(const std::wstring& line) {
  using namespace ReportLine;
  std::wstring value;
  if (MatchKey(line, L"Progress=", value)) {
    Send(2002, Number(value));
  } else if (MatchKey(line, L"InstPath=", value)) {
    Send(3000, 0.0, value);
  } else if (MatchKey(line, L"State=", value)) {
    const std::wstring keyword = Keyword(value);
    if (keyword == L"Success") {
      SendLater(2003, 0.0);
      return kSuccess;
    }
    if (keyword == L"Fail") {
      SendLater(2004, 0.0, L"安装包安装失败");
      return kFailure;
    }
  } else if (MatchKey(line, L"ExePath=", value) || MatchKey(line, L"StartExe=", value)) {
    Send(3001, 0.0, value);
  } else if (MatchKey(line, L"UninstExePath=", value) || MatchKey(line, L"UninstExe=", value)) {
    Send(3002, 0.0, value);
  } else if (MatchKey(line, L"UninstEp=", value)) {
    Send(3003, 0.0, value);
  } else if (MatchKey(line, L"Error=", value)) {
    SendLater(2004, 1000.0, value);
    return kFailure;
  } else if (MatchKey(line, L"TopShowDetention=", value)) {
    Send(3007, UnsignedDelay(value));
  } else if (MatchKey(line, L"FinsihCloseDetention=", value)) {
    Send(3008, UnsignedDelay(value));
  } else if (MatchKey(line, L"StartUrl=", value)) {
    Send(3004, 0.0, value);
  } else if (MatchKey(line, L"StartupStyle=", value)) {
    Send(3005, StartupStyle(Keyword(value)));
  } else if (MatchKey(line, L"Encode=", value)) {
    codePage_ = CodePageFor(Keyword(value), true);
  } else if (MatchKey(line, L"Message=", value)) {
    Send(3009, 0.0, value);
  }
  return kNoVerdict;
}

void InstallSession::Send(int32_t code, double value, const std::wstring& text) {
  if (callback_) callback_(code, value, text);
}

void InstallSession::SendLater(int32_t code, double value, const std::wstring& text) {
  closing_.push_back(HeldEvent{code, value, text});
}
