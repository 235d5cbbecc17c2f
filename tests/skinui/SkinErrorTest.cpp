#include <gtest/gtest.h>

#include <string>

#include "SkinWindowSupport.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {
namespace {

// Run only as the child of SkinError.BoxThenExitCodeOne: a skin that cannot be built.
TEST(SkinErrorChild, DISABLED_MissingSkinEndsTheProcess) {
  TextSkinWindow window(L"no-such-skin.xml");
  window.Open();
  ADD_FAILURE() << "the process should have ended";
}

// A skin that cannot be built shows the "SkinUI" error box, then the process exits with 1.
TEST(SkinError, BoxThenExitCodeOne) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) +
                         L"\" --gtest_also_run_disabled_tests"
                         L" --gtest_filter=SkinErrorChild.DISABLED_MissingSkinEndsTheProcess";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
  Utils::ScopedHandle process(info.hProcess);
  Utils::ScopedHandle thread(info.hThread);

  std::wstring text;
  HWND box = nullptr;
  for (int i = 0; i < 200 && box == nullptr; ++i) {
    box = ::FindWindowW(L"#32770", L"SkinUI");
    if (box == nullptr && ::WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) break;
  }
  ASSERT_NE(box, nullptr) << "no error box appeared";
  DWORD owner = 0;
  ::GetWindowThreadProcessId(box, &owner);
  EXPECT_EQ(owner, info.dwProcessId);
  wchar_t buffer[64] = {};
  ::GetDlgItemTextW(box, 0xFFFF, buffer, 64);
  EXPECT_STREQ(buffer, L"\u52a0\u8f7d\u8d44\u6e90\u6587\u4ef6\u5931\u8d25");
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);

  ASSERT_EQ(::WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 1u);
}

}  // namespace
}  // namespace SkinUI
