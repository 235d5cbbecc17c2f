// Helpers for the builder and window tests: a tree printer, a skinned test window whose
// skin is a description text, and a message pump that runs the framework's filters.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skinui/UIContainer.h"
#include "skinui/UIControl.h"
#include "skinui/UIManager.h"
#include "skinui/WindowImplBase.h"

namespace SkinUI {

// "Class[name](children...)" for a tree, to compare whole shapes at once.
inline std::wstring DescribeTree(CControlUI* control) {
  if (control == nullptr) return L"null";
  std::wstring text = control->ClassName();
  if (!control->GetName().empty()) text += L"[" + control->GetName() + L"]";
  auto* container = static_cast<IContainerUI*>(control->FindInterface(L"IContainer"));
  if (container != nullptr && container->Count() > 0) {
    text += L"(";
    for (int i = 0; i < container->Count(); ++i) {
      if (i > 0) text += L",";
      text += DescribeTree(container->ItemAt(i));
    }
    text += L")";
  }
  return text;
}

// Runs the thread's messages for a while, the way a modal loop would.
inline void PumpMessages(DWORD milliseconds) {
  DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CUIManager::FilterBeforeDispatch(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount() - start < milliseconds);
}

// A skinned window built from a description text, recording what reaches it.
class TextSkinWindow : public WindowImplBase {
 public:
  explicit TextSkinWindow(std::wstring skin) : skin_(std::move(skin)) {}

  HWND Open(int x = 40, int y = 40, int width = 300, int height = 200,
            DWORD style = WS_POPUP | WS_VISIBLE, HWND owner = nullptr) {
    // Shown without activation: under Wine, destroying an activated window waits two
    // seconds for the X focus to settle.
    HWND window = Create(owner, L"skin test", style & ~WS_VISIBLE, WS_EX_TOOLWINDOW, x, y,
                         width, height);
    if (window != nullptr && (style & WS_VISIBLE) != 0) ShowWindow(true, false);
    return window;
  }
  CControlUI* Find(const wchar_t* name) { return manager_.ControlByName(name); }
  void Notify(UINotification& notification) override {
    notifications.push_back(notification.type);
    WindowImplBase::Notify(notification);
  }

  // Posted to run onProbe inside whatever loop is pumping the window's messages.
  static constexpr UINT kProbeMessage = WM_APP + 50;
  std::function<void()> onProbe;
  std::vector<std::wstring> notifications;
  std::vector<std::wstring> clicks;
  int initCalls = 0;
  int goneCalls = 0;

 protected:
  LPCWSTR WindowClassName() const override { return L"FolvaneTextSkinWindow"; }
  std::wstring SkinFolder() override { return L""; }
  std::wstring SkinFile() override { return skin_; }
  void OnInitWindow() override { ++initCalls; }
  void OnClick(UINotification& notification) override {
    clicks.push_back(notification.sender != nullptr ? notification.sender->GetName() : L"");
    WindowImplBase::OnClick(notification);
  }
  LRESULT HandleExtraMessage(UINT message, WPARAM wParam, LPARAM lParam,
                             bool& handled) override {
    if (message == kProbeMessage && onProbe) {
      onProbe();
      return 0;
    }
    return WindowImplBase::HandleExtraMessage(message, wParam, lParam, handled);
  }
  void OnWindowGone(HWND window) override {
    ++goneCalls;
    WindowImplBase::OnWindowGone(window);
  }

 private:
  std::wstring skin_;
};

// Runs one disabled test of this program as a child process that is expected to end on
// the skin error box: the box is found, its text returned, and it is confirmed. Returns
// the child's exit code, or -1 when no box appeared or the child did not end.
inline long RunSkinErrorChild(const wchar_t* disabledTest, std::wstring& boxText) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) +
                         L"\" --gtest_also_run_disabled_tests --gtest_filter=" + disabledTest;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return -1;
  }
  ::CloseHandle(info.hThread);
  HWND box = nullptr;
  for (int i = 0; i < 200 && box == nullptr; ++i) {
    HWND found = ::FindWindowW(L"#32770", L"SkinUI");
    DWORD owner = 0;
    if (found != nullptr) ::GetWindowThreadProcessId(found, &owner);
    if (owner == info.dwProcessId) box = found;
    if (box == nullptr && ::WaitForSingleObject(info.hProcess, 100) == WAIT_OBJECT_0) break;
  }
  long result = -1;
  if (box != nullptr) {
    wchar_t buffer[64] = {};
    ::GetDlgItemTextW(box, 0xFFFF, buffer, 64);
    boxText = buffer;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 0;
    if (::WaitForSingleObject(info.hProcess, 20000) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(info.hProcess, &exitCode)) {
      result = static_cast<long>(exitCode);
    }
  } else {
    ::TerminateProcess(info.hProcess, 99);
  }
  ::CloseHandle(info.hProcess);
  return result;
}

// "Failed to load the resource file", the text of the skin error box.
constexpr wchar_t kSkinErrorText[] = L"\u52a0\u8f7d\u8d44\u6e90\u6587\u4ef6\u5931\u8d25";

// lParam of a mouse message at a client point of window, in screen coordinates.
inline LPARAM ScreenPoint(HWND window, int x, int y) {
  POINT point = {x, y};
  ::ClientToScreen(window, &point);
  return MAKELPARAM(point.x, point.y);
}

}  // namespace SkinUI
