#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinWindowSupport.h"
#include "skinui/WindowWnd.h"

namespace SkinUI {
namespace {

// A plain window that records the messages it sees and when its window is gone.
class PlainWindow : public CWindowWnd {
 public:
  HWND Open(HWND owner = nullptr, int x = 0, int y = 0, int width = 200, int height = 100) {
    return Create(owner, L"plain", WS_POPUP, WS_EX_TOOLWINDOW, x, y, width, height);
  }
  std::vector<UINT> messages;
  std::vector<HWND> gone;
  HWND handleAtCreate = nullptr;

 protected:
  LPCWSTR WindowClassName() const override { return L"FolvanePlainTestWindow"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_CREATE) handleAtCreate = GetHWND();
    return CWindowWnd::HandleMessage(message, wParam, lParam);
  }
  void OnWindowGone(HWND window) override { gone.push_back(window); }
};

// A superclass of the system edit control.
class EditSuperclass : public CWindowWnd {
 public:
  std::vector<HWND> gone;

 protected:
  LPCWSTR WindowClassName() const override { return L"FolvaneTestEditWnd"; }
  LPCWSTR SuperClassName() const override { return L"EDIT"; }
  void OnWindowGone(HWND window) override { gone.push_back(window); }
};

// A static control's window to subclass.
struct TestWindowHolder {
  TestWindowHolder() {
    window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindowHolder() {
    if (window != nullptr) ::DestroyWindow(window);
  }
  HWND window = nullptr;
};

bool Saw(const std::vector<UINT>& messages, UINT message) {
  for (UINT m : messages) {
    if (m == message) return true;
  }
  return false;
}

// The object is stored as user data, knows its window from WM_NCCREATE on, and hears when it is gone.
TEST(WindowWnd, PlainClassLifecycle) {
  PlainWindow first;
  HWND window = first.Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(first.GetHWND(), window);
  EXPECT_EQ(first.handleAtCreate, window);
  EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&first));
  EXPECT_TRUE(Saw(first.messages, WM_NCCREATE));
  EXPECT_TRUE(Saw(first.messages, WM_CREATE));
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"FolvanePlainTestWindow");

  // The class exists already: a second window of it is still created.
  PlainWindow second;
  ASSERT_NE(second.Open(), nullptr);
  // One object, one window.
  EXPECT_EQ(first.Open(), nullptr);

  ::DestroyWindow(window);
  EXPECT_EQ(first.GetHWND(), nullptr);
  ASSERT_EQ(first.gone.size(), 1u);
  EXPECT_EQ(first.gone[0], window);
  EXPECT_TRUE(second.gone.empty());
}

// A superclass keeps the system class's procedure and carries its object in the "WndX" property.
TEST(WindowWnd, SuperclassOfEdit) {
  EditSuperclass edit;
  HWND window = edit.Create(nullptr, L"start", WS_POPUP, 0, 0, 0, 100, 20);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(::GetPropW(window, L"WndX"), static_cast<HANDLE>(&edit));
  EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_USERDATA), 0);
  edit.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
  wchar_t text[16] = {};
  ::GetWindowTextW(window, text, 16);
  EXPECT_STREQ(text, L"typed");
  // The edit control's own messages work, so its procedure is the previous one.
  EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT, 0, 0) > 0, true);

  EditSuperclass second;
  HWND other = second.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 100, 20);
  ASSERT_NE(other, nullptr);
  second.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"again"));
  ::GetWindowTextW(other, text, 16);
  EXPECT_STREQ(text, L"again");

  ::DestroyWindow(window);
  ::DestroyWindow(other);
  EXPECT_EQ(edit.gone.size(), 1u);
  EXPECT_EQ(second.gone.size(), 1u);
  EXPECT_EQ(edit.GetHWND(), nullptr);
}

// A class the system does not know cannot be superclassed.
TEST(WindowWnd, UnknownSuperclassFails) {
  struct Broken : CWindowWnd {
    LPCWSTR WindowClassName() const override { return L"FolvaneBrokenSuperclass"; }
    LPCWSTR SuperClassName() const override { return L"NoSuchSystemClassHere"; }
  } broken;
  EXPECT_EQ(broken.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10), nullptr);
}

// A subclassed window routes through the object until restored; restoring ends the routing.
TEST(WindowWnd, SubclassAndRestore) {
  TestWindowHolder holder;
  PlainWindow hook;
  ASSERT_EQ(hook.Subclass(holder.window), holder.window);
  ::SendMessageW(holder.window, WM_USER + 7, 0, 0);
  EXPECT_TRUE(Saw(hook.messages, WM_USER + 7));
  hook.RestoreWindowProc();
  EXPECT_EQ(hook.GetHWND(), nullptr);
  hook.messages.clear();
  ::SendMessageW(holder.window, WM_USER + 7, 0, 0);
  EXPECT_FALSE(Saw(hook.messages, WM_USER + 7));

  // Destroyed while subclassed: the object is told and the window procedure put back.
  PlainWindow again;
  ASSERT_NE(again.Subclass(holder.window), nullptr);
  ::DestroyWindow(holder.window);
  holder.window = nullptr;
  EXPECT_EQ(again.gone.size(), 1u);
  EXPECT_EQ(again.GetHWND(), nullptr);
}

