#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ManagerHostWindow.h"
#include "skinui/UIContainer.h"

namespace SkinUI {
namespace {

// A window with two logging controls side by side on a container root:
// "a" at (10,10)-(60,40), "b" at (100,10)-(150,40).
class MouseRouting : public testing::Test {
 protected:
  void SetUp() override {
    root = new CContainerUI();
    root->SetDelayedDestroy(false);
    a = new LoggingControl(L"a", &log, ControlFlagTabStop);
    b = new LoggingControl(L"b", &log, ControlFlagTabStop);
    PlaceAt(a, 10, 10, 60, 40);
    PlaceAt(b, 100, 10, 150, 40);
    root->Add(a);
    root->Add(b);
    window.manager.AttachRoot(root);
    window.manager.AddNotifyReceiver(&receiver);
    // The first paint lays out; the focus moves to the first tab stop on the paint after.
    window.Repaint();
    window.Pump();
    window.manager.SetFocus(nullptr);
    log.entries.clear();
    receiver.entries.clear();
  }
  void Move(int x, int y) { window.Send(WM_MOUSEMOVE, 0, PointParam(x, y)); }
  LPARAM ScreenPoint(int x, int y) {
    POINT point = {x, y};
    ::ClientToScreen(window.get(), &point);
    return MAKELPARAM(point.x, point.y);
  }

  ManagedWindow window;
  EventLog log;
  RecordingReceiver receiver;
  CContainerUI* root = nullptr;
  LoggingControl* a = nullptr;
  LoggingControl* b = nullptr;
};

// Moving from one control to another sends leave to the old one, then enter and move to the new.
TEST_F(MouseRouting, HoverFollowsTheMouse) {
  Move(20, 20);
  Move(25, 22);
  Move(110, 20);
  std::vector<std::wstring> expected = {L"a:11", L"a:9", L"a:9", L"a:10", L"b:11", L"b:9"};
  EXPECT_EQ(log.Trace({EventMouseEnter, EventMouseLeave, EventMouseMove}), expected);
  EXPECT_EQ(window.manager.Hover(), b);
  EXPECT_EQ(window.manager.MousePos().x, 110);
  // Over the bare root the hover control is the root, which logs nothing.
  Move(80, 100);
  EXPECT_EQ(window.manager.Hover(), root);
  EXPECT_EQ(log.Count(EventMouseLeave, L"b"), 1);
}

// When the mouse leaves the window for good the hover control is told and forgotten.
TEST_F(MouseRouting, LeavingTheWindowEndsHover) {
  Move(20, 20);
  ASSERT_EQ(window.manager.Hover(), a);
  // The real pointer is far from this window, so the leave is final.
  ManagedWindow::ParkPointer();
  window.Send(WM_MOUSELEAVE);
  EXPECT_EQ(log.Count(EventMouseLeave, L"a"), 1);
  EXPECT_EQ(window.manager.Hover(), nullptr);
}

// Losing the capture to another window ends it for the manager too, so hover tracking resumes.
TEST_F(MouseRouting, CaptureTakenByAnotherWindow) {
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
  ASSERT_TRUE(window.manager.HasCapture());
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetCapture(other);
  EXPECT_FALSE(window.manager.HasCapture());
  Move(120, 20);
  EXPECT_EQ(window.manager.Hover(), b);
  ::ReleaseCapture();
  ::DestroyWindow(other);
}

// Controls on the mouse-leave list are told when the mouse moves on, before the hover control.
TEST_F(MouseRouting, MouseLeaveListIsToldFirst) {
  Move(20, 20);
  window.manager.WatchMouseLeave(b);
  Move(80, 100);
  EXPECT_EQ(log.Trace({EventMouseLeave}), (std::vector<std::wstring>{L"b:10", L"a:10"}));
}

// Button-down focuses, presses and captures; moves and the release go to the pressed control.
TEST_F(MouseRouting, PressCapturesUntilRelease) {
  Move(20, 20);
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
  EXPECT_EQ(window.manager.Pressed(), a);
  EXPECT_EQ(window.manager.Focus(), a);
  EXPECT_TRUE(window.manager.HasCapture());
  EXPECT_EQ(::GetCapture(), window.get());
  ASSERT_EQ(log.Count(EventButtonDown, L"a"), 1);
  EXPECT_EQ(log.entries.back().keyState, MK_LBUTTON);
  EXPECT_EQ(receiver.Count(L"setfocus"), 1);

  // While captured the hover control stays; b is neither entered nor moved over.
  Move(120, 20);
  EXPECT_EQ(log.Count(EventMouseEnter, L"b"), 0);
  EXPECT_EQ(log.Count(EventMouseMove, L"b"), 0);
  EXPECT_EQ(log.Count(EventMouseMove, L"a"), 2);

  // Released outside: still the pressed control's button-up.
  window.Send(WM_LBUTTONUP, 0, PointParam(120, 20));
  EXPECT_EQ(log.Count(EventButtonUp, L"a"), 1);
  EXPECT_EQ(log.Count(EventButtonUp, L"b"), 0);
  EXPECT_EQ(window.manager.Pressed(), nullptr);
  EXPECT_FALSE(window.manager.HasCapture());
  EXPECT_EQ(::GetCapture(), nullptr);
}

// A pressed control removed from the tree is forgotten: the later button-up goes nowhere.
TEST_F(MouseRouting, RemovedPressedControlGetsNoRelease) {
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
  ASSERT_EQ(window.manager.Pressed(), a);
  root->Remove(a);
  size_t before = log.entries.size();
  window.Send(WM_LBUTTONUP, 0, PointParam(20, 20));
  EXPECT_EQ(log.entries.size(), before);
  EXPECT_EQ(window.manager.Pressed(), nullptr);
  EXPECT_EQ(window.manager.Focus(), nullptr);
  EXPECT_EQ(window.manager.Hover(), nullptr);
}

// Double-click, right button with context menu, and wheel each reach the control under the mouse.
TEST_F(MouseRouting, DoubleClickRightButtonAndWheel) {
  window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(20, 20));
  EXPECT_EQ(log.Count(EventDoubleClick, L"a"), 1);
  EXPECT_EQ(window.manager.Pressed(), a);
  window.Send(WM_LBUTTONUP, 0, PointParam(20, 20));

