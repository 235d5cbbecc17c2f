#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "PixelCanvas.h"
#include "skinui/UIContainer.h"
#include "skinui/UIHorizontalLayout.h"
#include "skinui/UITabLayout.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {
namespace {

// A child that measures its content like a label does, without a fixed size.
class MeasuringControl : public CControlUI {
 public:
  MeasuringControl(int width, int height) : size_{width, height} {}
  SIZE MeasureSize(SIZE) override { return size_; }

 private:
  SIZE size_;
};

struct ChildShape {
  int fixedAlong = 0;  // fixed size along the stacking direction
  int maxAlong = 0;     // 0: no maximum given
  int minAlong = 0;
  RECT padding = {};
};

struct StackRow {
  const char* what;
  int length;       // layout height (vertical) or width (horizontal)
  int childPadding;
  std::vector<ChildShape> children;
  std::vector<int> starts;   // expected top (vertical) / left (horizontal)
  std::vector<int> lengths;  // expected height / width
};

const std::vector<StackRow>& StackRows() {
  static const std::vector<StackRow> rows = {
      {"48 then stretch", 420, 0, {{48}, {0}}, {0, 48}, {48, 372}},
      {"leftover to the last", 101, 0, {{24}, {0}, {0}}, {0, 24, 62}, {24, 38, 39}},
      {"maximum 30 in a slot of 100", 300, 0, {{0, 30}, {0}, {0}}, {0, 30, 130}, {30, 100, 170}},
      {"minimum above the share", 100, 0, {{0, 0, 80}, {0}}, {0, 80}, {80, 20}},
      {"child padding", 100, 10, {{20}, {0}}, {0, 30}, {20, 70}},
      {"child paddings", 100, 0, {{20, 0, 0, {0, 5, 0, 5}}, {0}}, {5, 30}, {20, 70}},
      {"no stretchable child", 100, 0, {{30}, {30}}, {0, 30}, {30, 30}},
      {"overflow keeps sizes", 100, 0, {{80}, {80}, {0}}, {0, 80, 160}, {80, 80, 0}},
  };
  return rows;
}

void ApplyShape(CControlUI* child, const ChildShape& shape, bool vertical) {
  if (vertical) {
    child->SetFixedHeight(shape.fixedAlong);
    if (shape.maxAlong) child->SetMaxHeight(shape.maxAlong);
    if (shape.minAlong) child->SetMinHeight(shape.minAlong);
    child->SetPadding(shape.padding);
  } else {
    child->SetFixedWidth(shape.fixedAlong);
    if (shape.maxAlong) child->SetMaxWidth(shape.maxAlong);
    if (shape.minAlong) child->SetMinWidth(shape.minAlong);
    // The table's top/bottom paddings become left/right.
    child->SetPadding(RECT{shape.padding.top, shape.padding.left, shape.padding.bottom, shape.padding.right});
  }
}

// Vertical stacking: fixed children keep their height, the rest share, the last takes the leftover.
TEST(VerticalLayout, StackingTable) {
  for (const StackRow& row : StackRows()) {
    CVerticalLayoutUI layout;
    layout.SetChildPadding(row.childPadding);
    std::vector<CControlUI*> children;
    for (const ChildShape& shape : row.children) {
      auto* child = new CControlUI();
      ApplyShape(child, shape, true);
      layout.Add(child);
      children.push_back(child);
    }
    layout.SetBounds(RECT{0, 0, 200, row.length});
    for (size_t i = 0; i < children.size(); ++i) {
      const RECT& rc = children[i]->Bounds();
      EXPECT_EQ(rc.top, row.starts[i]) << row.what << " child " << i << " " << ShowRect(rc);
      EXPECT_EQ(rc.bottom - rc.top, row.lengths[i]) << row.what << " child " << i;
      EXPECT_EQ(rc.right - rc.left, 200 - children[i]->Padding().left - children[i]->Padding().right)
          << row.what;
    }
  }
}

// The same table through the horizontal layout, with widths instead of heights.
TEST(HorizontalLayout, StackingTable) {
  for (const StackRow& row : StackRows()) {
    CHorizontalLayoutUI layout;
    layout.SetChildPadding(row.childPadding);
    std::vector<CControlUI*> children;
    for (const ChildShape& shape : row.children) {
      auto* child = new CControlUI();
      ApplyShape(child, shape, false);
      layout.Add(child);
      children.push_back(child);
    }
    layout.SetBounds(RECT{0, 0, row.length, 50});
    for (size_t i = 0; i < children.size(); ++i) {
      const RECT& rc = children[i]->Bounds();
      EXPECT_EQ(rc.left, row.starts[i]) << row.what << " child " << i << " " << ShowRect(rc);
      EXPECT_EQ(rc.right - rc.left, row.lengths[i]) << row.what << " child " << i;
      EXPECT_EQ(rc.bottom - rc.top, 50) << row.what;
    }
  }
}

// Layouts start at their inset, and hidden children take no room.
TEST(VerticalLayout, InsetAndHiddenChildren) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"inset", L"10,5,10,5");
  auto* first = new CControlUI();
  first->SetFixedHeight(20);
  auto* hidden = new CControlUI();
  hidden->SetFixedHeight(40);
  hidden->SetVisible(false);
  auto* rest = new CControlUI();
  layout.Add(first);
  layout.Add(hidden);
  layout.Add(rest);
  layout.SetBounds(RECT{100, 100, 300, 210});
  EXPECT_TRUE(SameRect(first->Bounds(), RECT{110, 105, 290, 125})) << ShowRect(first->Bounds());
  EXPECT_TRUE(SameRect(rest->Bounds(), RECT{110, 125, 290, 205})) << ShowRect(rest->Bounds());
}

