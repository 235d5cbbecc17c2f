#include "skinui/UIManager.h"

#include <cwchar>

#include "skinui/SevenZipArchive.h"
#include "skinui/ZipArchive.h"

namespace SkinUI {

namespace {

// Process-wide skin settings. The framework runs on one thread, so no lock guards them.
struct SharedSettings {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceInstance = nullptr;
  std::wstring resourcePath;
  std::wstring archiveName;
  bool archiveCached = false;
  ResourceArchiveHandle archive;
  // A zip archive in memory is read in place, so the manager keeps the bytes alive.
  std::vector<BYTE> archiveMemory;
  bool sevenZip = false;
  std::map<std::wstring, std::wstring> languageTexts;
};

SharedSettings& Settings() {
  static SharedSettings settings;
  return settings;
}

const wchar_t kMemoryArchiveName[] = L"membuffer";

void CloseArchive(ResourceArchiveHandle& handle) {
  if (handle.sevenZip != nullptr) CloseSevenZip(handle.sevenZip);
  if (handle.zip != nullptr) CloseZipArchive(handle.zip);
  handle = ResourceArchiveHandle();
}

}  // namespace

// The constructor and destructor live with the per-window state (UIManagerWindow.cpp).

void CUIManager::SetInstance(HINSTANCE instance) { Settings().instance = instance; }

HINSTANCE CUIManager::Instance() { return Settings().instance; }

std::wstring CUIManager::InstancePath() {
  if (Settings().instance == nullptr) return std::wstring();
  wchar_t path[MAX_PATH + 1] = {};
  DWORD length = ::GetModuleFileNameW(Settings().instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring result(path, length);
  size_t slash = result.rfind(L'\\');
  if (slash == std::wstring::npos) return std::wstring();
  return result.substr(0, slash + 1);
}

void CUIManager::SetResourceInstance(HINSTANCE module) { Settings().resourceInstance = module; }

HINSTANCE CUIManager::ResourceInstance() {
  return Settings().resourceInstance != nullptr ? Settings().resourceInstance
                                                : Settings().instance;
}

void CUIManager::SetResourcePath(const std::wstring& path) {
  std::wstring value = path;
  if (!value.empty() && value.back() != L'\\' && value.back() != L'/') value += L'\\';
  Settings().resourcePath = value;
}

const std::wstring& CUIManager::ResourcePath() { return Settings().resourcePath; }

void CUIManager::SetResourceArchive(const std::wstring& name, bool cached) {
  SharedSettings& settings = Settings();
  CloseArchive(settings.archive);
  settings.archiveMemory.clear();
  settings.archiveName = name;
  settings.archiveCached = cached && !name.empty();
}

void CUIManager::SetResourceArchiveMemory(const BYTE* bytes, DWORD size) {
  SharedSettings& settings = Settings();
  if (settings.archiveName == kMemoryArchiveName) return;
  CloseArchive(settings.archive);
  settings.archiveName = kMemoryArchiveName;
  settings.archiveCached = true;
  settings.archiveMemory.clear();
  if (bytes == nullptr || size == 0) return;
  if (settings.sevenZip) {
    settings.archive.sevenZip = OpenSevenZipMemory(bytes, size);
  } else {
    settings.archiveMemory.assign(bytes, bytes + size);
    settings.archive.zip =
        OpenZipArchive(settings.archiveMemory.data(), size, kZipSourceMemory);
  }
}

const std::wstring& CUIManager::ResourceArchive() { return Settings().archiveName; }

bool CUIManager::IsResourceArchiveCached() { return Settings().archiveCached; }

ResourceArchiveHandle CUIManager::CachedArchive() { return Settings().archive; }

void CUIManager::SetCachedArchive(const ResourceArchiveHandle& handle) {
  SharedSettings& settings = Settings();
  if (settings.archive.sevenZip != handle.sevenZip || settings.archive.zip != handle.zip)
    CloseArchive(settings.archive);
  settings.archive = handle;
}

void CUIManager::ResetResourceArchive() {
  SharedSettings& settings = Settings();
  CloseArchive(settings.archive);
  settings.archiveMemory.clear();
  settings.archiveName.clear();
  settings.archiveCached = false;
}

void CUIManager::SetSevenZipArchive(bool sevenZip) { Settings().sevenZip = sevenZip; }

bool CUIManager::IsSevenZipArchive() { return Settings().sevenZip; }

void CUIManager::AddLanguageText(int id, const std::wstring& text) {
  Settings().languageTexts[std::to_wstring(id)] = text;
}

const std::wstring* CUIManager::LanguageText(int id) {
  const auto& texts = Settings().languageTexts;
  auto found = texts.find(std::to_wstring(id));
  return found == texts.end() ? nullptr : &found->second;
}

std::wstring CUIManager::ReplaceLanguageTokens(const std::wstring& text) {
  const auto& texts = Settings().languageTexts;
  if (texts.empty()) return text;
  std::wstring result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find(L"%{", pos);
    if (open == std::wstring::npos) break;
    size_t digitsEnd = open + 2;
    while (digitsEnd < text.size() && iswdigit(text[digitsEnd])) ++digitsEnd;
    if (digitsEnd > open + 2 && digitsEnd < text.size() && text[digitsEnd] == L'}') {
      auto found = texts.find(text.substr(open + 2, digitsEnd - open - 2));
      if (found != texts.end()) {
        result.append(text, pos, open - pos);
        result += found->second;
        pos = digitsEnd + 1;
        continue;
      }
    }
    result.append(text, pos, open + 2 - pos);
    pos = open + 2;
  }
  result.append(text, pos, std::wstring::npos);
  return result;
}

void CUIManager::ClearLanguageTexts() { Settings().languageTexts.clear(); }

}  // namespace SkinUI
