#include "services/ProductLaunch.h"

#include <mmsystem.h>

#include <string>

#include <gtest/gtest.h>

#include "support/FakeProgram.h"
#include "support/TempFolder.h"

namespace {

// A message-only window of the test thread that counts what is dispatched to it.
class CountingWindow {
 public:
  CountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &CountingWindow::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"FolvaneCountingWindow";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, L"FolvaneCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr);
    dispatched = 0;
  }
  ~CountingWindow() {
    if (::IsWindow(window_)) ::DestroyWindow(window_);
  }
  HWND get() const { return window_; }

  static inline int dispatched = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP || message == WM_TIMER) ++dispatched;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

// Takes whatever is left in the test thread's queue.
void DrainQueue() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// With messages arriving, the pump handles them until the period is over and answers true.
TEST(PumpMessagesTest, HandlesMessagesForTheWholePeriod) {
  CountingWindow window;
  ASSERT_NE(window.get(), nullptr);
  const UINT_PTR timer = ::SetTimer(window.get(), 1, 10, nullptr);
  const DWORD start = ::timeGetTime();
  EXPECT_TRUE(PumpMessages(window.get(), 150));
  EXPECT_GT(::timeGetTime() - start, 150u);
  EXPECT_GE(CountingWindow::dispatched, 2);
  ::KillTimer(window.get(), timer);
  DrainQueue();
}

// The quit message ends the pump with false and is posted again with its exit code, so
// the caller's own loop still ends; messages before it were dispatched.
TEST(PumpMessagesTest, QuitMessageEndsThePumpAndIsPostedAgain) {
  CountingWindow window;
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  ::PostQuitMessage(42);
  EXPECT_FALSE(PumpMessages(window.get(), 60000));
  EXPECT_EQ(CountingWindow::dispatched, 1);
  MSG message{};
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 42u);
  DrainQueue();
}

// A window that is gone ends the pump at once with false, before any message is taken.
TEST(PumpMessagesTest, GoneWindowEndsThePumpWithoutTakingMessages) {
  HWND gone = nullptr;
  {
    CountingWindow window;
    gone = window.get();
  }
  CountingWindow other;
  ::PostMessageW(other.get(), WM_APP, 0, 0);
  EXPECT_FALSE(PumpMessages(gone, 60000));
  EXPECT_EQ(CountingWindow::dispatched, 0);
  DrainQueue();
}

// A product path with no file behind it starts nothing and pumps no message.
TEST(LaunchProductTest, MissingProgramStartsNothingAndPumpsNothing) {
  TempFolder folder;
  CountingWindow window;
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  LaunchProduct(folder.path() + L"\\Folvane.exe", window.get());
  EXPECT_EQ(CountingWindow::dispatched, 0);
  MSG message{};
  EXPECT_TRUE(::PeekMessageW(&message, window.get(), WM_APP, WM_APP, PM_REMOVE));
  DrainQueue();
}

// An existing product program is started once the window's messages have had their
// 100 ms; it runs on its own and the call does not wait for it.
TEST(LaunchProductTest, StartsTheProductAfterPumpingMessages) {
  TempFolder folder;
  const std::wstring product = folder.path() + L"\\Folvane.exe";
  ASSERT_TRUE(CopyFakeProgram(product));
  const std::wstring record = folder.path() + L"\\started.txt";
  FakeScript script(folder.path() + L"\\script.txt",
                    "record " + std::string(record.begin(), record.end()) + "\n");
  CountingWindow window;
  const UINT_PTR timer = ::SetTimer(window.get(), 1, 10, nullptr);
  const DWORD start = ::timeGetTime();
  LaunchProduct(product, window.get());
  EXPECT_GT(::timeGetTime() - start, 100u);
  EXPECT_GE(CountingWindow::dispatched, 1);
  ::KillTimer(window.get(), timer);
  DrainQueue();

  auto started = [&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; };
  for (int wait = 0; wait < 100 && !started(); ++wait) ::Sleep(50);
  EXPECT_TRUE(started());
}

// The agreement page is "/agreement.html" on the maker's web site, over HTTPS, on a host
// under the reserved example domain.
TEST(AgreementPageTest, AddressNamesTheAgreementPage) {
  const std::wstring url = AgreementPageUrl();
  EXPECT_EQ(url.rfind(L"https://", 0), 0u);
  const std::wstring path = L"/agreement.html";
  ASSERT_GT(url.size(), path.size());
  EXPECT_EQ(url.substr(url.size() - path.size()), path);
  const std::wstring host = url.substr(8, url.size() - 8 - path.size());
  EXPECT_EQ(host.find(L'/'), std::wstring::npos);
  EXPECT_EQ(host.substr(host.size() - 8), L".example");
}

}  // namespace