// Child align puts a 100-pixel child left, centred at 100 in 301 pixels, or right, minding padding.
TEST(VerticalLayout, ChildAlignTable) {
  struct Row { const wchar_t* align; int left; };
  const Row rows[] = {{L"left", 7}, {L"center", 100}, {L"right", 201}, {L"middle", 7}};
  for (const Row& row : rows) {
    CVerticalLayoutUI layout;
    layout.ApplyAttribute(L"childalign", row.align);
    auto* child = new CControlUI();
    child->SetFixedWidth(100);
    child->SetFixedHeight(10);
    if (std::wstring(row.align) != L"center") child->SetPadding(RECT{7, 0, 0, 0});
    layout.Add(child);
    layout.SetBounds(RECT{0, 0, 301, 50});
    EXPECT_EQ(child->Bounds().left, row.left) << testing::PrintToString(std::wstring(row.align));
    EXPECT_EQ(child->Width(), 100);
  }
}

// Child vertical align in a horizontal layout: top, centre and bottom.
TEST(HorizontalLayout, ChildVAlignTable) {
  struct Row { const wchar_t* align; int top; };
  const Row rows[] = {{L"top", 0}, {L"vcenter", 40}, {L"bottom", 81}, {L"center", 0}};
  for (const Row& row : rows) {
    CHorizontalLayoutUI layout;
    layout.ApplyAttribute(L"childvalign", row.align);
    auto* child = new CControlUI();
    child->SetFixedWidth(30);
    child->SetFixedHeight(20);
    layout.Add(child);
    layout.SetBounds(RECT{0, 0, 200, 101});
    EXPECT_EQ(child->Bounds().top, row.top) << testing::PrintToString(std::wstring(row.align));
    EXPECT_EQ(child->Height(), 20);
  }
}

// A measured child without a fixed size stretches sideways but keeps its measured height stacked.
TEST(Layouts, MeasuredChildWithoutFixedSize) {
  CHorizontalLayoutUI row;
  auto* fixed = new CControlUI();
  fixed->SetFixedWidth(40);
  auto* measured = new MeasuringControl(60, 20);
  row.Add(fixed);
  row.Add(measured);
  row.SetBounds(RECT{0, 0, 300, 30});
  EXPECT_EQ(measured->Width(), 260);

  CVerticalLayoutUI column;
  auto* label = new MeasuringControl(60, 20);
  auto* filler = new CControlUI();
  column.Add(label);
  column.Add(filler);
  column.SetBounds(RECT{0, 0, 100, 300});
  EXPECT_EQ(label->Height(), 20);
  EXPECT_EQ(filler->Height(), 280);
}

