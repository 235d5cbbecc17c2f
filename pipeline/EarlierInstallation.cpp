#include "pipeline/EarlierInstallation.h"

#include <shlwapi.h>

#include "pipeline/RegistryString.h"

EarlierInstallation ReadEarlierInstallation(HKEY root, const std::wstring& subkey) {
  EarlierInstallation earlier;
  ReadRegistryString(root, subkey, kInstallPathValue, earlier.installFolder);
  ReadRegistryString(root, subkey, kUninstallDataValue, earlier.uninstallDataPath);
  if (earlier.uninstallDataPath.empty() && !earlier.installFolder.empty())
    earlier.uninstallDataPath = earlier.installFolder + L"\\" + kUninstallDataFileName;
  return earlier;
}

namespace {

// A trailing backslash names the same folder, but PathRelativePathToW then answers
// something other than "."; a drive root keeps its backslash.
std::wstring WithoutTrailingBackslash(std::wstring folder) {
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

}  // namespace

bool CanInstallOver(const std::wstring& earlierInstallFolder, const std::wstring& chosenFolder) {
  const std::wstring earlier = WithoutTrailingBackslash(earlierInstallFolder);
  const std::wstring chosen = WithoutTrailingBackslash(chosenFolder);
  if (earlier.empty() || chosen.empty()) return false;
  if (earlier.size() >= MAX_PATH || chosen.size() >= MAX_PATH) return false;
  wchar_t relative[MAX_PATH] = {};
  if (!::PathRelativePathToW(relative, earlier.c_str(), FILE_ATTRIBUTE_DIRECTORY, chosen.c_str(),
                             FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (std::wstring(relative) != L".") return false;

  const std::wstring configFile = chosen + L"\\config";
  wchar_t isOverride[20] = {};
  ::GetPrivateProfileStringW(L"Uninstall", L"IsOverride", L"true", isOverride, 20,
                             configFile.c_str());
  return std::wstring(isOverride) == L"true";
}
