#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StandardControlsSupport.h"
#include "skinui/UICheckBox.h"
#include "skinui/UIOption.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {
namespace {

// Three options of one group (and a check box) in a vertical layout, each 30 high.
class OptionTest : public StandardControlTest {
 protected:
  void SetUp() override {
    StandardControlTest::SetUp();
    layout_ = Place(new CVerticalLayoutUI, RECT{0, 0, 100, 120});
    for (int i = 0; i < 3; ++i) {
      options_[i] = new COptionUI;
      options_[i]->SetFixedHeight(30);
      options_[i]->ApplyAttribute(L"group", L"pages");
      layout_->Add(options_[i]);
    }
    check_ = new CCheckBoxUI;
    check_->SetFixedHeight(30);
    layout_->Add(check_);
    RECT all = {0, 0, 100, 120};
    manager_.LayoutIfNeeded(all);
    receiver_.entries.clear();
  }
  void Click(CControlUI* control) {
    RECT r = control->Bounds();
    POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    Send(control, EventButtonDown, at);
    Send(control, EventButtonUp, at);
  }
  std::vector<bool> Selection() const {
    return {options_[0]->IsSelected(), options_[1]->IsSelected(), options_[2]->IsSelected()};
  }

  CVerticalLayoutUI* layout_ = nullptr;
  COptionUI* options_[3] = {};
  CCheckBoxUI* check_ = nullptr;
};

// Selecting one member of a group deselects the others without telling about them;
// clicking the selected member keeps it selected and sends only "click".
TEST_F(OptionTest, GroupSelectsOneAtATime) {
  const std::vector<CControlUI*>* group = manager_.OptionGroup(L"pages");
  ASSERT_NE(nullptr, group);
  EXPECT_EQ(3u, group->size());

  Click(options_[0]);
  EXPECT_EQ((std::vector<bool>{true, false, false}), Selection());
  receiver_.entries.clear();
  Click(options_[1]);
  EXPECT_EQ((std::vector<bool>{false, true, false}), Selection());
  ASSERT_EQ(2u, receiver_.entries.size());
  EXPECT_EQ(L"click", receiver_.entries[0].type);
  EXPECT_EQ(L"selectchanged", receiver_.entries[1].type);
  EXPECT_EQ(options_[1], receiver_.entries[1].sender);

  receiver_.entries.clear();
  Click(options_[1]);
  EXPECT_EQ((std::vector<bool>{false, true, false}), Selection());
  EXPECT_EQ(std::vector<std::wstring>{L"click"}, receiver_.Types());

  // Selecting in code without notification moves the selection silently.
  receiver_.entries.clear();
  options_[2]->SetSelected(true, false);
  EXPECT_EQ((std::vector<bool>{false, false, true}), Selection());
  EXPECT_TRUE(receiver_.entries.empty());
}

// A check box toggles on every click and reports each change.
TEST_F(OptionTest, CheckBoxToggles) {
  EXPECT_EQ(L"CheckBox", check_->ClassName());
  EXPECT_EQ(check_, check_->FindInterface(L"Option"));
  const bool expected[] = {true, false, true};
  for (bool state : expected) {
    Click(check_);
    EXPECT_EQ(state, check_->IsChecked());
  }
  EXPECT_EQ(3, receiver_.Count(L"selectchanged"));
  EXPECT_EQ(3, receiver_.Count(L"click"));
  check_->SetChecked(false);
  EXPECT_FALSE(check_->IsChecked());
  EXPECT_EQ(4, receiver_.Count(L"selectchanged"));
}

// "selected" in markup starts a check box selected.
TEST_F(OptionTest, SelectedAttribute) {
  auto* box = new CCheckBoxUI;
  box->ApplyAttribute(L"selected", L"true");
  layout_->Add(box);
  EXPECT_TRUE(box->IsSelected());
  EXPECT_TRUE(box->ButtonState() & ButtonStateSelected);
  auto* other = new CCheckBoxUI;
  other->ApplyAttribute(L"selected", L"True");
  layout_->Add(other);
  EXPECT_FALSE(other->IsSelected());
}

// Options leave their group when destroyed, when they change group and when they move to
// another window; a later selection in the group reaches only live members.
TEST_F(OptionTest, GroupMembershipFollowsTheOption) {
  layout_->SetDelayedDestroy(false);
  layout_->Remove(options_[2]);
  EXPECT_EQ(2u, manager_.OptionGroup(L"pages")->size());

  options_[1]->SetGroup(L"other");
  EXPECT_EQ(1u, manager_.OptionGroup(L"pages")->size());
  ASSERT_NE(nullptr, manager_.OptionGroup(L"other"));
  EXPECT_EQ(options_[1], manager_.OptionGroup(L"other")->front());

  CUIManager second;
  layout_->Remove(options_[0], true);
  options_[0]->AttachManager(&second, nullptr, true);
  EXPECT_EQ(nullptr, manager_.OptionGroup(L"pages"));
  ASSERT_NE(nullptr, second.OptionGroup(L"pages"));
  delete options_[0];
  EXPECT_EQ(nullptr, second.OptionGroup(L"pages"));
}

// Disabling keeps only the selected bit of the state.
TEST_F(OptionTest, DisablingKeepsOnlySelection) {
  Click(options_[0]);
  Send(options_[0], EventMouseEnter, {50, 15});
  EXPECT_TRUE(options_[0]->ButtonState() & ButtonStateHot);
  options_[0]->SetEnabled(false);
  EXPECT_EQ(UINT(ButtonStateSelected), options_[0]->ButtonState());
  EXPECT_TRUE(options_[0]->IsSelected());
}

// A selected option shows its selected hot, selected image or selected colour; an
// unselected one the button's images with the pushed look left out; the option's own fore
// image comes last.
TEST_F(OptionTest, SelectedPainting) {
  const struct {
    const char* name;
    bool selected, hot, pushed;
    const wchar_t* selectedImage;
    const wchar_t* selectedHotImage;
    const wchar_t* selectedColour;
    DWORD body;
  } cases[] = {
      {"selected image", true, false, false, L"color='#FF00FF00'", nullptr, nullptr, 0x00FF00},
      {"selected hot image", true, true, false, L"color='#FF00FF00'", L"color='#FF00FFFF'",
       nullptr, 0x00FFFF},
      {"hot without hot variant", true, true, false, L"color='#FF00FF00'", nullptr, nullptr,
       0x00FF00},
      {"selected colour", true, false, false, nullptr, nullptr, L"#FF123456", 0x123456},
      {"selected, nothing set", true, false, false, nullptr, nullptr, nullptr, 0xFF0000},
      {"unselected", false, false, false, L"color='#FF00FF00'", nullptr, nullptr, 0xFF0000},
      {"unselected pushed", false, false, true, nullptr, nullptr, nullptr, 0xFF0000},
  };
  for (const auto& c : cases) {
    auto* option = Place(new COptionUI, RECT{0, 0, 100, 30});
    option->ApplyAttribute(L"normalimage", L"color='#FFFF0000'");
    option->ApplyAttribute(L"pushedimage", L"color='#FF0000FF'");
    option->ApplyAttribute(L"foreimage", L"color='#FF000000' dest='0,0,5,5'");
    if (c.selectedImage) option->ApplyAttribute(L"selectedimage", c.selectedImage);
    if (c.selectedHotImage) option->ApplyAttribute(L"selectedhotimage", c.selectedHotImage);
    if (c.selectedColour) option->ApplyAttribute(L"selectedbkcolor", c.selectedColour);
    option->SetSelected(c.selected, false);
    if (c.hot) Send(option, EventMouseEnter, {50, 15});
    if (c.pushed) Send(option, EventButtonDown, {50, 15});
    Picture picture = Paint(RECT{0, 0, 100, 30});
    EXPECT_EQ(c.body, picture.Rgb(50, 20)) << c.name;
    EXPECT_EQ(0x000000u, picture.Rgb(2, 2)) << c.name;
  }
}

}  // namespace
}  // namespace SkinUI