// Floating children are placed by offset, size and anchors in every kind of container.
TEST(Layouts, FloatingChildren) {
  std::vector<std::unique_ptr<CContainerUI>> containers;
  containers.emplace_back(new CContainerUI());
  containers.emplace_back(new CVerticalLayoutUI());
  containers.emplace_back(new CHorizontalLayoutUI());
  containers.emplace_back(new CTabLayoutUI());
  for (auto& container : containers) {
    SCOPED_TRACE(testing::PrintToString(container->ClassName()));
    auto* stacked = new CControlUI();
    stacked->SetFixedHeight(30);
    stacked->SetFixedWidth(30);
    container->Add(stacked);
    auto* pinned = new CControlUI();
    pinned->ApplyAttribute(L"float", L"true");
    pinned->ApplyAttribute(L"pos", L"10,10,60,40");
    container->Add(pinned);
    auto* centred = new CControlUI();
    centred->ApplyAttribute(L"float", L"0.5,0,0.5,0");
    centred->ApplyAttribute(L"pos", L"-50,0,50,30");
    container->Add(centred);
    // The tab layout shows one page; floating children are visible beside it.
    pinned->SetVisible(true);
    centred->SetVisible(true);
    container->SetBounds(RECT{100, 100, 400, 300});
    EXPECT_TRUE(SameRect(pinned->Bounds(), RECT{110, 110, 160, 140})) << ShowRect(pinned->Bounds());
    EXPECT_TRUE(SameRect(centred->Bounds(), RECT{200, 100, 300, 130})) << ShowRect(centred->Bounds());
    EXPECT_EQ(stacked->Bounds().top, 100);
    EXPECT_EQ(stacked->Bounds().left, 100);
    // Laid out again, a floating child lands on the same rectangle.
    container->SetBounds(RECT{100, 100, 400, 300});
    EXPECT_TRUE(SameRect(centred->Bounds(), RECT{200, 100, 300, 130}));
  }
}

// The plain container gives each child its client area within the child's min and max.
TEST(Container, ChildrenFillClientArea) {
  CContainerUI container;
  container.ApplyAttribute(L"inset", L"5,5,5,5");
  auto* fill = new CControlUI();
  fill->SetFixedWidth(20);
  auto* bounded = new CControlUI();
  bounded->SetMaxWidth(50);
  bounded->SetMinHeight(500);
  container.Add(fill);
  container.Add(bounded);
  container.SetBounds(RECT{0, 0, 200, 100});
  EXPECT_TRUE(SameRect(fill->Bounds(), RECT{5, 5, 195, 95})) << ShowRect(fill->Bounds());
  EXPECT_TRUE(SameRect(bounded->Bounds(), RECT{5, 5, 55, 505})) << ShowRect(bounded->Bounds());
}

// Child management refuses null, foreign controls and bad indexes without losing a control.
TEST(Container, ChildManagement) {
  CContainerUI container;
  container.SetDelayedDestroy(false);
  std::vector<CControlUI*> c;
  for (int i = 0; i < 4; ++i) {
    c.push_back(new CControlUI());
    c.back()->SetTag(i);
    ASSERT_TRUE(container.Add(c.back()));
  }
  EXPECT_FALSE(container.Add(nullptr));
  CControlUI* outside = new CControlUI();
  EXPECT_FALSE(container.AddAt(outside, 9));
  delete outside;
  EXPECT_EQ(container.Count(), 4);
  EXPECT_EQ(container.ItemAt(4), nullptr);
  EXPECT_EQ(container.ItemAt(-1), nullptr);
  CControlUI stranger;
  EXPECT_EQ(container.ItemIndex(&stranger), -1);
  EXPECT_FALSE(container.Remove(&stranger));

  EXPECT_FALSE(container.SetItemIndex(c[0], 4));
  EXPECT_EQ(container.Count(), 4);
  EXPECT_EQ(container.ItemIndex(c[0]), 0);
  EXPECT_TRUE(container.SetItemIndex(c[0], 3));
  EXPECT_EQ(container.ItemAt(3), c[0]);
  EXPECT_EQ(container.ItemAt(0), c[1]);

  // Order now 1 2 3 0; move the run "2 3" to the front.
  EXPECT_FALSE(container.MoveItems(c[2], 4, 0));
  EXPECT_FALSE(container.MoveItems(c[2], 2, 3));
  EXPECT_TRUE(container.MoveItems(c[2], 2, 0));
  std::vector<int> tags;
  for (int i = 0; i < container.Count(); ++i) tags.push_back(container.ItemAt(i)->Tag());
  EXPECT_EQ(tags, (std::vector<int>{2, 3, 1, 0}));

  bool destroyed = false;
  c[1]->OnDestroy.Add([&destroyed](CControlUI*) { destroyed = true; return true; });
  EXPECT_TRUE(container.Remove(c[1], true));
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(container.Add(c[1]));
  EXPECT_TRUE(container.RemoveAt(container.ItemIndex(c[1])));
  EXPECT_TRUE(destroyed);

  container.RemoveAll();
  EXPECT_EQ(container.Count(), 0);
}

