#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "StandardControlsSupport.h"
#include "TestImages.h"
#include "skinui/UIButton.h"
#include "skinui/UIVerticalLayout.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

using ButtonTest = StandardControlTest;

constexpr RECT kButtonRect = {10, 10, 110, 40};
constexpr POINT kInside = {50, 20};
constexpr POINT kOutside = {200, 20};

// "click" comes only from a release inside after a press inside; moving out un-pushes the
// button and moving back pushes it again.
TEST_F(ButtonTest, ClickOnlyOnReleaseInside) {
  struct Step {
    int type;
    POINT at;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    int clicks;
  } cases[] = {
      {"press and release inside", {{EventButtonDown, kInside}, {EventButtonUp, kInside}}, 1},
      {"release outside",
       {{EventButtonDown, kInside}, {EventMouseMove, kOutside}, {EventButtonUp, kOutside}},
       0},
      {"back inside before release",
       {{EventButtonDown, kInside},
        {EventMouseMove, kOutside},
        {EventMouseMove, kInside},
        {EventButtonUp, kInside}},
       1},
      {"release without press", {{EventButtonUp, kInside}}, 0},
      {"double click then release", {{EventDoubleClick, kInside}, {EventButtonUp, kInside}}, 1},
      {"second release", {{EventButtonDown, kInside}, {EventButtonUp, kInside}, {EventButtonUp, kInside}}, 1},
  };
  for (const auto& c : cases) {
    auto* button = Place(new CButtonUI, kButtonRect);
    receiver_.entries.clear();
    for (const Step& step : c.steps) Send(button, step.type, step.at);
    EXPECT_EQ(c.clicks, receiver_.Count(L"click")) << c.name;
    EXPECT_EQ(0u, button->ButtonState() & (ButtonStatePushed | ButtonStateCaptured)) << c.name;
  }
}

// While captured, the pushed bit follows whether the mouse is over the button.
TEST_F(ButtonTest, PushedFollowsTheMouseWhileCaptured) {
  auto* button = Place(new CButtonUI, kButtonRect);
  Send(button, EventButtonDown, kInside);
  EXPECT_EQ(UINT(ButtonStatePushed | ButtonStateCaptured), button->ButtonState());
  Send(button, EventMouseMove, kOutside);
  EXPECT_EQ(UINT(ButtonStateCaptured), button->ButtonState());
  Send(button, EventMouseMove, kInside);
  EXPECT_EQ(UINT(ButtonStatePushed | ButtonStateCaptured), button->ButtonState());
}

// A disabled button, a press outside and a hidden button send no "click".
TEST_F(ButtonTest, NoClickWhenDisabledOrHidden) {
  auto* button = Place(new CButtonUI, kButtonRect);
  Send(button, EventButtonDown, kOutside);
  Send(button, EventButtonUp, kOutside);
  button->SetEnabled(false);
  Send(button, EventButtonDown, kInside);
  Send(button, EventButtonUp, kInside);
  Send(button, EventKeyDown, kInside, 0, VK_SPACE);
  button->SetEnabled(true);
  button->SetVisible(false);
  EXPECT_FALSE(button->Activate());
  EXPECT_EQ(0, receiver_.Count(L"click"));
}

// Space and Enter activate a focused, enabled button; other keys and a button that takes
// no keyboard do not.
TEST_F(ButtonTest, SpaceAndEnterClick) {
  const struct {
    wchar_t key;
    bool keyboard;
    int clicks;
  } cases[] = {
      {VK_SPACE, true, 1}, {VK_RETURN, true, 1}, {L'A', true, 0}, {VK_ESCAPE, true, 0},
      {VK_SPACE, false, 0}, {VK_RETURN, false, 0},
  };
  for (const auto& c : cases) {
    auto* button = Place(new CButtonUI, kButtonRect);
    button->SetKeyboardEnabled(c.keyboard);
    receiver_.entries.clear();
    Send(button, EventKeyDown, {}, 0, c.key);
    EXPECT_EQ(c.clicks, receiver_.Count(L"click")) << int(c.key) << " " << c.keyboard;
    EXPECT_EQ(c.keyboard ? UINT(ControlFlagTabStop | ControlFlagSetCursor)
                         : UINT(ControlFlagSetCursor),
              button->ControlFlags());
  }
}

