// Puts the three jobs of one installation in order: the earlier installation's
// uninstaller (when there is one to remove), the package download into the install
// folder, and the silent run of the package. Every event of the three passes through to
// the owner's callback first; only then does the pipeline react (start the next job,
// delete the package file).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "pipeline/Downloader.h"
#include "pipeline/EventCallback.h"
#include "pipeline/InstallSession.h"
#include "pipeline/UninstallRunner.h"
#include "pipeline/WinDownloader.h"

class InstallPipeline {
 public:
  // Options 1 to 3 as given; option 4 starts false.
  InstallPipeline(EventCallback callback, std::wstring downloadUrl,
                  std::wstring earlierUninstaller, std::wstring installDirectory, bool option1,
                  bool option2, bool option3);
  // Stops forwarding events at once, then waits for each job in the order they chain
  // (runner, downloader, session): a finished job may start the next one until it has
  // been waited for. The running download is cut short; a running uninstaller or
  // package is waited for.
  ~InstallPipeline();
  InstallPipeline(const InstallPipeline&) = delete;
  InstallPipeline& operator=(const InstallPipeline&) = delete;

  // Options feed the package's switches: 1 " -dsc=", 2 " -ssc=", 3 " -adminact=",
  // 4 " -authorizationact=".
  void Configure(std::wstring downloadUrl, std::wstring earlierUninstaller,
                 std::wstring installDirectory, bool option1, bool option2, bool option3,
                 bool option4);

  // Starts an installation attempt. Each attempt gets a fresh downloader and, when an
  // earlier installation is removed, a fresh uninstall runner; the previous ones are
  // released once their workers have ended. Called on the owner's thread, never while
  // an attempt is still running.
  void Run();

  const std::wstring& PackagePath() const { return packagePath_; }

  // "<install directory>\package_Folvane.exe".
  static std::wstring PackagePathFor(const std::wstring& installDirectory);
  // "<work folder>\Folvane_uninstall.exe"; empty without a work folder.
  static std::wstring UninstallerCopyPathIn(const std::wstring& tempWorkFolder);
  // The uninstaller's folder: its path (cut to 259 characters) without the last part.
  static std::wstring EarlierInstallDirectoryOf(const std::wstring& uninstallerPath);

  // Seams for tests: the download's attempts and pauses, and the system temporary path
  // below which the work folder "~ZarnTemp\" is made (it ends with a backslash).
  void SetDownloadRetry(const DownloadRetry& retry) { downloadRetry_ = retry; }
  void SetTemporaryPath(std::wstring tempPath) { temporaryPath_ = std::move(tempPath); }

 private:
  // Passes one event to the owner; false (and nothing passed) once teardown has begun.
  bool Forward(int32_t code, double value, const std::wstring& text);
  EventCallback DownloadHandler();
  EventCallback SessionHandler(const std::wstring& packagePath);
  EventCallback RunnerHandler(CDownloader* downloader);
  void StartEarlierUninstall(CDownloader* downloader);

  std::unique_ptr<UninstallRunner> runner_;
  std::unique_ptr<CDownloader> downloader_;
  std::unique_ptr<InstallSession> session_;
  // The package path the session runs; a new folder needs a new session.
  std::wstring sessionPackagePath_;
  std::wstring downloadUrl_;
  std::wstring earlierUninstaller_;
  std::wstring installDirectory_;
  std::wstring packagePath_;
  bool option1_;
  bool option2_;
  bool option3_;
  bool option4_ = false;
  EventCallback callback_;

  DownloadRetry downloadRetry_;
  std::wstring temporaryPath_;
  // Forwarding and the start of teardown exclude each other, so once the destructor has
  // raised the flag the owner hears nothing more.
  std::mutex forwardMutex_;
  bool closing_ = false;
};