  window.Send(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(120, 30));
  EXPECT_EQ(log.Count(EventRightButtonDown, L"b"), 1);
  EXPECT_EQ(window.manager.Focus(), b);
  EXPECT_EQ(window.manager.Pressed(), b);
  window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.get()), ScreenPoint(121, 31));
  ASSERT_EQ(log.Count(EventContextMenu, L"b"), 1);
  EXPECT_EQ(log.entries.back().lParam, PointParam(121, 31));
  EXPECT_EQ(window.manager.Pressed(), nullptr);
  EXPECT_EQ(window.manager.MousePos().y, 31);

  struct Case {
    short delta;
    WPARAM expected;
  };
  const Case cases[] = {{-120, SB_LINEDOWN}, {120, SB_LINEUP}, {-1, SB_LINEDOWN}};
  for (const Case& c : cases) {
    log.entries.clear();
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), ScreenPoint(30, 30));
    ASSERT_EQ(log.Count(EventScrollWheel, L"a"), 1) << c.delta;
    for (const auto& e : log.entries) {
      if (e.type == EventScrollWheel) {
        EXPECT_EQ(e.wParam, c.expected) << c.delta;
      }
    }
    // Hover follows the content under the mouse afterwards.
    EXPECT_EQ(window.manager.Hover(), a);
  }
}

