#include "services/ChannelFile.h"

#include <windows.h>
#include <shlobj.h>

#include <clocale>
#include <cwchar>

#include "utils/FileSystem.h"

namespace {

constexpr wchar_t kProductFolder[] = L"Folvane";
constexpr wchar_t kChannelFileName[] = L"APP";
constexpr wchar_t kChannelFileExtension[] = L".ini";
// The local folder's "\Local" ending, which is dropped to reach the roaming folder beside it.
constexpr size_t kLocalEndingLength = 6;
constexpr wchar_t kMissingChannel[] = L"error";

std::wstring ChannelFolderFor(const std::wstring& localAppDataFolder) {
  if (localAppDataFolder.size() < kLocalEndingLength) return {};
  const std::wstring appData =
      localAppDataFolder.substr(0, localAppDataFolder.size() - kLocalEndingLength);
  wchar_t folder[MAX_PATH] = {};
  const int written = std::swprintf(folder, MAX_PATH, L"%ls\\Roaming\\%ls", appData.c_str(),
                                    kProductFolder);
  if (written < 0 || written >= MAX_PATH) return {};
  return folder;
}

}  // namespace

std::wstring ChannelFilePathFor(const std::wstring& localAppDataFolder) {
  const std::wstring folder = ChannelFolderFor(localAppDataFolder);
  if (folder.empty()) return {};
  return folder + L"\\" + kChannelFileName + kChannelFileExtension;
}

void WriteChannelFileFor(const std::wstring& localAppDataFolder) {
  const std::wstring folder = ChannelFolderFor(localAppDataFolder);
  if (folder.empty()) return;
  Utils::CreateDirectoryTree(folder);
  const std::wstring file = folder + L"\\" + kChannelFileName + kChannelFileExtension;

  // The product reads its files with this locale; it stays for the rest of the process.
  _wsetlocale(LC_ALL, L"en_GB.UTF-8");

  wchar_t channel[MAX_PATH] = {};
  ::GetPrivateProfileStringW(L"Install", L"channel", kMissingChannel, channel, MAX_PATH,
                             file.c_str());
  if (std::wcscmp(channel, kMissingChannel) == 0)
    ::WritePrivateProfileStringW(L"Install", L"channel", L"reduri", file.c_str());
  ::WritePrivateProfileStringW(L"help", L"isrun", L"0", file.c_str());
  ::WritePrivateProfileStringW(L"Install", L"native", L"0", file.c_str());
}

void WriteChannelFile() {
  wchar_t localAppData[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, localAppData, CSIDL_LOCAL_APPDATA, FALSE)) return;
  WriteChannelFileFor(localAppData);
}