// Removed children with a manager die at the manager's cleanup, and their names go with them.
TEST(Container, DelayedDestroyThroughManager) {
  CUIManager manager;
  auto* root = new CVerticalLayoutUI();
  manager.AttachRoot(root);
  auto* child = new CControlUI();
  child->SetName(L"child");
  root->Add(child);
  EXPECT_EQ(manager.ControlByName(L"child"), child);
  bool destroyed = false;
  child->OnDestroy.Add([&destroyed](CControlUI*) { destroyed = true; return true; });
  root->Remove(child);
  EXPECT_FALSE(destroyed);
  manager.DeliverQueuedNotifications();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(manager.ControlByName(L"child"), nullptr);
}

// Hit tests find the topmost child, respect "mousechild" and skip non-floating children in the inset.
TEST(Container, HitTesting) {
  CUIManager manager;
  auto* root = new CContainerUI();
  manager.AttachRoot(root);
  root->ApplyAttribute(L"inset", L"10,10,10,10");
  auto* below = new CControlUI();
  auto* above = new CControlUI();
  root->Add(below);
  root->Add(above);
  root->SetBounds(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.ControlAtPoint(POINT{50, 50}), above);
  above->SetMouseEnabled(false);
  EXPECT_EQ(manager.ControlAtPoint(POINT{50, 50}), below);
  above->SetMouseEnabled(true);

  // A child placed over the inset.
  above->SetBounds(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.ControlAtPoint(POINT{5, 5}), root);
  above->SetFloat(true);
  above->SetBounds(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.ControlAtPoint(POINT{5, 5}), above);

  root->ApplyAttribute(L"mousechild", L"false");
  EXPECT_EQ(manager.ControlAtPoint(POINT{50, 50}), root);
  EXPECT_EQ(manager.ControlAtPoint(POINT{150, 50}), nullptr);
}

// Hiding a container hides its children, and children added while hidden start hidden.
TEST(Container, VisibilityFlowsToChildren) {
  CVerticalLayoutUI layout;
  auto* child = new CControlUI();
  layout.Add(child);
  layout.SetVisible(false);
  EXPECT_FALSE(child->IsVisible());
  auto* late = new CControlUI();
  layout.Add(late);
  EXPECT_FALSE(late->IsVisible());
  layout.SetVisible(true);
  EXPECT_TRUE(child->IsVisible());
  EXPECT_TRUE(late->IsVisible());
}

// A vertical bar shows when content is taller, with the difference as range, and scrolling shifts children.
TEST(Container, VerticalScrollBar) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"vscrollbarstyle", L"linesize=\"10\"");
  std::vector<CControlUI*> rows;
  for (int i = 0; i < 3; ++i) {
    rows.push_back(new CControlUI());
    rows.back()->SetFixedHeight(50);
    layout.Add(rows.back());
  }
  layout.SetBounds(RECT{0, 0, 100, 100});
  CScrollBarUI* bar = layout.VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(layout.ScrollRange().cy, 50);
  EXPECT_TRUE(SameRect(bar->Bounds(), RECT{84, 0, 100, 100})) << ShowRect(bar->Bounds());
  EXPECT_EQ(rows[0]->Width(), 84);

  layout.LineDown();
  EXPECT_EQ(layout.ScrollPos().cy, 10);
  EXPECT_EQ(rows[0]->Bounds().top, -10);
  layout.ScrollToBottom();
  EXPECT_EQ(layout.ScrollPos().cy, 50);
  EXPECT_EQ(rows[2]->Bounds().bottom, 100);
  layout.PageDown();
  EXPECT_EQ(layout.ScrollPos().cy, 50);
  // A relayout keeps the scrolled position.
  layout.SetBounds(RECT{0, 0, 100, 100});
  EXPECT_EQ(rows[0]->Bounds().top, -50);

  UIEvent wheel;
  wheel.type = EventScrollWheel;
  wheel.wParam = 0;
  layout.HandleEvent(wheel);
  EXPECT_EQ(layout.ScrollPos().cy, 40);

  layout.SetBounds(RECT{0, 0, 100, 400});
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ(bar->ScrollPos(), 0);
  EXPECT_EQ(rows[0]->Bounds().top, 0);
  EXPECT_EQ(rows[0]->Width(), 100);
}

