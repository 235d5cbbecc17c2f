// Runs an earlier installation's uninstaller silently and reports: 5002 start and
// progress, 5003 removed, 5004 failed. The closing event is sent only once the
// uninstaller process has ended, so a download that waits for it never races an
// uninstaller still deleting files in the same folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/EventCallback.h"
#include "pipeline/ReportLoop.h"

class WorkerThread;

class UninstallRunner {
 public:
  UninstallRunner(EventCallback callback, std::wstring uninstallerPath,
                  std::wstring earlierInstallFolder);
  // Waits for a running uninstaller to end; every event is delivered before this returns.
  ~UninstallRunner();
  UninstallRunner(const UninstallRunner&) = delete;
  UninstallRunner& operator=(const UninstallRunner&) = delete;

  // Builds the command line and runs the uninstaller on the "UnInstaller" worker. Answers
  // whether the worker started.
  bool Start();
  const std::wstring& CommandLine() const { return commandLine_; }

  // The uninstaller's path is not quoted and "_?=" names the folder last, unquoted: the
  // uninstaller takes everything after it as the folder to remove.
  static std::wstring BuildCommandLine(const std::wstring& uninstallerPath,
                                       bool consoleUserAdministrator,
                                       bool processAdministrator,
                                       const std::wstring& earlierInstallFolder);

 private:
  void Run();
  int HandleLine(const std::wstring& line);
  void Send(int32_t code, double value, const std::wstring& text = std::wstring());

  EventCallback callback_;
  std::wstring commandLine_;
  std::wstring uninstallerPath_;
  std::wstring earlierInstallFolder_;
  int codePage_ = 0;
  std::unique_ptr<WorkerThread> worker_;
  // Verdict events of the running uninstaller, held until it has exited.
  std::vector<HeldEvent> closing_;
};
