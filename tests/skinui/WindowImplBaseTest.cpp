#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinWindowSupport.h"
#include "skinui/WindowImplBase.h"

namespace SkinUI {
namespace {

// Pixel-exact placement: a 300 x 200 window with a 35-pixel caption and 4-pixel borders.
constexpr wchar_t kFrameSkin[] =
    L"<Window size=\"300,200\" caption=\"0,0,0,35\" sizebox=\"4,4,4,4\" roundcorner=\"12,12\""
    L" mininfo=\"100,80\">"
    L"<VBox name=\"root\" bkcolor=\"#FF336699\">"
    L"<HBox name=\"titlebar\" height=\"35\">"
    L"<Label name=\"title\" width=\"100\" text=\"Title\"/>"
    L"<Text name=\"link\" width=\"50\"/>"
    L"<Control/>"
    L"<Button name=\"minbtn\" width=\"30\"/>"
    L"<Option name=\"maxbtn\" width=\"30\"/>"
    L"<Button name=\"restorebtn\" width=\"30\" visible=\"false\"/>"
    L"<Button name=\"closebtn\" width=\"30\"/>"
    L"</HBox>"
    L"<Control name=\"body\"/>"
    L"</VBox></Window>";

class FrameWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open(40, 40, 200, 100, WS_POPUP | WS_VISIBLE);
    ASSERT_NE(window_.GetHWND(), nullptr);
    ::UpdateWindow(window_.GetHWND());
    PumpMessages(50);
  }
  void TearDown() override {
    if (::IsWindow(window_.GetHWND())) ::DestroyWindow(window_.GetHWND());
  }
  HWND hwnd() { return window_.GetHWND(); }
  LRESULT HitTest(int x, int y) {
    return ::SendMessageW(hwnd(), WM_NCHITTEST, 0, ScreenPoint(hwnd(), x, y));
  }
  void Click(const wchar_t* name) {
    window_.Manager().RaiseNotification(window_.Find(name), L"click");
  }

  TextSkinWindow window_{kFrameSkin};
};

// Creation removes the caption, builds the tree, attaches it, and tells the window once.
TEST_F(FrameWindow, CreationBuildsAndAttaches) {
  EXPECT_EQ(window_.initCalls, 1);
  ASSERT_NE(window_.Find(L"root"), nullptr);
  EXPECT_EQ(window_.Manager().Root(), window_.Find(L"root"));
  EXPECT_EQ(window_.Find(L"root")->Manager(), &window_.Manager());
  // The whole window is client area, at the skin's size.
  RECT client = {}, frame = {};
  ::GetClientRect(hwnd(), &client);
  ::GetWindowRect(hwnd(), &frame);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(frame.right - frame.left, 300);
  // "windowinit" once, after the first paint, however often the window repaints.
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
  int inits = 0;
  for (const std::wstring& type : window_.notifications) inits += type == L"windowinit" ? 1 : 0;
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(window_.Find(L"body")->Bounds().top, 35);
}

// Borders size the window, the caption band drags it except over pass-through controls.
TEST_F(FrameWindow, HitTesting) {
  struct Row {
    int x, y;
    LRESULT expected;
  } rows[] = {
      {2, 2, HTTOPLEFT},        {150, 2, HTTOP},        {297, 2, HTTOPRIGHT},
      {2, 100, HTLEFT},         {297, 100, HTRIGHT},    {2, 197, HTBOTTOMLEFT},
      {150, 197, HTBOTTOM},     {297, 197, HTBOTTOMRIGHT},
      {50, 20, HTCAPTION},   // a label in the caption band drags
      {120, 20, HTCLIENT},   // "Text" takes its own clicks
      {180, 20, HTCAPTION},  // the stretching filler
      {225, 20, HTCLIENT},   // a button
      {255, 20, HTCLIENT},   // an option
      {285, 20, HTCLIENT},
      {150, 34, HTCAPTION},  {150, 35, HTCLIENT},  {150, 100, HTCLIENT},
      {4, 100, HTCLIENT},    {295, 100, HTCLIENT},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HitTest(row.x, row.y), row.expected) << row.x << "," << row.y;
  }
  // Maximised, the borders are gone and the corner is caption.
  ::ShowWindow(hwnd(), SW_MAXIMIZE);
  PumpMessages(50);
  ASSERT_TRUE(::IsZoomed(hwnd()));
  EXPECT_EQ(HitTest(2, 2), HTCAPTION);
  EXPECT_EQ(HitTest(2, 100), HTCLIENT);
}

// The rounded region follows every resize and stays as it was while minimised.
TEST_F(FrameWindow, RoundedRegion) {
  auto regionBox = [&] {
    RECT box = {};
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    int kind = ::GetWindowRgn(hwnd(), region);
    if (kind != ERROR) ::GetRgnBox(region, &box);
    bool corner = ::PtInRegion(region, 0, 0) != FALSE;
    bool centre = ::PtInRegion(region, box.right / 2, box.bottom / 2) != FALSE;
    ::DeleteObject(region);
    EXPECT_FALSE(corner);
    EXPECT_TRUE(centre);
    return box;
  };
  RECT box = regionBox();
  EXPECT_GE(box.right, 300);
  EXPECT_LE(box.right, 301);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 400, 250, SWP_NOMOVE | SWP_NOZORDER);
  box = regionBox();
  EXPECT_GE(box.right, 400);
  EXPECT_GE(box.bottom, 250);
  ::ShowWindow(hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(hwnd()));
  box = regionBox();
  EXPECT_GE(box.right, 400);
}

