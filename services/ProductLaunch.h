// Starting the installed product at the end of an installation, and opening the
// user-agreement page in the user's browser.
#pragma once

#include <windows.h>

#include <string>

// Handles this thread's messages for at least `milliseconds`: it looks at the time only
// after a message, so it lasts until the first message after the period. False when the
// window (if one is given) is gone or the quit message arrived; the quit message is then
// posted again so the caller's own loop still ends.
bool PumpMessages(HWND window, DWORD milliseconds);

// Starts the product program the package reported, after letting the window's pending
// messages run for 100 ms. A path with no file behind it starts nothing and pumps nothing.
void LaunchProduct(const std::wstring& productPath, HWND window);

// The address of the user-agreement page.
std::wstring AgreementPageUrl();

// Opens the user-agreement page maximised in the default browser; failures are silent.
void OpenAgreementPage();
