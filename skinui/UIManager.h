// The paint manager: one per skinned window, plus the settings every window of the
// process shares (where skin files come from, the resource archive, language texts).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {

struct SevenZipArchive;
struct ZipArchive;

// The shared resource archive once it has been opened; exactly one of the two readers
// owns it, chosen by the 7z switch at the time it was opened.
struct ResourceArchiveHandle {
  SevenZipArchive* sevenZip = nullptr;
  ZipArchive* zip = nullptr;
  bool IsOpen() const { return sevenZip != nullptr || zip != nullptr; }
};

class CUIManager {
 public:
  CUIManager();
  ~CUIManager();
  CUIManager(const CUIManager&) = delete;
  CUIManager& operator=(const CUIManager&) = delete;

  // ---- Process-wide settings (shared by every window of the process) ----

  static void SetInstance(HINSTANCE instance);
  static HINSTANCE Instance();
  // The instance's module folder including its last backslash; empty without an instance.
  static std::wstring InstancePath();
  // Module that skin resources are loaded from; the instance when none was set.
  static void SetResourceInstance(HINSTANCE module);
  static HINSTANCE ResourceInstance();

  // Skin file names are relative to this folder; a non-empty path always ends in a
  // backslash or slash once set.
  static void SetResourcePath(const std::wstring& path);
  static const std::wstring& ResourcePath();

  // An archive file (relative to the resource path) that skin files are read from; an
  // empty name goes back to reading plain files. Cached keeps the archive open between
  // loads. Setting another archive closes the one held open.
  static void SetResourceArchive(const std::wstring& name, bool cached);
  // An archive held in memory ("membuffer"), always cached. Only the first call takes
  // effect: windows opened later share the archive the first one set.
  static void SetResourceArchiveMemory(const BYTE* bytes, DWORD size);
  static const std::wstring& ResourceArchive();
  static bool IsResourceArchiveCached();
  // The archive held open for cached loads (none before the first load of a file archive).
  static ResourceArchiveHandle CachedArchive();
  static void SetCachedArchive(const ResourceArchiveHandle& handle);
  // Closes and forgets the cached archive and the archive name.
  static void ResetResourceArchive();

  // Resource archives are 7z archives rather than zip archives.
  static void SetSevenZipArchive(bool sevenZip);
  static bool IsSevenZipArchive();

  // Numbered texts that "%{n}" tokens in shown texts stand for.
  static void AddLanguageText(int id, const std::wstring& text);
  static const std::wstring* LanguageText(int id);
  // Replaces every "%{digits}" whose number has a text; other tokens stay as written.
  static std::wstring ReplaceLanguageTokens(const std::wstring& text);
  static void ClearLanguageTexts();

  // ---- Per-window state ----
};

}  // namespace SkinUI