// Without a line size of its own, a vertical line is the default font's height plus 8.
TEST(Container, DefaultVerticalLineFollowsFont) {
  CUIManager manager;
  auto* layout = new CVerticalLayoutUI();
  manager.AttachRoot(layout);
  layout->ApplyAttribute(L"vscrollbar", L"true");
  auto* tall = new CControlUI();
  tall->SetFixedHeight(1000);
  layout->Add(tall);
  layout->SetBounds(RECT{0, 0, 100, 100});
  layout->LineDown();
  ASSERT_NE(manager.DefaultFontInfo(), nullptr);
  EXPECT_EQ(layout->ScrollPos().cy, manager.DefaultFontInfo()->metrics.tmHeight + 8);
  EXPECT_GT(layout->ScrollPos().cy, 8);
}

// Keys and the wheel scroll the horizontal bar when it is the only one; a disabled container ignores keys.
TEST(Container, KeyboardAndWheelScrolling) {
  CHorizontalLayoutUI row;
  row.ApplyAttribute(L"hscrollbar", L"true");
  for (int i = 0; i < 4; ++i) {
    auto* cell = new CControlUI();
    cell->SetFixedWidth(50);
    row.Add(cell);
  }
  row.SetBounds(RECT{0, 0, 100, 60});
  ASSERT_NE(row.HorizontalScrollBar(), nullptr);
  EXPECT_TRUE(row.HorizontalScrollBar()->IsVisible());
  EXPECT_EQ(row.ScrollRange().cx, 100);
  EXPECT_EQ(row.ItemAt(0)->Height(), 44);  // the bar takes the bottom 16 pixels

  UIEvent key;
  key.type = EventKeyDown;
  key.key = VK_END;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 100);
  EXPECT_EQ(row.ItemAt(3)->Bounds().right, 100);
  key.key = VK_UP;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 92);
  key.key = VK_HOME;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 0);
  // A page is the client width (100), held within the range.
  key.key = VK_NEXT;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 100);
  key.key = VK_DOWN;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 100);
  key.key = VK_PRIOR;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 0);
  UIEvent wheel;
  wheel.type = EventScrollWheel;
  wheel.wParam = 1;
  row.HandleEvent(wheel);
  EXPECT_EQ(row.ScrollPos().cx, 8);

  row.SetEnabled(false);
  key.key = VK_END;
  row.HandleEvent(key);
  EXPECT_EQ(row.ScrollPos().cx, 8);
}

// Children paint clipped to the client area, floating ones over the inset, hidden ones not at all.
TEST(Container, PaintsChildrenClippedToClient) {
  PixelCanvas canvas(60, 60, 0xFFFFFFFF);
  CContainerUI container;
  container.ApplyAttribute(L"inset", L"10,10,10,10");
  container.ApplyAttribute(L"bkcolor", L"#FF0000FF");
  auto* spill = new CControlUI();
  spill->ApplyAttribute(L"bkcolor", L"#FFFF0000");
  auto* hidden = new CControlUI();
  hidden->ApplyAttribute(L"bkcolor", L"#FF000000");
  hidden->SetVisible(false);
  auto* badge = new CControlUI();
  badge->ApplyAttribute(L"bkcolor", L"#FF00FF00");
  badge->ApplyAttribute(L"float", L"true");
  badge->ApplyAttribute(L"pos", L"0,0,10,10");
  container.Add(spill);
  container.Add(hidden);
  container.Add(badge);
  container.SetBounds(RECT{0, 0, 60, 60});
  // Pushed past the client area, as a scrolled child would be.
  spill->SetBounds(RECT{0, 0, 60, 60});

  EXPECT_TRUE(container.Paint(canvas.dc(), canvas.bounds(), nullptr));
  EXPECT_EQ(canvas.Rgb(30, 30), 0xFF0000u);  // child inside the client area
  EXPECT_EQ(canvas.Rgb(5, 30), 0x0000FFu);   // the inset shows the container
  EXPECT_EQ(canvas.Rgb(55, 55), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(5, 5), 0x00FF00u);    // floating child over the inset

  canvas.Fill(0xFFFFFFFF);
  EXPECT_FALSE(container.Paint(canvas.dc(), canvas.bounds(), badge));
  EXPECT_EQ(canvas.Rgb(30, 30), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(5, 5), 0x0000FFu);
}

