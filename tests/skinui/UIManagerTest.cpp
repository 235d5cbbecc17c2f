#include "skinui/UIManager.h"

#include <gtest/gtest.h>

#include <string>

namespace SkinUI {
namespace {

// A resource path gets a trailing backslash unless it is empty or already ends in a separator.
TEST(UIManagerSettingsTest, ResourcePathEndsInSeparator) {
  struct Case {
    const wchar_t* given;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"", L""},
      {L"C:\\skin", L"C:\\skin\\"},
      {L"C:\\skin\\", L"C:\\skin\\"},
      {L"C:/skin/", L"C:/skin/"},
      {L"skin", L"skin\\"},
  };
  for (const Case& c : cases) {
    CUIManager::SetResourcePath(c.given);
    EXPECT_EQ(c.expected, CUIManager::ResourcePath()) << c.given;
  }
  CUIManager::SetResourcePath(L"");
}

// The instance path is the module's folder with its last backslash; empty without an instance.
TEST(UIManagerSettingsTest, InstancePathIsModuleFolder) {
  CUIManager::SetInstance(nullptr);
  EXPECT_EQ(L"", CUIManager::InstancePath());
  HINSTANCE self = ::GetModuleHandleW(nullptr);
  CUIManager::SetInstance(self);
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(self, module, MAX_PATH);
  std::wstring expected(module);
  expected.resize(expected.rfind(L'\\') + 1);
  EXPECT_EQ(expected, CUIManager::InstancePath());
  // Without a resource module of its own, resources come from the instance.
  EXPECT_EQ(self, CUIManager::ResourceInstance());
  CUIManager::SetInstance(nullptr);
}

// Language tokens with a registered number are replaced everywhere; others stay as typed.
TEST(UIManagerSettingsTest, LanguageTokensAreReplaced) {
  CUIManager::ClearLanguageTexts();
  CUIManager::AddLanguageText(1, L"Install");
  CUIManager::AddLanguageText(22, L"Cancel");
  struct Case {
    const wchar_t* text;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"%{1}", L"Install"},
      {L"a %{1} b %{22} c %{1}", L"a Install b Cancel c Install"},
      {L"%{3}", L"%{3}"},
      {L"%{}", L"%{}"},
      {L"%{1", L"%{1"},
      {L"%{x1}", L"%{x1}"},
      {L"%%{1}}", L"%Install}"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, CUIManager::ReplaceLanguageTokens(c.text)) << c.text;
  }
  // A later text for the same number replaces the earlier one.
  CUIManager::AddLanguageText(1, L"Setup");
  EXPECT_EQ(L"Setup", CUIManager::ReplaceLanguageTokens(L"%{1}"));
  EXPECT_EQ(nullptr, CUIManager::LanguageText(5));
  CUIManager::ClearLanguageTexts();
}

}  // namespace
}  // namespace SkinUI
