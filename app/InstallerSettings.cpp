#include "app/InstallerSettings.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/CommandLineOptions.h"
#include "app/WindowsVersion.h"
#include "utils/StringUtil.h"

namespace {

constexpr wchar_t kSection[] = L"Install";
constexpr int kSixtyFourBitRouteProducts[] = {134, 267, 385, 257, 335, 318};

std::wstring ReadProfileString(const std::wstring& path, const wchar_t* key,
                               const wchar_t* fallback) {
  // A value longer than the buffer is cut to its first MAX_PATH - 1 characters.
  wchar_t buffer[MAX_PATH] = {};
  DWORD length = ::GetPrivateProfileStringW(kSection, key, fallback, buffer, MAX_PATH,
                                            path.c_str());
  return std::wstring(buffer, length);
}

std::wstring ExecutablePath() {
  wchar_t buffer[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(buffer, length);
}

}  // namespace

InstallerSettings::InstallerSettings() { SetDownloadUrl(kBuiltInDownloadUrl); }

void InstallerSettings::SetDownloadUrl(const std::wstring& text) { DownloadUrl = ExpandRoute(text); }

void InstallerSettings::SetDownloadScale(double share) {
  // The share multiplies every download fraction on the progress bar: a NaN or an
  // out-of-range value there would paint nonsense, so it is pinned here once.
  if (std::isnan(share)) share = 0.0;
  DownloadScale = std::clamp(share, 0.0, 1.0);
}

void InstallerSettings::LoadConfigFile(const std::wstring& path) {
  if (path.empty() || !::PathFileExistsW(path.c_str())) return;
  SetDownloadUrl(ReadProfileString(path, L"DownloadUrl", kBuiltInDownloadUrl));
  IsCheckNet = ReadProfileString(path, L"IsCheckNet", L"true") == L"true";
  double scale = 0.0;
  if (!ParseLeadingDouble(ReadProfileString(path, L"DownloadScale", L"0.7"), &scale)) scale = 0.0;
  SetDownloadScale(scale);
  InstCmd = ReadProfileString(path, L"InstCmd", L"");
}

void InstallerSettings::ApplyCommandLine(const std::wstring& commandLine) {
  CommandLineOptions options(commandLine);
  if (options.Has(L"-downloadurl")) SetDownloadUrl(options.GetString(L"-downloadurl"));
  if (options.Has(L"-downloadscale"))
    SetDownloadScale(options.GetDouble(L"-downloadscale", std::numeric_limits<double>::quiet_NaN()));
  if (options.Has(L"-ischecknet")) IsCheckNet = options.GetBool(L"-ischecknet", false);
  if (options.Has(L"-instcmd")) InstCmd = options.GetString(L"-instcmd");
}

std::wstring ConfigFilePathFor(const std::wstring& executablePath) {
  if (executablePath.empty() || executablePath.size() >= MAX_PATH) return {};
  wchar_t folder[MAX_PATH] = {};
  executablePath.copy(folder, executablePath.size());
  ::PathRemoveFileSpecW(folder);
  std::wstring path = std::wstring(folder) + L"\\" + kConfigFileName;
  return path.size() < MAX_PATH ? path : std::wstring();
}

InstallerSettings& GetInstallerSettings() {
  // Never destroyed: workers may still read it while the process ends.
  static InstallerSettings* settings = [] {
    auto* built = new InstallerSettings();
    built->LoadConfigFile(ConfigFilePathFor(ExecutablePath()));
    return built;
  }();
  return *settings;
}

void ApplyCommandLine() { GetInstallerSettings().ApplyCommandLine(::GetCommandLineW()); }

std::wstring ChooseRoute(const std::wstring& versionName, int productId,
                         const std::function<bool()>& isWow64) {
  if (Utils::Contains(versionName, L"XP")) return L"download_silent_xp";
  const bool onSixtyFourBitList =
      std::find(std::begin(kSixtyFourBitRouteProducts), std::end(kSixtyFourBitRouteProducts),
                productId) != std::end(kSixtyFourBitRouteProducts);
  if (onSixtyFourBitList && isWow64()) return L"download_silent_64";
  return L"download_silent";
}

std::wstring ExpandRoute(const std::wstring& text) {
  if (!Utils::Contains(text, kRoutePlaceholder)) return text;
  std::wstring family, version;
  GetWindowsVersionName(family, version);
  return Utils::ReplaceAll(text, kRoutePlaceholder,
                           ChooseRoute(version, kProductId, &IsRunningUnderWow64));
}

namespace {
// The record is built, and the configuration file read, before the entry point runs.
[[maybe_unused]] const InstallerSettings& builtAtStart = GetInstallerSettings();
}  // namespace