// An object destroyed before its window takes the window with it, and nothing calls into it later.
TEST(WindowWnd, ObjectDestroyedFirstDestroysItsWindow) {
  HWND window = nullptr;
  {
    PlainWindow plain;
    window = plain.Open();
    ASSERT_NE(window, nullptr);
  }
  EXPECT_FALSE(::IsWindow(window));
}

// Centring: on the owner's rectangle, else (no owner, or a minimised one) on the work area,
// pulled back inside the work area.
TEST(WindowWnd, PlaceCentered) {
  RECT work = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int workX = (work.left + work.right) / 2;
  int workY = (work.top + work.bottom) / 2;
  struct Row {
    RECT owner;  // empty: no owner
    int width, height;
    int x, y;
    bool ownerMinimised;
  } rows[] = {
      {{100, 100, 500, 400}, 200, 100, 200, 200, false},
      {{100, 100, 500, 400}, 200, 100, workX - 100, workY - 50, true},
      {{work.left - 300, work.top - 300, work.left + 100, work.top + 100}, 300, 300, work.left,
       work.top, false},
      {{work.right - 100, work.bottom - 100, work.right + 200, work.bottom + 200}, 300, 300,
       work.right - 300, work.bottom - 300, false},
      {{}, 200, 100, workX - 100, workY - 50, false},
  };
  for (const Row& row : rows) {
    PlainWindow owner;
    bool hasOwner = !::IsRectEmpty(&row.owner);
    if (hasOwner) {
      owner.Open(nullptr, row.owner.left, row.owner.top, row.owner.right - row.owner.left,
                 row.owner.bottom - row.owner.top);
      if (row.ownerMinimised) ::ShowWindow(owner.GetHWND(), SW_SHOWMINNOACTIVE);
    }
    PlainWindow window;
    window.Open(hasOwner ? owner.GetHWND() : nullptr, 5, 5, row.width, row.height);
    window.PlaceCentered();
    RECT placed = {};
    ::GetWindowRect(window.GetHWND(), &placed);
    EXPECT_EQ(placed.left, row.x) << row.owner.left;
    EXPECT_EQ(placed.top, row.y) << row.owner.top;
    EXPECT_EQ(placed.right - placed.left, row.width);
  }
}

// Close posts WM_CLOSE with the result; a window that is gone ignores it.
TEST(WindowWnd, CloseAndShow) {
  PlainWindow window;
  window.Open();
  window.ShowWindow(true, false);
  EXPECT_TRUE(::IsWindowVisible(window.GetHWND()));
  window.ShowWindow(false);
  EXPECT_FALSE(::IsWindowVisible(window.GetHWND()));
  window.Close(7);
  MSG msg = {};
  ASSERT_TRUE(::PeekMessageW(&msg, window.GetHWND(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  ::DestroyWindow(window.GetHWND());
  window.Close(8);
  EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

// The modal loop returns the posted close result and hands the owner back enabled.
TEST(WindowWndModal, ResultsAndOwner) {
  PlainWindow owner;
  owner.Open(nullptr, 0, 0, 300, 300);
  owner.ShowWindow();
  TextSkinWindow dialog(L"<Window><VBox name=\"root\"/></Window>");
  ASSERT_NE(dialog.Open(20, 20, 100, 100, WS_POPUP, owner.GetHWND()), nullptr);
  bool ownerEnabledInside = true;
  dialog.onProbe = [&] {
    ownerEnabledInside = ::IsWindowEnabled(owner.GetHWND()) != FALSE;
    dialog.Close(2);
  };
  dialog.PostMessage(TextSkinWindow::kProbeMessage);
  EXPECT_EQ(dialog.RunModal(), 2u);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
  EXPECT_FALSE(::IsWindow(dialog.GetHWND()));
}

// Closing through the system menu sends WM_CLOSE, so no result passes through the queue.
TEST(WindowWndModal, SystemMenuCloseReturnsZero) {
  TextSkinWindow dialog(L"<Window><VBox/></Window>");
  ASSERT_NE(dialog.Open(), nullptr);
  dialog.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.RunModal(), 0u);
  EXPECT_EQ(dialog.goneCalls, 1);
}

// A quit request ends the modal loop and is posted again for the loop outside.
TEST(WindowWndModal, QuitIsPostedAgain) {
  TextSkinWindow dialog(L"<Window><VBox/></Window>");
  ASSERT_NE(dialog.Open(), nullptr);
  ::PostQuitMessage(5);
  EXPECT_EQ(dialog.RunModal(), 0u);
  EXPECT_TRUE(::IsWindow(dialog.GetHWND()));
  MSG msg = {};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}

// A window object that deletes itself when its window goes does not break the loop running it.
TEST(WindowWndModal, SelfDeletingWindow) {
  struct SelfDeleting : TextSkinWindow {
    using TextSkinWindow::TextSkinWindow;
    void OnWindowGone(HWND window) override {
      TextSkinWindow::OnWindowGone(window);
      delete this;
    }
  };
  auto* dialog = new SelfDeleting(L"<Window><VBox/></Window>");
  ASSERT_NE(dialog->Open(), nullptr);
  dialog->Close(4);
  EXPECT_EQ(dialog->RunModal(), 4u);
}

}  // namespace
}  // namespace SkinUI
