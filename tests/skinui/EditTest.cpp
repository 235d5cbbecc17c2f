#include <gtest/gtest.h>

#include <string>

#include "StandardControlsSupport.h"
#include "skinui/EditWnd.h"
#include "skinui/UIEdit.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {
namespace {

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.manager.AddNotifyReceiver(&receiver_);
    layout_ = new CVerticalLayoutUI;
    host_.manager.AttachRoot(layout_);
    edit_ = new CEditUI;
    edit_->SetFixedHeight(40);
    layout_->Add(edit_);
    other_ = new CEditUI;
    other_->SetFixedHeight(40);
    layout_->Add(other_);
    host_.SettleWithoutFocus();
    receiver_.entries.clear();
  }
  void Type(HWND window, const std::wstring& text) {
    for (wchar_t ch : text) ::SendMessageW(window, WM_CHAR, ch, 1);
  }

  HostWindow host_;
  RecordingReceiver receiver_;
  CVerticalLayoutUI* layout_ = nullptr;
  CEditUI* edit_ = nullptr;
  CEditUI* other_ = nullptr;
};

// Taking the focus opens the native window over the text area; typing reports every
// change and Enter reports "return"; the typed text is the edit's text.
TEST_F(EditTest, TypingInTheNativeWindow) {
  ASSERT_NE(nullptr, host_.GetHWND());
  host_.manager.SetFocus(edit_);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  EXPECT_EQ(native, ::GetFocus());
  EXPECT_EQ(edit_, host_.manager.NativeChildControl(native));
  EXPECT_EQ(host_.GetHWND(), ::GetParent(native));
  // Text area: the 300 x 40 edit less its 4,3,4,3 padding, centred on one font line.
  RECT placed = {};
  ::GetWindowRect(native, &placed);
  ::MapWindowPoints(nullptr, host_.GetHWND(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(SameRect(edit_->NativeWindowRect(), placed)) << ShowRect(placed);
  EXPECT_EQ(4, placed.left);
  EXPECT_EQ(296, placed.right);
  EXPECT_EQ(host_.manager.GetFontInfo(-1)->metrics.tmHeight, placed.bottom - placed.top);

  receiver_.entries.clear();
  Type(native, L"abc");
  EXPECT_EQ(L"abc", edit_->GetText());
  EXPECT_EQ(3, receiver_.Count(L"textchanged"));
  ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
  ::SendMessageW(native, WM_CHAR, VK_RETURN, 1);
  EXPECT_EQ(1, receiver_.Count(L"return"));
  EXPECT_EQ(L"abc", edit_->GetText());
  EXPECT_EQ(edit_, receiver_.entries.back().sender);

  // Text set by the program shows in the native window without a "textchanged".
  receiver_.entries.clear();
  edit_->SetText(L"set");
  wchar_t shown[16] = {};
  ::GetWindowTextW(native, shown, 16);
  EXPECT_STREQ(L"set", shown);
  EXPECT_EQ(0, receiver_.Count(L"textchanged"));
  Type(native, L"!");
  EXPECT_EQ(L"set!", edit_->GetText());
  EXPECT_EQ(1, receiver_.Count(L"textchanged"));
}

// The native window takes the edit's settings: text, limit, password, number-only,
// alignment and read-only.
TEST_F(EditTest, NativeWindowTakesTheSettings) {
  edit_->SetText(L"12");
  edit_->ApplyAttribute(L"maxchar", L"4");
  edit_->ApplyAttribute(L"password", L"true");
  edit_->ApplyAttribute(L"numberonly", L"true");
  edit_->ApplyAttribute(L"align", L"right");
  edit_->ApplyAttribute(L"readonly", L"true");
  host_.manager.SetFocus(edit_);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  LONG style = ::GetWindowLongW(native, GWL_STYLE);
  EXPECT_TRUE(style & ES_PASSWORD);
  EXPECT_TRUE(style & ES_NUMBER);
  EXPECT_TRUE(style & ES_RIGHT);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_EQ(4u, static_cast<UINT>(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0)));
  EXPECT_EQ(L'*', static_cast<wchar_t>(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0)));
  wchar_t text[16] = {};
  ::GetWindowTextW(native, text, 16);
  EXPECT_STREQ(L"12", text);
  // Filling in the settings is no typing.
  EXPECT_EQ(0, receiver_.Count(L"textchanged"));
}

