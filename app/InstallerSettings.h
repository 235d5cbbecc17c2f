// The process-wide installer settings: where the package comes from, whether the network
// is checked first, the download's share of the progress bar and extra package switches.
// Three layers, each overriding the one before: built-in defaults, the file
// "ZarnInstallerConfig.ini" beside the executable, and the command line. Built during
// static initialisation, completed by the entry point before any worker exists, and only
// read afterwards (SellVersion excepted).
#pragma once

#include <functional>
#include <string>

struct InstallerSettings {
  std::wstring InstCmd;
  std::wstring DownloadUrl;
  bool IsCheckNet = false;
  double DownloadScale = 0.7;
  bool HttpReady = true;
  std::wstring SellVersion = L"IN";

  // Built-in defaults only; the address goes through route expansion like every other.
  InstallerSettings();

  // Every assignment of the address goes through here: the text after ExpandRoute.
  void SetDownloadUrl(const std::wstring& text);
  // The share always lands in [0, 1]; a value that is not a number gives 0.
  void SetDownloadScale(double share);

  // Section "Install" of the given file; nothing changes when the file does not exist.
  void LoadConfigFile(const std::wstring& path);
  // The four options "-downloadurl", "-downloadscale", "-ischecknet", "-instcmd".
  void ApplyCommandLine(const std::wstring& commandLine);
};

// The one record of the process; available from static initialisation on, with the
// configuration file beside the executable already read.
InstallerSettings& GetInstallerSettings();

// Applies the process's own command line (GetCommandLineW) to the process's record.
void ApplyCommandLine();

constexpr wchar_t kBuiltInDownloadUrl[] =
    L"https://download.folvane.example/openapi/download?ch=10009&app=50005";
constexpr wchar_t kConfigFileName[] = L"ZarnInstallerConfig.ini";

// "<folder of the executable>\ZarnInstallerConfig.ini" for the executable's full path;
// empty when the path does not fit MAX_PATH.
std::wstring ConfigFilePathFor(const std::wstring& executablePath);

// Route placeholder of the download address and the routes it stands for.
constexpr wchar_t kRoutePlaceholder[] = L"${ROUTE}";
constexpr int kProductId = 1000;

// Replaces every "${ROUTE}" with the route of this machine.
std::wstring ExpandRoute(const std::wstring& text);
// The route for a version name and product id; isWow64 is asked only when the route
// depends on it (not an XP-family system, and the product on the 64-bit route list).
std::wstring ChooseRoute(const std::wstring& versionName, int productId,
                         const std::function<bool()>& isWow64);