// Key-down goes to the focus control, key-up to the control that had the key-down.
TEST_F(MouseRouting, KeysGoToFocusAndKeyTarget) {
  window.manager.SetFocus(a);
  window.Send(WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(window.manager.KeyTarget(), a);
  window.manager.SetFocus(b);
  window.Send(WM_CHAR, 'x', 0);
  window.Send(WM_KEYUP, 'X', 0);
  EXPECT_EQ(log.Trace({EventKeyDown, EventKeyUp, EventChar}),
            (std::vector<std::wstring>{L"a:3", L"b:5", L"a:4"}));
  for (const auto& e : log.entries) {
    if (e.type == EventKeyDown || e.type == EventKeyUp) {
      EXPECT_EQ(e.key, L'X');
    }
  }
  EXPECT_EQ(window.manager.KeyTarget(), nullptr);
  // No focus, no key events.
  window.manager.SetFocus(nullptr);
  size_t before = log.entries.size();
  window.Send(WM_KEYDOWN, 'Y', 0);
  window.Send(WM_CHAR, 'y', 0);
  EXPECT_EQ(log.entries.size(), before);
}

// WM_CLOSE leaves the hover control, releases the pressed one and drops the focus.
TEST_F(MouseRouting, CloseReleasesEverything) {
  Move(20, 20);
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
  log.entries.clear();
  receiver.entries.clear();
  LRESULT result = 0;
  EXPECT_FALSE(window.manager.MessageHandler(WM_CLOSE, 0, 0, result));
  EXPECT_EQ(log.Count(EventMouseLeave, L"a"), 1);
  EXPECT_EQ(log.Count(EventButtonUp, L"a"), 1);
  EXPECT_EQ(log.Count(EventKillFocus, L"a"), 1);
  EXPECT_EQ(receiver.Count(L"killfocus"), 1);
  EXPECT_EQ(window.manager.Focus(), nullptr);
}

// Closing the active window hands the keyboard focus back to its owner.
TEST(ManagerDispatch, CloseGivesFocusToOwner) {
  ManagedWindow owner;
  ManagedWindow owned(100, 80, WS_POPUP | WS_VISIBLE, owner.get());
  ::SetActiveWindow(owned.get());
  ::SetFocus(owned.get());
  ASSERT_EQ(::GetActiveWindow(), owned.get());
  LRESULT result = 0;
  EXPECT_FALSE(owned.manager.MessageHandler(WM_CLOSE, 0, 0, result));
  EXPECT_EQ(::GetFocus(), owner.get());
}

// Over a control that sets its own cursor the control is asked; elsewhere the system decides.
TEST_F(MouseRouting, OwnCursorControlsAreAsked) {
  window.MoveToBottom(820);
  auto* cursorControl = new LoggingControl(L"c", &log, ControlFlagSetCursor);
  PlaceAt(cursorControl, 10, 60, 60, 90);
  root->Add(cursorControl);
  window.Repaint();
  LRESULT result = 0;
  POINT point = {30, 75};
  ::ClientToScreen(window.get(), &point);
  ASSERT_TRUE(::SetCursorPos(point.x, point.y));
  EXPECT_TRUE(window.manager.MessageHandler(
      WM_SETCURSOR, reinterpret_cast<WPARAM>(window.get()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
      result));
  EXPECT_EQ(log.Count(EventSetCursor, L"c"), 1);
  // Outside the client area nothing is asked.
  EXPECT_FALSE(window.manager.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, 0), result));
  point = {30, 20};
  ::ClientToScreen(window.get(), &point);
  ::SetCursorPos(point.x, point.y);
  EXPECT_FALSE(window.manager.MessageHandler(
      WM_SETCURSOR, reinterpret_cast<WPARAM>(window.get()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
      result));
  EXPECT_EQ(log.Count(EventSetCursor, L"a"), 0);
  // While captured the cursor stays as it is, whatever lies below.
  window.manager.SetCapture();
  EXPECT_TRUE(window.manager.MessageHandler(
      WM_SETCURSOR, reinterpret_cast<WPARAM>(window.get()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
      result));
  window.manager.ReleaseCapture();
  // Keep the real pointer away from the windows of later tests.
  ManagedWindow::ParkPointer();
}

// Hovering shows the control's tooltip with language tokens replaced, at the control's width.
TEST_F(MouseRouting, HoverShowsToolTip) {
  CUIManager::AddLanguageText(7, L"now");
  a->SetToolTip(L"Save %{7}");
  a->SetToolTipWidth(120);
  window.manager.SetToolTipWindowWidth(80);
  Move(20, 20);
  window.Send(WM_MOUSEHOVER, 0, PointParam(20, 20));
  EXPECT_EQ(log.Count(EventMouseHover, L"a"), 1);
  HWND tip = window.manager.ToolTipWindow();
  ASSERT_NE(tip, nullptr);
  wchar_t className[64] = {};
  ::GetClassNameW(tip, className, 64);
  EXPECT_STREQ(className, L"tooltips_class32");
  EXPECT_EQ(::GetWindow(tip, GW_OWNER), window.get());
  wchar_t text[64] = {};
  TOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = window.get();
  info.uId = reinterpret_cast<UINT_PTR>(window.get());
  info.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(text, L"Save now");
  EXPECT_EQ(::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 120);
  // A control without a tooltip leaves the window as it is.
  Move(110, 20);
  window.Send(WM_MOUSEHOVER, 0, PointParam(110, 20));
  EXPECT_EQ(window.manager.ToolTipWindow(), tip);
  // Closing destroys the tooltip window.
  LRESULT result = 0;
  window.manager.MessageHandler(WM_CLOSE, 0, 0, result);
  EXPECT_EQ(window.manager.ToolTipWindow(), nullptr);
  EXPECT_FALSE(::IsWindow(tip));
  CUIManager::ClearLanguageTexts();
}

// A notification queued during a message arrives only after it, once, through one posted message.
TEST_F(MouseRouting, QueuedNotificationsArriveAfterTheMessage) {
  a->OnEvent.Add([this](UIEvent& event) {
    if (event.type == EventButtonDown) {
      window.manager.RaiseNotification(a, L"later", 1, 0, true);
      window.manager.RaiseNotification(b, L"later", 2, 0, true);
    }
    return true;
  });
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 20));
  window.Send(WM_LBUTTONUP, 0, PointParam(20, 20));
  EXPECT_EQ(receiver.Count(L"later"), 0);
  MSG msg;
  int posted = 0;
  while (::PeekMessageW(&msg, window.get(), CUIManager::kAsyncMessage, CUIManager::kAsyncMessage,
                        PM_REMOVE)) {
    ++posted;
    ::DispatchMessageW(&msg);
  }
  EXPECT_EQ(posted, 1);
  ASSERT_EQ(receiver.Count(L"later"), 2);
  std::vector<CControlUI*> senders;
  for (const auto& e : receiver.entries) {
    if (e.type == L"later") senders.push_back(e.sender);
  }
  EXPECT_EQ(senders, (std::vector<CControlUI*>{a, b}));
}

