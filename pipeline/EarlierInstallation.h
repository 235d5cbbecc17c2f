// The record an installation of the product keeps in the current user's registry, and
// whether a new installation may go over it without removing it first.
#pragma once

#include <windows.h>

#include <string>

constexpr wchar_t kInstallRecordKey[] = L"Software\\ZarnSoft\\Folvane";
constexpr wchar_t kInstallPathValue[] = L"InstallPath";
constexpr wchar_t kUninstallDataValue[] = L"UnInstallEp";
constexpr wchar_t kUninstallDataFileName[] = L"uninst.data";

struct EarlierInstallation {
  std::wstring installFolder;
  // The installation's uninstaller; "<folder>\uninst.data" when the record names none.
  std::wstring uninstallDataPath;
};

// Reads the record below `root` (HKEY_CURRENT_USER for the product). Both fields are
// empty when there is no record.
EarlierInstallation ReadEarlierInstallation(HKEY root = HKEY_CURRENT_USER,
                                            const std::wstring& subkey = kInstallRecordKey);

// True when the chosen folder is the earlier install folder (letter case and a trailing
// backslash do not matter) and the installation's "config" file allows installing over
// it: section "Uninstall", key "IsOverride" exactly "true", which is also the answer when
// the file or the key is missing.
bool CanInstallOver(const std::wstring& earlierInstallFolder, const std::wstring& chosenFolder);