// A separator drag resizes at once with "sepimm", else on release, held within min and max.
TEST(Layouts, SeparatorDrag) {
  for (bool immediate : {true, false}) {
    SCOPED_TRACE(immediate ? "immediate" : "on release");
    CUIManager manager;
    auto* root = new CHorizontalLayoutUI();
    manager.AttachRoot(root);
    auto* pane = new CVerticalLayoutUI();
    pane->ApplyAttribute(L"sepheight", L"4");
    pane->ApplyAttribute(L"sepimm", immediate ? L"true" : L"false");
    pane->ApplyAttribute(L"maxheight", L"150");
    pane->SetFixedHeight(100);
    root->Add(pane);
    root->SetBounds(RECT{0, 0, 200, 300});
    EXPECT_EQ(pane->ControlFlags() & ControlFlagSetCursor, UINT{ControlFlagSetCursor});

    UIEvent event;
    event.type = EventButtonDown;
    event.mouse = POINT{50, 50};  // outside the band
    pane->HandleEvent(event);
    event.type = EventMouseMove;
    event.mouse = POINT{50, 80};
    pane->HandleEvent(event);
    EXPECT_EQ(pane->FixedHeight(), 100);

    event.type = EventButtonDown;
    event.mouse = POINT{50, 98};
    pane->HandleEvent(event);
    EXPECT_EQ(manager.AfterPaintControls().size(), immediate ? 0u : 1u);
    event.type = EventMouseMove;
    event.mouse = POINT{50, 118};
    pane->HandleEvent(event);
    EXPECT_EQ(pane->FixedHeight(), immediate ? 120 : 100);
    event.mouse = POINT{50, 400};  // beyond the maximum: held at 150
    pane->HandleEvent(event);
    EXPECT_EQ(pane->FixedHeight(), immediate ? 150 : 100);
    event.mouse = POINT{50, 128};  // back: the edge is under the mouse again
    pane->HandleEvent(event);
    event.type = EventButtonUp;
    pane->HandleEvent(event);
    EXPECT_EQ(pane->FixedHeight(), 130);
    EXPECT_TRUE(manager.AfterPaintControls().empty());
  }

  // A band at the left edge of a horizontal layout grows it when dragged to the left.
  CUIManager manager;
  auto* root = new CVerticalLayoutUI();
  manager.AttachRoot(root);
  auto* side = new CHorizontalLayoutUI();
  side->ApplyAttribute(L"sepwidth", L"-4");
  side->ApplyAttribute(L"sepimm", L"true");
  side->SetFixedWidth(80);
  side->SetFixedHeight(50);
  root->ApplyAttribute(L"childalign", L"right");
  root->Add(side);
  root->SetBounds(RECT{0, 0, 200, 100});
  ASSERT_EQ(side->Bounds().left, 120);
  UIEvent event;
  event.type = EventButtonDown;
  event.mouse = POINT{121, 10};
  side->HandleEvent(event);
  event.type = EventMouseMove;
  event.mouse = POINT{101, 10};
  side->HandleEvent(event);
  event.type = EventButtonUp;
  side->HandleEvent(event);
  EXPECT_EQ(side->FixedWidth(), 100);
}

std::vector<CControlUI*> AddPages(CTabLayoutUI* tab, int count) {
  std::vector<CControlUI*> pages;
  for (int i = 0; i < count; ++i) {
    pages.push_back(new CControlUI());
    tab->Add(pages.back());
  }
  return pages;
}