// Losing the focus closes the native window and unregisters it; the edit keeps the text.
TEST_F(EditTest, FocusLossClosesTheNativeWindow) {
  host_.manager.SetFocus(edit_);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  Type(native, L"hi");
  host_.manager.SetFocus(other_);
  Pump();
  EXPECT_FALSE(::IsWindow(native));
  EXPECT_EQ(nullptr, edit_->NativeWindow());
  EXPECT_EQ(nullptr, host_.manager.NativeChildControl(native));
  EXPECT_EQ(L"hi", edit_->GetText());
  EXPECT_NE(nullptr, other_->NativeWindow());

  // Hiding the edit that is being edited closes its window too.
  HWND second = other_->NativeWindow();
  other_->SetVisible(false);
  Pump();
  EXPECT_FALSE(::IsWindow(second));
  EXPECT_EQ(nullptr, other_->NativeWindow());
}

// The native window follows the edit when it moves and hides when nothing of the text
// area shows.
TEST_F(EditTest, NativeWindowFollowsTheEdit) {
  host_.manager.SetFocus(edit_);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  edit_->MoveBy(0, 50);
  RECT placed = {};
  ::GetWindowRect(native, &placed);
  ::MapWindowPoints(nullptr, host_.GetHWND(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(SameRect(edit_->NativeWindowRect(), placed)) << ShowRect(placed);
  EXPECT_TRUE(::IsWindowVisible(native));
  edit_->SetBounds(RECT{0, 500, 300, 540});  // outside the layout
  RECT hidden = edit_->NativeWindowRect();
  EXPECT_TRUE(::IsRectEmpty(&hidden));
  EXPECT_FALSE(::IsWindowVisible(native));
}

// Destroying an edit while its native window is open closes that window at once; so does
// a receiver that destroys the edit from "textchanged".
TEST_F(EditTest, DestroyingTheEditWhileEditing) {
  host_.manager.SetFocus(edit_);
  HWND native = edit_->NativeWindow();
  ASSERT_NE(nullptr, native);
  layout_->SetDelayedDestroy(false);
  layout_->Remove(edit_);
  EXPECT_FALSE(::IsWindow(native));
  EXPECT_EQ(nullptr, host_.manager.NativeChildControl(native));

  class Remover : public INotifyUI {
   public:
    explicit Remover(CContainerUI* layout) : layout_(layout) {}
    void Notify(UINotification& n) override {
      if (n.type == L"textchanged" && n.sender != nullptr) layout_->Remove(n.sender);
    }
    CContainerUI* layout_;
  } remover(layout_);
  host_.manager.AddNotifyReceiver(&remover);
  host_.manager.SetFocus(other_);
  HWND second = other_->NativeWindow();
  ASSERT_NE(nullptr, second);
  Type(second, L"x");
  Pump();
  host_.manager.RemoveNotifyReceiver(&remover);
  EXPECT_FALSE(::IsWindow(second));
  EXPECT_EQ(0, layout_->Count());
}

// The framework draws the tip while the text is empty (or is the tip), password
// characters for a password and the text otherwise.
TEST(EditTextTest, ShownText) {
  const struct {
    const wchar_t* text;
    const wchar_t* tip;
    bool password;
    const wchar_t* shown;
  } cases[] = {
      {L"abc", L"", true, L"***"},
      {L"abc", L"", false, L"abc"},
      {L"", L"name", false, L"name"},
      {L"", L"name", true, L"name"},
      {L"joe", L"name", true, L"***"},
  };
  for (const auto& c : cases) {
    CEditUI edit;
    edit.SetText(c.text);
    edit.ApplyAttribute(L"tipvalue", c.tip);
    edit.ApplyAttribute(L"password", c.password ? L"true" : L"false");
    EXPECT_EQ(c.shown, edit.ShownText()) << c.text << "/" << c.tip;
  }
  CEditUI edit;
  edit.SetTipValue(L"search");
  EXPECT_EQ(L"search", edit.GetText());
  EXPECT_TRUE(SameRect(RECT{4, 3, 4, 3}, edit.TextPadding()));
  EXPECT_EQ(0xFFFFFFFFu, edit.BkColor());
  EXPECT_EQ(255, edit.MaxChar());
  EXPECT_EQ(UINT(ControlFlagTabStop | ControlFlagSetCursor), edit.ControlFlags());
  edit.SetEnabled(false);
  EXPECT_EQ(0u, edit.ControlFlags());
}

using EditPaintTest = StandardControlTest;

// Disabled, focused and hot images win in that order when they draw; otherwise the normal
// image shows.
TEST_F(EditPaintTest, StateImagePriority) {
  const struct {
    const char* name;
    bool disabled, focused, hot, withFocusedImage;
    DWORD body;
  } cases[] = {
      {"normal", false, false, false, true, 0xFF0000},
      {"hot", false, false, true, true, 0x00FF00},
      {"focused and hot", false, true, true, true, 0x0000FF},
      {"focused without image", false, true, true, false, 0x00FF00},
      {"disabled", true, false, false, true, 0x808080},
  };
  for (const auto& c : cases) {
    auto* edit = Place(new CEditUI, RECT{0, 0, 100, 30});
    edit->ApplyAttribute(L"normalimage", L"color='#FFFF0000'");
    edit->ApplyAttribute(L"hotimage", L"color='#FF00FF00'");
    if (c.withFocusedImage) edit->ApplyAttribute(L"focusedimage", L"color='#FF0000FF'");
    edit->ApplyAttribute(L"disabledimage", L"color='#FF808080'");
    if (c.hot) Send(edit, EventMouseEnter, {50, 15});
    // The painted picture holds the framework's drawing only, whatever native window opens.
    if (c.focused) Send(edit, EventSetFocus);
    if (c.disabled) edit->SetEnabled(false);
    EXPECT_EQ(c.body, Paint(RECT{0, 0, 100, 30}).Rgb(50, 2)) << c.name;
  }
}

// The framework draws a password as one password character per character, and an empty
// field's tip in the tip colour.
TEST_F(EditPaintTest, PasswordAndTipPainting) {
  auto inkOf = [this](const wchar_t* text, const wchar_t* password, RECT& ink) {
    auto* edit = Place(new CEditUI, RECT{0, 0, 200, 30});
    edit->ApplyAttribute(L"textcolor", L"#FF000000");
    edit->ApplyAttribute(L"password", password);
    edit->SetText(text);
    Picture picture = Paint(RECT{0, 0, 200, 30});
    ink = picture.InkBounds(0xFFFFFF);
  };
  RECT masked = {}, plain = {}, typed = {};
  inkOf(L"abc", L"true", masked);
  inkOf(L"***", L"false", plain);
  inkOf(L"abc", L"false", typed);
  EXPECT_TRUE(SameRect(plain, masked)) << ShowRect(plain) << " " << ShowRect(masked);
  EXPECT_FALSE(SameRect(typed, masked));

  auto* edit = Place(new CEditUI, RECT{0, 0, 200, 30});
  edit->ApplyAttribute(L"tipvalue", L"MMMM");
  edit->ApplyAttribute(L"tipvaluecolor", L"#FFFF0000");
  Picture picture = Paint(RECT{0, 0, 200, 30});
  RECT ink = picture.InkBounds(0xFFFFFF);
  ASSERT_GT(ink.right, ink.left);
  bool red = false;
  for (int y = ink.top; y < ink.bottom && !red; ++y)
    for (int x = ink.left; x < ink.right && !red; ++x) red = picture.Rgb(x, y) == 0xFF0000;
  EXPECT_TRUE(red);
}

}  // namespace
}  // namespace SkinUI