// Entering makes the button hot once with "mouseenter"; a leave onto a point still inside
// keeps it hot and asks for a later leave; a real leave sends "mouseleave".
TEST_F(ButtonTest, HotTrackingAndMouseLeaveList) {
  auto* button = Place(new CButtonUI, kButtonRect);
  Send(button, EventMouseEnter, kInside, 7);
  Send(button, EventMouseEnter, kInside, 7);
  EXPECT_EQ(1, receiver_.Count(L"mouseenter"));
  EXPECT_EQ(7u, receiver_.entries[0].wParam);
  EXPECT_TRUE(button->ButtonState() & ButtonStateHot);

  Send(button, EventMouseLeave, kInside);
  EXPECT_EQ(0, receiver_.Count(L"mouseleave"));
  EXPECT_TRUE(button->ButtonState() & ButtonStateHot);
  ASSERT_EQ(1u, manager_.MouseLeaveControls().size());
  EXPECT_EQ(button, manager_.MouseLeaveControls()[0]);

  Send(button, EventMouseLeave, kOutside);
  EXPECT_EQ(1, receiver_.Count(L"mouseleave"));
  EXPECT_FALSE(button->ButtonState() & ButtonStateHot);
  EXPECT_TRUE(manager_.MouseLeaveControls().empty());

  // A disabled button does not become hot.
  button->SetEnabled(false);
  Send(button, EventMouseEnter, kInside);
  EXPECT_EQ(1, receiver_.Count(L"mouseenter"));
}

// With a fade step the fade timer runs on enter and leave; each tick moves the fade alpha
// by the step toward 0 while hot (toward 255 otherwise) and the timer stops at the end.
TEST_F(ButtonTest, FadeTimerStepsAndStops) {
  auto* button = Place(new CButtonUI, kButtonRect);
  button->ApplyAttribute(L"fadedelta", L"100");
  ASSERT_EQ(100, button->FadeStep());
  Send(button, EventMouseEnter, kInside);
  // The fade timer is live: a second start fails.
  EXPECT_FALSE(manager_.SetTimer(button, CButtonUI::kFadeTimerId, 30));
  const int expectedWhileHot[] = {155, 55, 0};
  for (int alpha : expectedWhileHot) {
    Send(button, EventTimer, {}, CButtonUI::kFadeTimerId);
    EXPECT_EQ(alpha, button->FadeAlpha());
  }
  // Stopped at 0: the killed record can be re-armed, so killing it again is the test.
  EXPECT_TRUE(manager_.SetTimer(button, CButtonUI::kFadeTimerId, 30));
  manager_.KillTimer(button, CButtonUI::kFadeTimerId);

  Send(button, EventMouseLeave, kOutside);
  const int expectedAfterLeave[] = {100, 200, 255};
  for (int alpha : expectedAfterLeave) {
    Send(button, EventTimer, {}, CButtonUI::kFadeTimerId);
    EXPECT_EQ(alpha, button->FadeAlpha());
  }
  // Other timers of the button are still reported as "timer".
  Send(button, EventTimer, {}, 5);
  EXPECT_EQ(1, receiver_.Count(L"timer"));
  EXPECT_EQ(0, receiver_.Count(L"click"));
}

// Out-of-range fade steps are held inside 0..255.
TEST(ButtonAttributeTest, FadeDeltaRange) {
  const struct {
    const wchar_t* value;
    int step;
  } cases[] = {{L"30", 30}, {L"300", 255}, {L"-5", 0}, {L"x", 0}};
  for (const auto& c : cases) {
    CButtonUI button;
    button.ApplyAttribute(L"fadedelta", c.value);
    EXPECT_EQ(c.step, button.FadeStep()) << c.value;
  }
}