// Timers set through the manager fire through the window's messages with the control's own id.
TEST_F(MouseRouting, TimersFireThroughTheWindow) {
  ASSERT_TRUE(window.manager.SetTimer(b, 42, 10));
  ASSERT_TRUE(window.PumpUntil([&] { return receiver.Count(L"timer") >= 2; }));
  EXPECT_EQ(receiver.entries.front().sender, b);
  EXPECT_EQ(receiver.entries.front().wParam, 42u);
  EXPECT_TRUE(window.manager.KillTimer(b, 42));
  window.Pump();
  int fired = receiver.Count(L"timer");
  ::Sleep(40);
  window.Pump();
  EXPECT_EQ(receiver.Count(L"timer"), fired);
  // Re-armed with the same id it fires again.
  ASSERT_TRUE(window.manager.SetTimer(b, 42, 10));
  EXPECT_TRUE(window.PumpUntil([&] { return receiver.Count(L"timer") > fired; }));
}

// A message filter that handles a message keeps it from the controls, but the mouse position follows.
TEST_F(MouseRouting, MessageFilterComesFirst) {
  struct Swallow : IMessageFilterUI {
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
      handled = message == WM_LBUTTONDOWN;
      return handled ? 77 : 0;
    }
  } filter;
  EXPECT_TRUE(window.manager.AddMessageFilter(&filter));
  EXPECT_FALSE(window.manager.AddMessageFilter(&filter));
  LRESULT result = 0;
  EXPECT_TRUE(window.manager.MessageHandler(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(30, 25), result));
  EXPECT_EQ(result, 77);
  EXPECT_EQ(window.manager.Pressed(), nullptr);
  EXPECT_EQ(log.Count(EventButtonDown), 0);
  EXPECT_EQ(window.manager.MousePos().x, 30);
  EXPECT_EQ(window.manager.MousePos().y, 25);
  EXPECT_TRUE(window.manager.RemoveMessageFilter(&filter));
  window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(30, 25));
  EXPECT_EQ(log.Count(EventButtonDown, L"a"), 1);
  window.Send(WM_LBUTTONUP, 0, PointParam(30, 25));
}

