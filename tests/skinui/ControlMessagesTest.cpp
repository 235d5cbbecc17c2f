#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelCanvas.h"
#include "StandardControlsSupport.h"
#include "skinui/UIButton.h"
#include "skinui/UIEdit.h"
#include "skinui/UIOption.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {
namespace {

// A skinned window's messages reach the standard controls through the manager: a button,
// two grouped options and an edit, 40 pixels high each, under each other in a window 200
// pixels high.
class ControlMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.manager.AddNotifyReceiver(&receiver_);
    auto* layout = new CVerticalLayoutUI;
    host_.manager.AttachRoot(layout);
    button_ = new CButtonUI;
    first_ = new COptionUI;
    second_ = new COptionUI;
    edit_ = new CEditUI;
    for (CControlUI* control : std::vector<CControlUI*>{button_, first_, second_, edit_}) {
      control->SetFixedHeight(40);
      layout->Add(control);
    }
    first_->SetGroup(L"choice");
    second_->SetGroup(L"choice");
    host_.SettleWithoutFocus();
    receiver_.entries.clear();
  }
  LRESULT Mouse(UINT message, int x, int y) {
    return ::SendMessageW(host_.GetHWND(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                          MAKELPARAM(x, y));
  }
  void ClickAt(int x, int y) {
    Mouse(WM_MOUSEMOVE, x, y);
    Mouse(WM_LBUTTONDOWN, x, y);
    Mouse(WM_LBUTTONUP, x, y);
  }

  HostWindow host_;
  RecordingReceiver receiver_;
  CButtonUI* button_ = nullptr;
  COptionUI* first_ = nullptr;
  COptionUI* second_ = nullptr;
  CEditUI* edit_ = nullptr;
};

// A press on the button and a release inside sends "click"; a release over another control
// does not, and the button is no longer pushed.
TEST_F(ControlMessagesTest, ClickThroughWindowMessages) {
  ASSERT_TRUE(SameRect(RECT{0, 0, 300, 40}, button_->Bounds())) << ShowRect(button_->Bounds());
  ClickAt(50, 20);
  EXPECT_EQ(1, receiver_.Count(L"click"));

  Mouse(WM_MOUSEMOVE, 50, 20);
  Mouse(WM_LBUTTONDOWN, 50, 20);
  EXPECT_TRUE(button_->ButtonState() & ButtonStatePushed);
  Mouse(WM_MOUSEMOVE, 50, 100);
  EXPECT_FALSE(button_->ButtonState() & ButtonStatePushed);
  Mouse(WM_LBUTTONUP, 50, 100);
  EXPECT_EQ(1, receiver_.Count(L"click"));
  EXPECT_EQ(0u, button_->ButtonState() & (ButtonStatePushed | ButtonStateCaptured));
}

// Moving onto the button and off it sends "mouseenter" and "mouseleave" once each.
TEST_F(ControlMessagesTest, HoverThroughWindowMessages) {
  Mouse(WM_MOUSEMOVE, 50, 190);  // below every control
  receiver_.entries.clear();
  Mouse(WM_MOUSEMOVE, 50, 20);
  EXPECT_TRUE(button_->ButtonState() & ButtonStateHot);
  Mouse(WM_MOUSEMOVE, 60, 25);
  Mouse(WM_MOUSEMOVE, 50, 190);
  std::vector<std::wstring> fromButton;
  for (const auto& entry : receiver_.entries)
    if (entry.sender == button_) fromButton.push_back(entry.type);
  EXPECT_EQ((std::vector<std::wstring>{L"mouseenter", L"mouseleave"}), fromButton);
  EXPECT_FALSE(button_->ButtonState() & ButtonStateHot);
}