// Each state paints its own image with the documented fall-backs; the fore image lies on
// top in every state but the disabled one.
TEST_F(ButtonTest, StateImagesAndFallbacks) {
  const std::wstring kNormal = L"color='#FFFF0000'";
  const std::wstring kHot = L"color='#FF00FF00'";
  const std::wstring kPushed = L"color='#FF0000FF'";
  const std::wstring kFocused = L"color='#FFFFFF00'";
  const std::wstring kDisabled = L"color='#FF808080'";
  const std::wstring kFore = L"color='#FF000000' dest='0,0,10,10'";
  enum State { Normal, Hot, Pushed, Focused, Disabled };
  const struct {
    const char* name;
    State state;
    bool hot, pushed, focused, disabled;  // which images exist
    DWORD body;
    bool fore;
  } cases[] = {
      {"normal", Normal, true, true, true, true, 0xFF0000, true},
      {"hot", Hot, true, true, true, true, 0x00FF00, true},
      {"hot without hot image", Hot, false, true, true, true, 0xFF0000, true},
      {"pushed", Pushed, true, true, true, true, 0x0000FF, true},
      {"pushed without pushed image", Pushed, true, false, true, true, 0xFF0000, true},
      {"focused", Focused, true, true, true, true, 0xFFFF00, true},
      {"focused without focused image", Focused, true, true, false, true, 0xFF0000, true},
      {"disabled", Disabled, true, true, true, true, 0x808080, false},
      {"disabled without disabled image", Disabled, true, true, true, false, 0xFF0000, true},
  };
  for (const auto& c : cases) {
    auto* button = Place(new CButtonUI, kButtonRect);
    button->ApplyAttribute(L"normalimage", kNormal);
    if (c.hot) button->ApplyAttribute(L"hotimage", kHot);
    if (c.pushed) button->ApplyAttribute(L"pushedimage", kPushed);
    if (c.focused) button->ApplyAttribute(L"focusedimage", kFocused);
    if (c.disabled) button->ApplyAttribute(L"disabledimage", kDisabled);
    button->ApplyAttribute(L"foreimage", kFore);
    switch (c.state) {
      case Hot: Send(button, EventMouseEnter, kInside); break;
      case Pushed: Send(button, EventButtonDown, kInside); break;
      case Focused: manager_.SetFocus(button, false); break;
      case Disabled: button->SetEnabled(false); break;
      default: break;
    }
    Picture picture = Paint(kButtonRect);
    ASSERT_TRUE(picture.valid());
    EXPECT_EQ(c.body, picture.Rgb(60, 20)) << c.name;
    EXPECT_EQ(c.fore ? 0x000000u : c.body, picture.Rgb(5, 5)) << c.name;
  }
}

// State background colours fill under the images of their state.
TEST_F(ButtonTest, StateBackgroundColours) {
  auto* button = Place(new CButtonUI, kButtonRect);
  button->ApplyAttribute(L"hotbkcolor", L"#FF00FF00");
  button->ApplyAttribute(L"pushedbkcolor", L"#FF0000FF");
  button->ApplyAttribute(L"disabledbkcolor", L"FF808080");
  EXPECT_EQ(0xFFFFFFu, Paint(kButtonRect).Rgb(50, 10));
  Send(button, EventMouseEnter, kInside);
  EXPECT_EQ(0x00FF00u, Paint(kButtonRect).Rgb(50, 10));
  Send(button, EventButtonDown, kInside);
  EXPECT_EQ(0x0000FFu, Paint(kButtonRect).Rgb(50, 10));
  button->SetEnabled(false);
  EXPECT_EQ(0, int(button->ButtonState() & (ButtonStateHot | ButtonStatePushed)));
  EXPECT_EQ(0x808080u, Paint(kButtonRect).Rgb(50, 10));
}

// While fading from normal to hot, a half-way alpha mixes both images; at the end of the
// fade only the hot image shows.
TEST_F(ButtonTest, FadeMixesNormalAndHotImages) {
  auto* button = Place(new CButtonUI, kButtonRect);
  button->ApplyAttribute(L"normalimage", L"color='#FFFF0000'");
  button->ApplyAttribute(L"hotimage", L"color='#FF0000FF'");
  button->ApplyAttribute(L"fadedelta", L"128");
  Send(button, EventMouseEnter, kInside);
  Send(button, EventTimer, {}, CButtonUI::kFadeTimerId);  // alpha 127
  DWORD mixed = Paint(kButtonRect).Rgb(50, 20);
  EXPECT_GT(mixed & 0xFF, 0x40u) << std::hex << mixed;
  EXPECT_GT((mixed >> 16) & 0xFF, 0x40u) << std::hex << mixed;
  Send(button, EventTimer, {}, CButtonUI::kFadeTimerId);  // alpha 0
  EXPECT_EQ(0x0000FFu, Paint(kButtonRect).Rgb(50, 20));
}

// A five-column picture gives normal, pushed, hot, focused and disabled their columns, and
// a floating button without a size takes one column's size.
TEST_F(ButtonTest, FiveStatusImage) {
  const DWORD columns[5] = {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFF00, 0xFF808080};
  std::vector<DWORD> pixels;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 20; ++x) pixels.push_back(columns[x / 4]);
  TempFolder folder;
  std::wstring path = folder.WriteFile(L"five.png", EncodePng(pixels, 20, 4));

  auto* button = Place(new CButtonUI, kButtonRect);
  button->SetFloat(true);
  button->ApplyAttribute(L"fivestatusimage", path);
  EXPECT_EQ(4, button->FixedWidth());
  EXPECT_EQ(4, button->FixedHeight());
  button->SetBounds(kButtonRect, false);
  EXPECT_EQ(0xFF0000u, Paint(kButtonRect).Rgb(60, 25));
  manager_.SetFocus(button, false);
  EXPECT_EQ(0xFFFF00u, Paint(kButtonRect).Rgb(60, 25));
  Send(button, EventMouseEnter, kInside);
  EXPECT_EQ(0x00FF00u, Paint(kButtonRect).Rgb(60, 25));
  Send(button, EventButtonDown, kInside);
  EXPECT_EQ(0x0000FFu, Paint(kButtonRect).Rgb(60, 25));
  button->SetEnabled(false);
  EXPECT_EQ(0x808080u, Paint(kButtonRect).Rgb(60, 25));

  // A picture that cannot be read leaves the images alone.
  auto* other = Place(new CButtonUI, kButtonRect);
  other->ApplyAttribute(L"fivestatusimage", folder.path() + L"\\missing.png");
  EXPECT_TRUE(other->NormalImage().descriptor.empty());
}

