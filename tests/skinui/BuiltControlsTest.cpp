#include <gtest/gtest.h>

#include <string>

#include "StandardControlsSupport.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/UICheckBox.h"
#include "skinui/UIEdit.h"
#include "skinui/UILabel.h"
#include "skinui/UIProgress.h"

namespace SkinUI {
namespace {

// The standard controls as a skin describes them: created by element name, defaults of
// their class first, then their own attributes in document order.
const wchar_t kSkin[] =
    L"<Window size=\"300,300\">"
    L"<Default name=\"Button\" value=\"textcolor=&quot;#FF112233&quot; hottextcolor=&quot;#FF00FF00&quot;\" />"
    L"<VerticalLayout>"
    L"<CheckBox name=\"agree\" selected=\"true\" height=\"30\" />"
    L"<Option name=\"a\" group=\"g\" selected=\"true\" height=\"30\" />"
    L"<Option name=\"b\" group=\"g\" selected=\"true\" height=\"30\" />"
    L"<Progress name=\"bar\" max=\"0\" value=\"5\" />"
    L"<Label name=\"title\" align=\"center right\" text=\"hi\" />"
    L"<Button name=\"ok\" text=\"OK\" />"
    L"<Button name=\"cancel\" textcolor=\"#FF445566\" />"
    L"<Edit name=\"field\" password=\"true\" text=\"abc\" maxchar=\"8\" />"
    L"</VerticalLayout>"
    L"</Window>";

using BuiltControlsTest = StandardControlTest;

// Each element becomes its control with its attributes, defaults applied before them.
TEST_F(BuiltControlsTest, ControlsFromASkinText) {
  CLayoutBuilder builder;
  CControlUI* root = builder.Build(kSkin, nullptr, nullptr, &manager_);
  ASSERT_NE(nullptr, root);
  ASSERT_TRUE(manager_.AttachRoot(root));

  auto* agree = static_cast<CCheckBoxUI*>(manager_.ControlByName(L"agree")->FindInterface(L"CheckBox"));
  ASSERT_NE(nullptr, agree);
  EXPECT_TRUE(agree->IsChecked());

  auto* a = static_cast<COptionUI*>(manager_.ControlByName(L"a")->FindInterface(L"Option"));
  auto* b = static_cast<COptionUI*>(manager_.ControlByName(L"b")->FindInterface(L"Option"));
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  // Both join the window's group once the tree is attached; selecting one then deselects
  // the other.
  ASSERT_NE(nullptr, manager_.OptionGroup(L"g"));
  EXPECT_EQ(2u, manager_.OptionGroup(L"g")->size());
  EXPECT_TRUE(b->IsSelected());
  a->SetSelected(false, false);
  a->Activate();
  EXPECT_TRUE(a->IsSelected());
  EXPECT_FALSE(b->IsSelected());

  auto* bar = static_cast<CProgressUI*>(manager_.ControlByName(L"bar")->FindInterface(L"Progress"));
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(0, bar->Value());  // clamped to 0..0 when set
  EXPECT_EQ(12, bar->FixedHeight());

  auto* title = static_cast<CLabelUI*>(manager_.ControlByName(L"title")->FindInterface(L"Label"));
  ASSERT_NE(nullptr, title);
  EXPECT_EQ(UINT(DT_RIGHT), title->TextStyle() & (DT_CENTER | DT_RIGHT));

  auto* ok = static_cast<CButtonUI*>(manager_.ControlByName(L"ok")->FindInterface(L"Button"));
  auto* cancel = static_cast<CButtonUI*>(manager_.ControlByName(L"cancel")->FindInterface(L"Button"));
  ASSERT_NE(nullptr, ok);
  ASSERT_NE(nullptr, cancel);
  EXPECT_EQ(0xFF112233u, ok->TextColor());
  EXPECT_EQ(0xFF00FF00u, ok->HotTextColor());
  EXPECT_EQ(0xFF445566u, cancel->TextColor());

  auto* field = static_cast<CEditUI*>(manager_.ControlByName(L"field")->FindInterface(L"Edit"));
  ASSERT_NE(nullptr, field);
  EXPECT_TRUE(field->IsPassword());
  EXPECT_EQ(8, field->MaxChar());
  EXPECT_EQ(L"***", field->ShownText());
}

// An option detached from its window and then destroyed leaves the window's group, so a
// later selection in the group reaches no dead control.
TEST_F(BuiltControlsTest, DetachedOptionLeavesItsGroupWhenDestroyed) {
  CLayoutBuilder builder;
  CControlUI* root = builder.Build(kSkin, nullptr, nullptr, &manager_);
  ASSERT_NE(nullptr, root);
  // Built but never attached: the tree is thrown away.
  root->DeleteSelf();
  EXPECT_EQ(nullptr, manager_.OptionGroup(L"g"));

  // The same for an option that joined while attached and was detached by hand.
  auto* loose = new COptionUI;
  loose->AttachManager(&manager_, nullptr, false);
  loose->SetGroup(L"g");
  ASSERT_NE(nullptr, manager_.OptionGroup(L"g"));
  loose->AttachManager(nullptr, nullptr, false);
  delete loose;
  EXPECT_EQ(nullptr, manager_.OptionGroup(L"g"));

  auto* survivor = Place(new COptionUI, RECT{0, 0, 50, 20});
  survivor->SetGroup(L"g");
  survivor->SetSelected(true);
  EXPECT_TRUE(survivor->IsSelected());
  EXPECT_EQ(1u, manager_.OptionGroup(L"g")->size());
}

}  // namespace
}  // namespace SkinUI
