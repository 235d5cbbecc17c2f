#include "services/ProductLaunch.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

constexpr wchar_t kAgreementHost[] = L"https://www.folvane.example";
constexpr wchar_t kAgreementPath[] = L"/agreement.html";
constexpr DWORD kLaunchPumpMilliseconds = 100;

}  // namespace

bool PumpMessages(HWND window, DWORD milliseconds) {
  const DWORD start = ::timeGetTime();
  MSG message{};
  bool inTime = false;
  for (;;) {
    if (window && !::IsWindow(window)) break;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    // -1 is an error of the call itself (never with these arguments); it ends the pump
    // rather than spinning on it.
    if (got == 0 || got == -1) break;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    if (::timeGetTime() - start > milliseconds) {
      inTime = true;
      break;
    }
  }
  if (message.message == WM_QUIT) ::PostQuitMessage(static_cast<int>(message.wParam));
  return inTime;
}

void LaunchProduct(const std::wstring& productPath, HWND window) {
  if (!::PathFileExistsW(productPath.c_str())) return;
  PumpMessages(window, kLaunchPumpMilliseconds);
  ::ShellExecuteW(nullptr, L"open", productPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring AgreementPageUrl() { return std::wstring(kAgreementHost) + kAgreementPath; }

void OpenAgreementPage() {
  ::ShellExecuteW(nullptr, L"open", AgreementPageUrl().c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
}