// "selectedid" 2 shows and lays out only the third page; reselecting sends nothing; bad indexes fail.
TEST(TabLayout, SelectPage) {
  CUIManager manager;
  RecordingReceiver receiver;
  manager.AddNotifyReceiver(&receiver);
  auto* tab = new CTabLayoutUI();
  manager.AttachRoot(tab);
  std::vector<CControlUI*> pages = AddPages(tab, 3);
  EXPECT_EQ(tab->CurrentIndex(), 0);
  EXPECT_TRUE(pages[0]->IsVisible());
  EXPECT_FALSE(pages[1]->IsVisible());

  tab->ApplyAttribute(L"selectedid", L"2");
  EXPECT_EQ(tab->CurrentIndex(), 2);
  EXPECT_FALSE(pages[0]->IsVisible());
  EXPECT_FALSE(pages[1]->IsVisible());
  EXPECT_TRUE(pages[2]->IsVisible());
  ASSERT_EQ(receiver.Count(L"tabselect"), 1);
  EXPECT_EQ(receiver.entries.back().wParam, 2u);
  EXPECT_EQ(receiver.entries.back().lParam, 0);
  ASSERT_NE(tab->GetCustomAttribute(L"selectedid"), nullptr);

  tab->ApplyAttribute(L"inset", L"1,2,3,4");
  pages[2]->SetPadding(RECT{5, 5, 5, 5});
  tab->SetBounds(RECT{0, 0, 200, 100});
  EXPECT_TRUE(SameRect(pages[2]->Bounds(), RECT{6, 7, 192, 91})) << ShowRect(pages[2]->Bounds());

  EXPECT_TRUE(tab->SelectPage(2));
  EXPECT_EQ(receiver.Count(L"tabselect"), 1);
  EXPECT_FALSE(tab->SelectPage(3));
  EXPECT_FALSE(tab->SelectPage(-1));
  EXPECT_EQ(tab->CurrentIndex(), 2);
  EXPECT_TRUE(tab->SelectPage(1, false));
  EXPECT_EQ(receiver.Count(L"tabselect"), 1);
}

// Removing the current page shows the first; removals and inserts before it keep it current.
TEST(TabLayout, ChildManagement) {
  CTabLayoutUI tab;
  tab.SetDelayedDestroy(false);
  std::vector<CControlUI*> pages = AddPages(&tab, 4);
  tab.SelectPage(2);
  tab.Remove(pages[2]);
  EXPECT_EQ(tab.CurrentIndex(), 0);
  EXPECT_TRUE(pages[0]->IsVisible());

  tab.SelectPage(2);  // pages[3]
  tab.Remove(pages[1]);
  EXPECT_EQ(tab.CurrentIndex(), 1);
  EXPECT_EQ(tab.ItemAt(tab.CurrentIndex()), pages[3]);

  auto* inserted = new CControlUI();
  tab.AddAt(inserted, 0);
  EXPECT_EQ(tab.ItemAt(tab.CurrentIndex()), pages[3]);
  auto* appended = new CControlUI();
  tab.AddAt(appended, 3);
  EXPECT_FALSE(appended->IsVisible());

  tab.RemoveAll();
  EXPECT_EQ(tab.CurrentIndex(), -1);
  auto* first = new CControlUI();
  tab.Add(first);
  EXPECT_EQ(tab.CurrentIndex(), 0);
}

// Containers answer to their own names and to the container interfaces.
TEST(Layouts, ClassNamesAndInterfaces) {
  CVerticalLayoutUI vertical;
  CHorizontalLayoutUI horizontal;
  CTabLayoutUI tab;
  CContainerUI plain;
  EXPECT_EQ(vertical.ClassName(), L"VerticalLayout");
  EXPECT_EQ(horizontal.ClassName(), L"HorizontalLayout");
  EXPECT_EQ(tab.ClassName(), L"TabLayout");
  EXPECT_EQ(plain.ClassName(), L"Container");
  for (CContainerUI* c : std::vector<CContainerUI*>{&vertical, &horizontal, &tab, &plain}) {
    EXPECT_EQ(c->FindInterface(L"IContainer"), static_cast<IContainerUI*>(c));
    EXPECT_EQ(c->FindInterface(L"Container"), c);
    EXPECT_EQ(c->FindInterface(L"Control"), static_cast<CControlUI*>(c));
    EXPECT_EQ(c->FindInterface(L"Button"), nullptr);
  }
  EXPECT_EQ(tab.FindInterface(L"TabLayout"), &tab);
  EXPECT_EQ(vertical.FindInterface(L"TabLayout"), nullptr);
}

}  // namespace
}  // namespace SkinUI
