#include "pipeline/InstallPipeline.h"

#include <windows.h>
#include <shlwapi.h>

#include "utils/FileSystem.h"

namespace {

constexpr wchar_t kPackageFilePrefix[] = L"\\package_";
constexpr wchar_t kProductName[] = L"Folvane";
constexpr wchar_t kPackageFileExtension[] = L".exe";
constexpr wchar_t kUninstallerCopyName[] = L"\\Folvane_uninstall.exe";

}  // namespace

InstallPipeline::InstallPipeline(EventCallback callback, std::wstring downloadUrl,
                                 std::wstring earlierUninstaller, std::wstring installDirectory,
                                 bool option1, bool option2, bool option3)
    : downloadUrl_(std::move(downloadUrl)),
      earlierUninstaller_(std::move(earlierUninstaller)),
      installDirectory_(std::move(installDirectory)),
      option1_(option1),
      option2_(option2),
      option3_(option3),
      callback_(std::move(callback)) {}

InstallPipeline::~InstallPipeline() {
  {
    std::lock_guard<std::mutex> lock(forwardMutex_);
    closing_ = true;
  }
  runner_.reset();
  downloader_.reset();
  session_.reset();
}

void InstallPipeline::Configure(std::wstring downloadUrl, std::wstring earlierUninstaller,
                                std::wstring installDirectory, bool option1, bool option2,
                                bool option3, bool option4) {
  downloadUrl_ = std::move(downloadUrl);
  earlierUninstaller_ = std::move(earlierUninstaller);
  installDirectory_ = std::move(installDirectory);
  option1_ = option1;
  option2_ = option2;
  option3_ = option3;
  option4_ = option4;
}

std::wstring InstallPipeline::PackagePathFor(const std::wstring& installDirectory) {
  return installDirectory + kPackageFilePrefix + kProductName + kPackageFileExtension;
}

std::wstring InstallPipeline::UninstallerCopyPathIn(const std::wstring& tempWorkFolder) {
  if (tempWorkFolder.empty()) return {};
  return tempWorkFolder + kUninstallerCopyName;
}

std::wstring InstallPipeline::EarlierInstallDirectoryOf(const std::wstring& uninstallerPath) {
  wchar_t folder[MAX_PATH] = {};
  uninstallerPath.copy(folder, MAX_PATH - 1);
  ::PathRemoveFileSpecW(folder);
  return folder;
}

void InstallPipeline::Run() {
  packagePath_ = PackagePathFor(installDirectory_);

  // The earlier runner may still be reading an uninstaller that failed; it must be done
  // before the downloader it would start on a late success is replaced.
  runner_.reset();
  downloader_.reset();
  downloader_ = std::make_unique<CWinDownloader>(DownloadHandler(), downloadUrl_, packagePath_,
                                                 downloadRetry_);
  if (!session_ || sessionPackagePath_ != packagePath_) {
    session_.reset();
    sessionPackagePath_ = packagePath_;
    session_ = std::make_unique<InstallSession>(SessionHandler(packagePath_),
                                                L"\"" + packagePath_ + L"\"", installDirectory_,
                                                option1_, option2_, option3_, true);
  }
  session_->SetInstallDirectory(installDirectory_);
  session_->SetDsc(option1_);
  session_->SetSsc(option2_);
  session_->SetAdminact(option3_);
  session_->SetAuthorizationact(option4_);

  if (!::PathFileExistsW(earlierUninstaller_.c_str())) {
    downloader_->Start();
    return;
  }
  StartEarlierUninstall(downloader_.get());
}

void InstallPipeline::StartEarlierUninstall(CDownloader* downloader) {
  const std::wstring workFolder = temporaryPath_.empty()
                                      ? Utils::GetTempWorkFolder()
                                      : Utils::GetTempWorkFolderIn(temporaryPath_);
  const std::wstring copyPath = UninstallerCopyPathIn(workFolder);
  // The uninstaller removes its own folder, so it runs from a copy outside it. A failed
  // copy shows up as the runner's own "missing file" failure.
  if (!copyPath.empty()) ::CopyFileW(earlierUninstaller_.c_str(), copyPath.c_str(), FALSE);
  runner_ = std::make_unique<UninstallRunner>(RunnerHandler(downloader), copyPath,
                                              EarlierInstallDirectoryOf(earlierUninstaller_));
  runner_->Start();
}

bool InstallPipeline::Forward(int32_t code, double value, const std::wstring& text) {
  std::lock_guard<std::mutex> lock(forwardMutex_);
  if (closing_) return false;
  if (callback_) callback_(code, value, text);
  return true;
}

// The handlers run on the jobs' worker threads. They keep their own copies of the
// attempt's paths, so a later Configure on the owner's thread never races them.
EventCallback InstallPipeline::DownloadHandler() {
  return [this, directory = installDirectory_, package = packagePath_](
             int32_t code, double value, const std::wstring& text) {
    if (!Forward(code, value, text)) return;
    switch (code) {
      case 1001:
        Utils::CreateDirectoryTree(directory);
        break;
      case 1003:
        session_->Start();
        break;
      case 1004:
        ::DeleteFileW(package.c_str());
        break;
      default:
        break;
    }
  };
}

// The session sends its closing event only once the package process has ended, so the
// package file can be deleted here.
EventCallback InstallPipeline::SessionHandler(const std::wstring& packagePath) {
  return [this, package = packagePath](int32_t code, double value, const std::wstring& text) {
    if (!Forward(code, value, text)) return;
    if (code == 2003 || code == 2004) ::DeleteFileW(package.c_str());
  };
}

// The runner sends 5003 only once the uninstaller process has ended, so the download
// never races an uninstaller still deleting files in the install folder.
EventCallback InstallPipeline::RunnerHandler(CDownloader* downloader) {
  return [this, downloader](int32_t code, double value, const std::wstring& text) {
    if (!Forward(code, value, text)) return;
    if (code == 5003) downloader->Start();
  };
}