// A child window that records what is reflected to it and answers 42.
struct ReflectingChild {
  explicit ReflectingChild(HWND parent) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ReflectingChild::Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FolvaneReflectingChild";
    ::RegisterClassW(&wc);
    window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 10, 60, 40, 20,
                               parent, nullptr, wc.hInstance, nullptr);
    Received().clear();
  }
  ~ReflectingChild() { ::DestroyWindow(window); }
  static std::vector<UINT>& Received() {
    static std::vector<UINT> received;
    return received;
  }
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0x2000 && message < 0x3000) {
      Received().push_back(message);
      return 42;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window = nullptr;
};

// Command, notify and colour messages from child windows are reflected to them with 0x2000 added.
TEST_F(MouseRouting, ChildMessagesAreReflected) {
  ReflectingChild child(window.get());
  EXPECT_EQ(window.Send(WM_COMMAND, MAKEWPARAM(5, EN_CHANGE), reinterpret_cast<LPARAM>(child.window)), 42);
  NMHDR header = {child.window, 5, NM_CLICK};
  EXPECT_EQ(window.Send(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 42);
  HDC dc = ::GetDC(child.window);
  EXPECT_EQ(window.Send(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child.window)), 42);
  EXPECT_EQ(window.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child.window)), 42);
  ::ReleaseDC(child.window, dc);
  EXPECT_EQ(ReflectingChild::Received(),
            (std::vector<UINT>{0x2111, 0x204E, 0x2133, 0x2138}));
  // A menu command (no child window) is not the manager's.
  LRESULT result = 0;
  EXPECT_FALSE(window.manager.MessageHandler(WM_COMMAND, 5, 0, result));
}

// Focus moving into a registered native child makes its control the focus control.
TEST_F(MouseRouting, NativeChildTakesControlFocus) {
  ReflectingChild child(window.get());
  EXPECT_TRUE(window.manager.RegisterNativeChild(b, child.window));
  EXPECT_FALSE(window.manager.RegisterNativeChild(a, child.window));
  window.manager.SetFocus(a);
  window.Send(WM_KILLFOCUS, reinterpret_cast<WPARAM>(child.window), 0);
  EXPECT_EQ(window.manager.Focus(), b);
  // Once the control dies it is no longer the child's.
  root->Remove(b);
  EXPECT_EQ(window.manager.NativeChildControl(child.window), nullptr);
  window.manager.SetFocus(a);
  window.Send(WM_KILLFOCUS, reinterpret_cast<WPARAM>(child.window), 0);
  EXPECT_EQ(window.manager.Focus(), a);
}

// A control that dies while in an option group is taken out, so the group never reaches it.
TEST_F(MouseRouting, DeadControlLeavesItsOptionGroup) {
  EXPECT_TRUE(window.manager.JoinOptionGroup(L"route", a));
  EXPECT_TRUE(window.manager.JoinOptionGroup(L"route", b));
  EXPECT_TRUE(window.manager.JoinOptionGroup(L"other", b));
  root->Remove(a);
  ASSERT_NE(window.manager.OptionGroup(L"route"), nullptr);
  EXPECT_EQ(*window.manager.OptionGroup(L"route"), (std::vector<CControlUI*>{b}));
  root->Remove(b);
  EXPECT_EQ(window.manager.OptionGroup(L"route"), nullptr);
  EXPECT_EQ(window.manager.OptionGroup(L"other"), nullptr);
}

// An asynchronous notification whose sender dies before delivery arrives with no sender.
TEST_F(MouseRouting, QueuedNotificationOfDeadControlHasNoSender) {
  window.manager.RaiseNotification(b, L"later", 0, 0, true);
  root->Remove(b);
  window.Pump();
  ASSERT_EQ(receiver.Count(L"later"), 1);
  EXPECT_EQ(receiver.entries.back().sender, nullptr);
}

