// Runs the downloaded package silently and turns its report lines into events:
// 2001 start, 2002 progress, 2003 success, 2004 failure, 3000-3009 facts the package
// reports. The closing event (2003 or 2004) is sent only once the package process has
// ended, so the owner may delete the package file when it arrives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/EventCallback.h"
#include "pipeline/ReportLoop.h"

class WorkerThread;

class InstallSession {
 public:
  // The package path comes already enclosed in double quotes.
  InstallSession(EventCallback callback, std::wstring quotedPackagePath,
                 std::wstring installDirectory, bool dsc, bool ssc, bool adminact,
                 bool authorizationact);
  // Waits for a running package to end; every event is delivered before this returns.
  ~InstallSession();
  InstallSession(const InstallSession&) = delete;
  InstallSession& operator=(const InstallSession&) = delete;

  void SetInstallDirectory(const std::wstring& directory) { installDirectory_ = directory; }
  void SetDsc(bool value) { dsc_ = value; }
  void SetSsc(bool value) { ssc_ = value; }
  void SetAdminact(bool value) { adminact_ = value; }
  void SetAuthorizationact(bool value) { authorizationact_ = value; }

  // Builds the command line (with the settings' extra switches) and runs the package on
  // a new worker, after waiting for the worker of an earlier run.
  void Start();
  // The command line of the latest Start.
  const std::wstring& CommandLine() const { return commandLine_; }

  // The package's switches in their fixed order; "/D=" is last and never quoted, as the
  // package's installer engine takes everything after it as the folder.
  static std::wstring BuildCommandLine(const std::wstring& quotedPackagePath,
                                       const std::wstring& instCmd,
                                       const std::wstring& installDirectory, bool dsc,
                                       bool ssc, bool adminact, bool authorizationact);

 private:
  void Run();
  int HandleLine(const std::wstring& line);
  void Send(int32_t code, double value, const std::wstring& text = std::wstring());
  void SendLater(int32_t code, double value, const std::wstring& text = std::wstring());

  EventCallback callback_;
  std::wstring packagePath_;
  std::wstring installDirectory_;
  std::wstring commandLine_;
  bool ssc_;
  bool dsc_;
  int codePage_ = 0;
  std::unique_ptr<WorkerThread> worker_;
  bool adminact_;
  bool authorizationact_;
  // Verdict events of the running package, held until it has exited.
  std::vector<HeldEvent> closing_;
};