// Maximise and restore through the system buttons swap which of the two buttons shows.
TEST_F(FrameWindow, SystemButtonsMaximiseAndRestore) {
  CControlUI* maxButton = window_.Find(L"maxbtn");
  CControlUI* restoreButton = window_.Find(L"restorebtn");
  Click(L"maxbtn");
  EXPECT_TRUE(::IsZoomed(hwnd()));
  EXPECT_FALSE(maxButton->IsVisible());
  EXPECT_TRUE(restoreButton->IsVisible());
  Click(L"restorebtn");
  EXPECT_FALSE(::IsZoomed(hwnd()));
  EXPECT_TRUE(maxButton->IsVisible());
  EXPECT_FALSE(restoreButton->IsVisible());
  Click(L"minbtn");
  EXPECT_TRUE(::IsIconic(hwnd()));
  EXPECT_EQ(window_.clicks, (std::vector<std::wstring>{L"maxbtn", L"restorebtn", L"minbtn"}));
}

// "closebtn" closes with result 1; a click from a control already destroyed does nothing.
TEST_F(FrameWindow, CloseButtonAndDeadSender) {
  UINotification orphan;
  orphan.type = L"click";
  window_.Notify(orphan);
  EXPECT_TRUE(::IsWindow(hwnd()));
  Click(L"closebtn");
  EXPECT_EQ(window_.RunModal(), 1u);
  EXPECT_EQ(window_.goneCalls, 1);
}

// A real click on "closebtn" closes the window with 1, but only when released over the button.
TEST_F(FrameWindow, CloseButtonByMouse) {
  window_.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(285, 15));
  window_.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  window_.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(285, 15));
  window_.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(286, 16));
  EXPECT_EQ(window_.RunModal(), 1u);
  EXPECT_EQ(window_.clicks, std::vector<std::wstring>{L"closebtn"});
}

// Escape closes a plain skinned window with result 1 through the modal loop's filters.
TEST_F(FrameWindow, EscapeClosesWithOne) {
  window_.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
  window_.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(window_.RunModal(), 1u);
}

// Non-client messages: the tracking limits, activation results and the frame calculation.
TEST_F(FrameWindow, NonClientMessages) {
  MINMAXINFO info = {};
  ::SendMessageW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT work = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 100);
  EXPECT_EQ(info.ptMinTrackSize.y, 80);
  EXPECT_EQ(info.ptMaxTrackSize.x, work.right - work.left);
  EXPECT_EQ(info.ptMaxTrackSize.y, work.bottom - work.top);
  EXPECT_EQ(::SendMessageW(hwnd(), WM_NCACTIVATE, FALSE, 0), TRUE);
  EXPECT_EQ(::SendMessageW(hwnd(), WM_NCACTIVATE, TRUE, 0), FALSE);
  RECT proposed = {10, 20, 110, 220};
  EXPECT_EQ(::SendMessageW(hwnd(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed)), 0);
  EXPECT_EQ(proposed.right, 110);
  ::ShowWindow(hwnd(), SW_MAXIMIZE);
  ASSERT_TRUE(::IsZoomed(hwnd()));
  EXPECT_EQ(::SendMessageW(hwnd(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed)),
            0x300);
  EXPECT_EQ(proposed.left, 10);
  EXPECT_EQ(proposed.right - proposed.left, work.right - work.left);
  EXPECT_EQ(proposed.bottom - proposed.top, work.bottom - work.top);
}

// The native caption goes, and children and siblings are clipped, whatever style the window had.
TEST(WindowImplBaseStyle, CaptionRemovedOnCreate) {
  TextSkinWindow window(L"<Window><VBox/></Window>");
  ASSERT_NE(window.Open(0, 0, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
            nullptr);
  LONG_PTR style = ::GetWindowLongPtrW(window.GetHWND(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_NE(style & WS_THICKFRAME, 0);
  EXPECT_NE(style & WS_CLIPCHILDREN, 0);
  EXPECT_NE(style & WS_CLIPSIBLINGS, 0);
  ::DestroyWindow(window.GetHWND());
}

// A derived window's hook that handles a message keeps it from the manager and the default procedure.
TEST(WindowImplBaseHooks, HandledHooksStopTheMessage) {
  struct Hooked : TextSkinWindow {
    using TextSkinWindow::TextSkinWindow;
    LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) override {
      handled = wParam == 'H';
      return handled ? 42 : 0;
    }
  } window(L"<Window><VBox/></Window>");
  window.Open();
  EXPECT_EQ(window.SendMessage(WM_KEYDOWN, 'H', 0), 42);
  EXPECT_EQ(window.SendMessage(WM_KEYDOWN, 'X', 0), 0);
  ::DestroyWindow(window.GetHWND());
}

// A window whose skin is an "xml" resource of the program.
TEST(WindowImplBaseKinds, SkinFromResource) {
  struct ResourceSkin : TextSkinWindow {
    ResourceSkin() : TextSkinWindow(L"301") {}
    UINT ResourceKind() const override { return ResourceKindResource; }
  } window;
  ASSERT_NE(window.Open(), nullptr);
  EXPECT_NE(window.Find(L"fromresource"), nullptr);
  EXPECT_EQ(window.initCalls, 1);
  ::DestroyWindow(window.GetHWND());
}

// A missing "ZIPRES" resource leaves the window empty instead of failing the process.
TEST(WindowImplBaseKinds, MissingArchiveResourceLeavesWindowEmpty) {
  struct NoArchive : TextSkinWindow {
    NoArchive() : TextSkinWindow(L"main.xml") {}
    UINT ResourceKind() const override { return ResourceKindArchiveResource; }
    std::wstring ResourceId() const override { return L"4711"; }
  } window;
  ASSERT_NE(window.Open(), nullptr);
  EXPECT_EQ(window.Manager().Root(), nullptr);
  EXPECT_EQ(window.initCalls, 0);
  ::DestroyWindow(window.GetHWND());
}

}  // namespace
}  // namespace SkinUI