// Keyboard work before dispatch: a window with three tab stops.
class PreDispatch : public MouseRouting {
 protected:
  void SetUp() override {
    MouseRouting::SetUp();
    c = new LoggingControl(L"c", &log, ControlFlagTabStop);
    PlaceAt(c, 10, 60, 60, 90);
    root->Add(c);
    window.Repaint();
    window.Pump();
    SetShift(false);
  }
  void TearDown() override { SetShift(false); }
  static void SetShift(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
  }
  // Posts a message and takes it from the queue as a message loop would, then filters it.
  bool PostAndFilter(HWND target, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    window.Pump();
    ::PostMessageW(target, message, wParam, lParam);
    MSG msg = {};
    if (!::PeekMessageW(&msg, target, message, message, PM_REMOVE)) return false;
    return CUIManager::FilterBeforeDispatch(&msg);
  }
  LoggingControl* c = nullptr;
};

// Tab moves forward through tab stops and wraps; Shift+Tab moves backward and wraps.
TEST_F(PreDispatch, TabMovesBetweenTabStops) {
  struct Step {
    bool shift;
    LoggingControl* expected;
  };
  window.manager.SetFocus(b);
  const Step steps[] = {{false, c}, {false, a}, {true, c}, {true, b}, {true, a}, {true, c}};
  int index = 0;
  for (const Step& step : steps) {
    SetShift(step.shift);
    EXPECT_TRUE(PostAndFilter(window.get(), WM_KEYDOWN, VK_TAB)) << index;
    EXPECT_EQ(window.manager.Focus(), step.expected) << index;
    ++index;
  }
  // Other keys are left to the window.
  SetShift(false);
  EXPECT_FALSE(PostAndFilter(window.get(), WM_KEYDOWN, 'A'));
}