// Buttons measure as the font height + 8 unless a fixed height is set.
TEST_F(ButtonTest, MeasuresByFont) {
  auto* button = Place(new CButtonUI, kButtonRect);
  button->SetText(L"a rather long text that does not matter");
  const int fontHeight = manager_.GetFontInfo(-1)->metrics.tmHeight;
  SIZE size = button->MeasureSize(SIZE{500, 500});
  EXPECT_EQ(0, size.cx);
  EXPECT_EQ(fontHeight + 8, size.cy);
  button->SetFixedWidth(60);
  EXPECT_EQ(60, button->MeasureSize(SIZE{500, 500}).cx);
  button->SetFixedHeight(25);
  EXPECT_EQ(25, button->MeasureSize(SIZE{500, 500}).cy);
}

// The context menu is reported only by an enabled button that asks for it.
TEST_F(ButtonTest, MenuNotification) {
  auto* button = Place(new CButtonUI, kButtonRect);
  Send(button, EventContextMenu, kInside);
  EXPECT_EQ(0, receiver_.Count(L"menu"));
  button->ApplyAttribute(L"menu", L"true");
  Send(button, EventContextMenu, kInside);
  EXPECT_EQ(1, receiver_.Count(L"menu"));
  button->SetEnabled(false);
  Send(button, EventContextMenu, kInside);
  EXPECT_EQ(1, receiver_.Count(L"menu"));
}

// A button whose memory stays readable after deletion, filled with a marker, so a write
// to it after deletion can be seen.
class MarkedButton : public CButtonUI {
 public:
  static void* operator new(size_t size) {
    void* block = ::operator new(size);
    blocks().push_back({block, size});
    return block;
  }
  static void operator delete(void* block, size_t size) { std::memset(block, 0xDD, size); }
  static bool Untouched(void* block, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (size_t i = 0; i < size; ++i)
      if (bytes[i] != 0xDD) return false;
    return true;
  }
  struct Block {
    void* at;
    size_t size;
  };
  static std::vector<Block>& blocks() {
    static std::vector<Block> list;
    return list;
  }
};

// Deletes the sender when it sends the given notification.
class DeletingReceiver : public INotifyUI {
 public:
  DeletingReceiver(CContainerUI* parent, const wchar_t* type) : parent_(parent), type_(type) {}
  void Notify(UINotification& n) override {
    if (n.type == type_ && n.sender != nullptr) parent_->Remove(n.sender);
  }

 private:
  CContainerUI* parent_;
  std::wstring type_;
};

// A receiver may destroy the button from its "click" or "mouseenter"; the button does not
// touch itself afterwards.
TEST_F(ButtonTest, ReceiverMayDestroyTheButton) {
  for (const wchar_t* type : {L"click", L"mouseenter"}) {
    auto* layout = Place(new CVerticalLayoutUI, RECT{0, 0, 200, 100});
    layout->SetDelayedDestroy(false);
    auto* button = new MarkedButton;
    layout->Add(button);
    button->SetBounds(kButtonRect, false);
    DeletingReceiver deleting(layout, type);
    manager_.AddNotifyReceiver(&deleting);
    MarkedButton::Block block = MarkedButton::blocks().back();
    if (std::wstring(type) == L"click") {
      Send(button, EventButtonDown, kInside);
      Send(button, EventButtonUp, kInside);
    } else {
      button->ApplyAttribute(L"fadedelta", L"10");
      Send(button, EventMouseEnter, kInside);
    }
    manager_.RemoveNotifyReceiver(&deleting);
    EXPECT_EQ(0, layout->Count());
    EXPECT_TRUE(MarkedButton::Untouched(block.at, block.size)) << "written after " << type;
  }
}

}  // namespace
}  // namespace SkinUI