// The window prints the state images the mouse selects: normal, hot while over the
// button, pushed while pressed, and a selected option its selected image.
TEST_F(ControlMessagesTest, PrintedStateImages) {
  button_->ApplyAttribute(L"normalimage", L"color='#FFFF0000'");
  button_->ApplyAttribute(L"hotimage", L"color='#FF00FF00'");
  button_->ApplyAttribute(L"pushedimage", L"color='#FF0000FF'");
  second_->ApplyAttribute(L"selectedimage", L"color='#FFFFFF00'");
  auto printed = [this](int x, int y) {
    PixelCanvas canvas(300, 200);
    ::SendMessageW(host_.GetHWND(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                   PRF_CLIENT);
    return canvas.Rgb(x, y);
  };
  Mouse(WM_MOUSEMOVE, 50, 190);
  EXPECT_EQ(0xFF0000u, printed(150, 20));
  Mouse(WM_MOUSEMOVE, 50, 20);
  EXPECT_EQ(0x00FF00u, printed(150, 20));
  Mouse(WM_LBUTTONDOWN, 50, 20);
  EXPECT_EQ(0x0000FFu, printed(150, 20));
  Mouse(WM_LBUTTONUP, 50, 20);
  EXPECT_EQ(0x00FF00u, printed(150, 20));
  EXPECT_NE(0xFFFF00u, printed(150, 100));
  ClickAt(50, 100);
  EXPECT_EQ(0xFFFF00u, printed(150, 100));
}

// The fade runs on the window's real timer until the hot image shows fully, and back. The
// real pointer is put where the messages say it is: mouse tracking would otherwise report
// a leave toward wherever it rests.
TEST_F(ControlMessagesTest, FadeRunsOnTheWindowTimer) {
  button_->ApplyAttribute(L"fadedelta", L"60");
  ::SetCursorPos(50, 190);
  Mouse(WM_MOUSEMOVE, 50, 190);
  ::SetCursorPos(50, 20);
  Mouse(WM_MOUSEMOVE, 50, 20);
  Pump(400);
  EXPECT_EQ(0, button_->FadeAlpha());
  ::SetCursorPos(50, 190);
  Mouse(WM_MOUSEMOVE, 50, 190);
  Pump(400);
  EXPECT_EQ(255, button_->FadeAlpha());
}

// Space on the focused button clicks it.
TEST_F(ControlMessagesTest, SpaceOnTheFocusedButton) {
  host_.manager.SetFocus(button_);
  ::SendMessageW(host_.GetHWND(), WM_KEYDOWN, VK_SPACE, 1);
  ::SendMessageW(host_.GetHWND(), WM_KEYUP, VK_SPACE, 1);
  EXPECT_EQ(1, receiver_.Count(L"click"));
}

// Clicking the options selects one at a time and reports each change once.
TEST_F(ControlMessagesTest, GroupedOptionsThroughClicks) {
  ClickAt(50, 60);
  ClickAt(50, 100);
  ClickAt(50, 100);
  EXPECT_FALSE(first_->IsSelected());
  EXPECT_TRUE(second_->IsSelected());
  EXPECT_EQ(2, receiver_.Count(L"selectchanged"));
  EXPECT_EQ(3, receiver_.Count(L"click"));
}

// A click on the edit focuses it and opens the native window, which has the keyboard.
TEST_F(ControlMessagesTest, ClickOpensTheEdit) {
  ClickAt(50, 140);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  EXPECT_EQ(native, ::GetFocus());
  EXPECT_EQ(edit_, host_.manager.Focus());
  // A click elsewhere closes it again.
  ClickAt(50, 20);
  Pump();
  EXPECT_FALSE(::IsWindow(native));
  EXPECT_EQ(nullptr, edit_->NativeWindow());
}

// With a native background colour the native window gets a brush of it through the
// skinned window's reflected colour message: solid when opaque, a pattern of the skin
// underneath when translucent.
TEST_F(ControlMessagesTest, NativeBackgroundBrush) {
  const struct {
    const wchar_t* colour;
    UINT style;
  } cases[] = {{L"#FF00FF00", BS_SOLID}, {L"#8000FF00", BS_PATTERN}};
  for (const auto& c : cases) {
    edit_->ApplyAttribute(L"nativebkcolor", c.colour);
    host_.manager.SetFocus(edit_);
    HWND native = edit_->NativeWindow();
    ASSERT_NE(nullptr, native);
    HDC dc = ::GetDC(native);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        host_.GetHWND(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(native)));
    ::ReleaseDC(native, dc);
    LOGBRUSH info = {};
    ASSERT_NE(0, ::GetObjectW(brush, sizeof(info), &info)) << c.colour;
    EXPECT_EQ(c.style, info.lbStyle) << c.colour;
    if (c.style == BS_SOLID) {
      EXPECT_EQ(RGB(0, 255, 0), info.lbColor);
    }
    host_.manager.SetFocus(button_);
    Pump();
    ASSERT_EQ(nullptr, edit_->NativeWindow());
  }
}

}  // namespace
}  // namespace SkinUI