// Accelerators and pre-dispatch filters see the message first; consuming it stops the Tab move.
TEST_F(PreDispatch, TranslatorsAndFiltersComeFirst) {
  struct Translator : ITranslateAccelerator {
    LRESULT answer = S_FALSE;
    int calls = 0;
    LRESULT TranslateAccelerator(MSG*) override {
      ++calls;
      return answer;
    }
  } translator;
  struct Filter : IMessageFilterUI {
    bool swallow = false;
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
      handled = swallow && message == WM_KEYDOWN;
      return 0;
    }
  } filter;
  window.manager.SetFocus(a);
  EXPECT_TRUE(window.manager.AddTranslateAccelerator(&translator));
  EXPECT_TRUE(window.manager.AddPreDispatchFilter(&filter));

  translator.answer = S_OK;
  EXPECT_TRUE(PostAndFilter(window.get(), WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(window.manager.Focus(), a);
  translator.answer = S_FALSE;
  filter.swallow = true;
  EXPECT_TRUE(PostAndFilter(window.get(), WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(window.manager.Focus(), a);
  filter.swallow = false;
  EXPECT_TRUE(PostAndFilter(window.get(), WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(window.manager.Focus(), b);
  EXPECT_EQ(translator.calls, 3);

  EXPECT_TRUE(window.manager.RemoveTranslateAccelerator(&translator));
  EXPECT_TRUE(window.manager.RemovePreDispatchFilter(&filter));
  EXPECT_FALSE(window.manager.RemovePreDispatchFilter(&filter));
}

// Keys in a child window are offered to the manager of its top window but still dispatched.
TEST_F(PreDispatch, ChildWindowKeysAreSeenButNotConsumed) {
  ReflectingChild child(window.get());
  window.manager.SetFocus(a);
  EXPECT_FALSE(PostAndFilter(child.window, WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(window.manager.Focus(), b);
  // A window no manager knows is left alone.
  HWND stranger = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
  EXPECT_FALSE(PostAndFilter(stranger, WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(window.manager.Focus(), b);
  ::DestroyWindow(stranger);
}

// Alt+key activates the control with that shortcut; a label's shortcut lands on the next control.
TEST_F(PreDispatch, AltShortcuts) {
  auto* label = new LoggingControl(L"label", &log, 0, L"Label");
  auto* field = new LoggingControl(L"field", &log, ControlFlagTabStop);
  auto* hidden = new LoggingControl(L"hidden", &log);
  PlaceAt(label, 100, 60, 150, 70);
  PlaceAt(field, 100, 75, 150, 90);
  PlaceAt(hidden, 100, 95, 150, 100);
  root->Add(label);
  root->Add(field);
  root->Add(hidden);
  a->SetShortcut(L'S');
  label->SetShortcut(L'f');
  hidden->SetShortcut(L'h');
  hidden->SetVisible(false);
  window.Repaint();

  struct Case {
    wchar_t key;
    bool handled;
    LoggingControl* focus;
  };
  const Case cases[] = {{L's', true, a}, {L'S', true, a}, {L'F', true, field},
                        {L'h', false, nullptr}, {L'q', false, nullptr}};
  for (const Case& k : cases) {
    window.manager.SetFocus(nullptr);
    a->activations = field->activations = label->activations = 0;
    LRESULT result = 0;
    EXPECT_EQ(window.manager.PreMessageHandler(WM_SYSCHAR, k.key, 0, result), k.handled)
        << char(k.key);
    EXPECT_EQ(window.manager.Focus(), k.focus) << char(k.key);
    if (k.focus != nullptr) {
      EXPECT_EQ(k.focus->activations, 1) << char(k.key);
    }
    EXPECT_EQ(label->activations, 0);
  }
  // Alt+key down goes to the focus control as a system key.
  window.manager.SetFocus(a);
  LRESULT result = 0;
  EXPECT_FALSE(window.manager.PreMessageHandler(WM_SYSKEYDOWN, 'S', 0, result));
  EXPECT_EQ(log.Count(EventSysKey, L"a"), 1);
}

// A manager that is gone no longer filters its window's messages.
TEST(ManagerDispatch, GoneManagerIsNotAsked) {
  HWND stale = nullptr;
  {
    ManagedWindow window;
    auto* root = new CContainerUI();
    auto* stop = new TabStopControl();
    root->Add(stop);
    window.manager.AttachRoot(root);
    stale = window.get();
    ::ShowWindow(stale, SW_HIDE);
  }
  MSG msg = {};
  msg.hwnd = stale;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_TAB;
  EXPECT_FALSE(CUIManager::FilterBeforeDispatch(&msg));
  msg.hwnd = nullptr;
  EXPECT_FALSE(CUIManager::FilterBeforeDispatch(&msg));
}

// A receiver that destroys the manager or removes a later receiver stops delivery to the rest.
TEST(ManagerDispatch, DeliveryStopsForGoneManagerAndRemovedReceivers) {
  struct Action : INotifyUI {
    std::function<void()> act;
    void Notify(UINotification&) override { act(); }
  };
  for (bool async : {false, true}) {
    auto* manager = new CUIManager();
    Action first;
    RecordingReceiver second;
    first.act = [&] { delete manager; };
    manager->AddNotifyReceiver(&first);
    manager->AddNotifyReceiver(&second);
    manager->RaiseNotification(nullptr, L"close", 0, 0, async);
    if (async) {
      manager->RaiseNotification(nullptr, L"more", 0, 0, true);
      manager->DeliverQueuedNotifications();
    }
    // The first receiver destroyed the manager: nothing else was delivered.
    EXPECT_TRUE(second.entries.empty()) << async;
  }
  CUIManager manager;
  Action remover;
  RecordingReceiver removed;
  remover.act = [&] { manager.RemoveNotifyReceiver(&removed); };
  manager.AddNotifyReceiver(&remover);
  manager.AddNotifyReceiver(&removed);
  manager.RaiseNotification(nullptr, L"x");
  EXPECT_TRUE(removed.entries.empty());
}

// Without a window nothing is handled.
TEST(ManagerDispatch, NoWindowNoHandling) {
  CUIManager manager;
  LRESULT result = 0;
  EXPECT_FALSE(manager.MessageHandler(WM_PAINT, 0, 0, result));
  EXPECT_FALSE(manager.MessageHandler(WM_ERASEBKGND, 0, 0, result));
}

}  // namespace
}  // namespace SkinUI
