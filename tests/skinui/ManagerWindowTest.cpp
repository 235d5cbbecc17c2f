#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "TestImages.h"
#include "skinui/UIRender.h"
#include "skinui/UIVerticalLayout.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

// The name map follows attaching, renaming and destruction; a later duplicate name wins.
TEST(ManagerNames, MapFollowsTheTree) {
  CUIManager manager;
  auto* root = new CVerticalLayoutUI();
  auto* first = new CControlUI();
  first->SetName(L"same");
  auto* second = new CControlUI();
  second->SetName(L"same");
  auto* other = new CControlUI();
  other->SetName(L"other");
  root->Add(first);
  root->Add(second);
  root->Add(other);
  manager.AttachRoot(root);
  EXPECT_EQ(manager.ControlByName(L"same"), second);
  EXPECT_EQ(manager.ControlByName(L"other"), other);
  EXPECT_EQ(manager.ControlByName(L"Other"), nullptr);

  EXPECT_FALSE(manager.RenameControl(other, L"same"));
  EXPECT_TRUE(manager.RenameControl(other, L"other"));
  EXPECT_FALSE(manager.RenameControl(other, L""));
  CControlUI stranger;
  EXPECT_FALSE(manager.RenameControl(&stranger, L"free"));

  other->SetName(L"renamed");
  EXPECT_EQ(manager.ControlByName(L"renamed"), other);
  EXPECT_EQ(manager.ControlByName(L"other"), nullptr);

  root->SetDelayedDestroy(false);
  root->Remove(other);
  EXPECT_EQ(manager.ControlByName(L"renamed"), nullptr);
}

// Option groups refuse a second join and vanish with their last member; a dead control is not watched.
TEST(ManagerNames, OptionGroupsAndMouseLeaveList) {
  CUIManager manager;
  auto* root = new CVerticalLayoutUI();
  manager.AttachRoot(root);
  root->SetDelayedDestroy(false);
  auto* a = new CControlUI();
  auto* b = new CControlUI();
  root->Add(a);
  root->Add(b);
  EXPECT_TRUE(manager.JoinOptionGroup(L"route", a));
  EXPECT_FALSE(manager.JoinOptionGroup(L"route", a));
  EXPECT_TRUE(manager.JoinOptionGroup(L"route", b));
  ASSERT_NE(manager.OptionGroup(L"route"), nullptr);
  EXPECT_EQ(manager.OptionGroup(L"route")->size(), 2u);
  EXPECT_EQ(manager.OptionGroup(L"Route"), nullptr);
  manager.LeaveOptionGroup(L"route", a);
  manager.LeaveOptionGroup(L"route", b);
  EXPECT_EQ(manager.OptionGroup(L"route"), nullptr);

  EXPECT_TRUE(manager.WatchMouseLeave(a));
  EXPECT_FALSE(manager.WatchMouseLeave(a));
  root->Remove(a);
  EXPECT_TRUE(manager.MouseLeaveControls().empty());
}

// Notify delegates run before receivers; queued ones wait for delivery; dead senders arrive as none.
TEST(ManagerNotifications, SyncAsyncAndVirtualWindows) {
  CUIManager manager;
  RecordingReceiver first;
  RecordingReceiver second;
  EXPECT_TRUE(manager.AddNotifyReceiver(&first));
  EXPECT_FALSE(manager.AddNotifyReceiver(&first));
  manager.AddNotifyReceiver(&second);
  auto* root = new CVerticalLayoutUI();
  manager.AttachRoot(root);
  root->SetDelayedDestroy(false);
  auto* control = new CControlUI();
  root->Add(control);
  std::vector<std::wstring> order;
  control->OnNotify.Add([&](UINotification& n) {
    order.push_back(L"delegate:" + n.type + L":" + std::to_wstring(first.entries.size()));
    return true;
  });

  manager.RaiseNotification(control, L"click", 1, 2);
  ASSERT_EQ(first.entries.size(), 1u);
  EXPECT_EQ(second.entries.size(), 1u);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"delegate:click:0"}));

  manager.RaiseNotification(control, L"later", 0, 0, true);
  manager.RaiseNotification(control, L"orphan", 0, 0, true);
  EXPECT_EQ(first.entries.size(), 1u);
  root->Remove(control);
  manager.DeliverQueuedNotifications();
  ASSERT_EQ(first.entries.size(), 3u);
  EXPECT_EQ(first.entries[1].type, L"later");
  EXPECT_EQ(first.entries[1].sender, nullptr);
  EXPECT_EQ(first.entries[2].sender, nullptr);

  root->SetVirtualWindow(L"page");
  auto* inner = new CControlUI();
  root->Add(inner);
  manager.RaiseNotification(inner, L"click");
  EXPECT_EQ(first.entries.back().virtualWindow, L"page");
  EXPECT_TRUE(manager.RemoveNotifyReceiver(&second));
  manager.RaiseNotification(inner, L"click");
  EXPECT_EQ(second.entries.size(), 4u);
}

// "windowinit" is sent once, from the root, on the first layout after the root is attached.
TEST(ManagerLayout, WindowInitOnceAfterFirstLayout) {
  CUIManager manager;
  RecordingReceiver receiver;
  manager.AddNotifyReceiver(&receiver);
  auto* root = new CVerticalLayoutUI();
  auto* child = new CControlUI();
  child->SetFixedHeight(20);
  root->Add(child);
  manager.AttachRoot(root);
  EXPECT_EQ(receiver.Count(L"windowinit"), 0);
  EXPECT_TRUE(manager.LayoutIfNeeded(RECT{0, 0, 300, 200}));
  EXPECT_EQ(receiver.Count(L"windowinit"), 1);
  EXPECT_EQ(receiver.entries.back().sender, root);
  EXPECT_TRUE(SameRect(child->Bounds(), RECT{0, 0, 300, 20}));
  EXPECT_FALSE(manager.LayoutIfNeeded(RECT{0, 0, 300, 200}));

  // A later change lays out only what asked for it.
  child->SetFixedHeight(40);
  EXPECT_TRUE(manager.LayoutIfNeeded(RECT{0, 0, 300, 200}));
  EXPECT_TRUE(SameRect(child->Bounds(), RECT{0, 0, 300, 40}));
  EXPECT_EQ(receiver.Count(L"windowinit"), 1);
}

// Focus moves with kill/set notifications, skips disabled controls and tabs around both ways.
TEST(ManagerFocus, SetFocusAndTabOrder) {
  CUIManager manager;
  RecordingReceiver receiver;
  manager.AddNotifyReceiver(&receiver);
  auto* root = new CVerticalLayoutUI();
  std::vector<CControlUI*> stops;
  for (int i = 0; i < 3; ++i) {
    stops.push_back(new TabStopControl());
    root->Add(stops.back());
    root->Add(new CControlUI());
  }
  manager.AttachRoot(root);
  // The first paint lays out; the focus moves to the first tab stop on the paint after.
  manager.LayoutIfNeeded(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.Focus(), nullptr);
  EXPECT_TRUE(manager.IsFocusNeeded());
  manager.LayoutIfNeeded(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.Focus(), stops[0]);

  receiver.entries.clear();
  manager.SetFocus(stops[1]);
  EXPECT_EQ(receiver.Types(), (std::vector<std::wstring>{L"killfocus", L"setfocus"}));
  EXPECT_EQ(receiver.entries[0].sender, stops[0]);
  EXPECT_FALSE(stops[0]->HasFocus());
  EXPECT_TRUE(stops[1]->HasFocus());

  manager.MoveFocusToNextTabStop(true);
  EXPECT_EQ(manager.Focus(), stops[2]);
  manager.MoveFocusToNextTabStop(true);
  EXPECT_EQ(manager.Focus(), stops[0]);
  manager.MoveFocusToNextTabStop(false);
  EXPECT_EQ(manager.Focus(), stops[2]);
  manager.MoveFocusToNextTabStop(false);
  EXPECT_EQ(manager.Focus(), stops[1]);

  // Asked to focus a control after the next layout, the manager parks the focus on the
  // tab stop before it and moves forward onto it once laid out.
  manager.RequestFocusAfterLayout(stops[0]);
  EXPECT_EQ(manager.Focus(), stops[2]);
  EXPECT_FALSE(stops[1]->HasFocus());
  manager.LayoutIfNeeded(RECT{0, 0, 100, 100});
  manager.LayoutIfNeeded(RECT{0, 0, 100, 100});
  EXPECT_EQ(manager.Focus(), stops[0]);
  EXPECT_TRUE(stops[0]->HasFocus());
  manager.SetFocus(stops[1]);

  stops[0]->SetEnabled(false);
  manager.SetFocus(stops[0]);
  EXPECT_EQ(manager.Focus(), nullptr);
  manager.MoveFocusToNextTabStop(true);
  EXPECT_EQ(manager.Focus(), stops[1]);

  // A removed focused control leaves no dangling focus, whether it is destroyed at once
  // or waits for the manager's cleanup.
  root->Remove(stops[1]);
  EXPECT_EQ(manager.Focus(), nullptr);
  manager.SetFocus(stops[2]);
  root->SetDelayedDestroy(false);
  root->Remove(stops[2]);
  EXPECT_EQ(manager.Focus(), nullptr);

  // A window with a single tab stop still delivers its set-focus event.
  CUIManager single;
  auto* only = new TabStopControl();
  single.AttachRoot(only);
  single.LayoutIfNeeded(RECT{0, 0, 10, 10});
  single.LayoutIfNeeded(RECT{0, 0, 10, 10});
  single.SetFocus(nullptr);
  single.RequestFocusAfterLayout(only);
  single.LayoutIfNeeded(RECT{0, 0, 10, 10});
  single.LayoutIfNeeded(RECT{0, 0, 10, 10});
  EXPECT_EQ(single.Focus(), only);
  EXPECT_TRUE(only->HasFocus());
}

// Timers get local ids 17, 18, ..., re-arm after a kill, fire as WM_TIMER and never share an id.
TEST(ManagerTimers, LocalIdsRearmAndDelivery) {
  TestWindow window;
  CUIManager manager;
  RecordingReceiver receiver;
  manager.AddNotifyReceiver(&receiver);
  auto* root = new CVerticalLayoutUI();
  auto* control = new CControlUI();
  root->Add(control);
  manager.AttachRoot(root);
  EXPECT_FALSE(manager.SetTimer(control, 1, 10));  // no window yet
  manager.Init(window.get(), L"timers");

  ASSERT_TRUE(manager.SetTimer(control, 1, 10));
  ASSERT_TRUE(manager.SetTimer(root, 1, 100000));
  EXPECT_FALSE(manager.SetTimer(control, 1, 10));

  UINT_PTR firedId = 0;
  DWORD start = ::GetTickCount();
  MSG msg;
  while (firedId == 0 && ::GetTickCount() - start < 3000) {
    if (::PeekMessageW(&msg, window.get(), WM_TIMER, WM_TIMER, PM_REMOVE)) firedId = msg.wParam;
    else ::Sleep(5);
  }
  EXPECT_EQ(firedId, 17u);
  EXPECT_TRUE(manager.DispatchTimer(firedId));
  ASSERT_EQ(receiver.Count(L"timer"), 1);
  EXPECT_EQ(receiver.entries.back().sender, control);
  EXPECT_EQ(receiver.entries.back().wParam, 1u);
  EXPECT_TRUE(manager.DispatchTimer(18));
  EXPECT_EQ(receiver.entries.back().sender, root);

  EXPECT_TRUE(manager.KillTimer(control, 1));
  EXPECT_FALSE(manager.DispatchTimer(17));
  EXPECT_TRUE(manager.SetTimer(control, 1, 100000));
  EXPECT_TRUE(manager.DispatchTimer(17));

  // The next new timer takes the next free local id.
  ASSERT_TRUE(manager.SetTimer(control, 2, 100000));
  EXPECT_TRUE(manager.DispatchTimer(19));
  manager.KillControlTimers(control);
  EXPECT_FALSE(manager.DispatchTimer(17));
  EXPECT_FALSE(manager.DispatchTimer(19));
  EXPECT_TRUE(manager.DispatchTimer(18));
  manager.KillAllTimers();
  EXPECT_FALSE(manager.DispatchTimer(18));

  // Local ids wrap after 255; an id still held by a live timer is passed over instead of
  // silently taking that timer's place, and with every id held SetTimer fails.
  for (UINT id = 0; id < 255; ++id) ASSERT_TRUE(manager.SetTimer(control, 100 + id, 100000)) << id;
  EXPECT_FALSE(manager.SetTimer(root, 7, 100000));
  receiver.entries.clear();
  for (UINT_PTR localId = 0; localId < 255; ++localId) EXPECT_TRUE(manager.DispatchTimer(localId));
  std::vector<bool> seen(255, false);
  for (const auto& entry : receiver.entries) {
    ASSERT_GE(entry.wParam, 100u);
    ASSERT_LT(entry.wParam, 355u);
    EXPECT_FALSE(seen[entry.wParam - 100]) << "two local ids for user id " << entry.wParam;
    seen[entry.wParam - 100] = true;
  }
  EXPECT_EQ(receiver.entries.size(), 255u);
}

// Fonts come from the window's store, then the shared one, else the default, with measured metrics.
TEST(ManagerResources, FontStores) {
  CUIManager manager;
  CUIManager other;
  HFONT own = manager.AddFont(1, L"Tahoma", 20, true, false, false);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(manager.GetFont(1), own);
  UIFontInfo* info = manager.GetFontInfo(1);
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->bold);
  EXPECT_EQ(info->size, 20);
  EXPECT_TRUE(info->measured);
  EXPECT_GT(info->metrics.tmHeight, 0);

  UIFontInfo* fallback = other.GetFontInfo(1);
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(fallback, other.DefaultFontInfo());
  HFONT shared = manager.AddFont(90, L"Tahoma", 12, false, false, false, true);
  EXPECT_EQ(other.GetFont(90), shared);

  HFONT replaced = manager.AddFont(1, L"Tahoma", 14, false, false, false);
  EXPECT_EQ(manager.GetFont(1), replaced);
  EXPECT_EQ(manager.GetFontInfo(1)->size, 14);
}

// Images load once per name and are shared; attribute lists come from the window, then shared store.
TEST(ManagerResources, ImageAndAttributeStores) {
  TempFolder folder;
  folder.WriteFile(L"dot.png", EncodePng(std::vector<DWORD>(4, 0xFFFFFFFF), 2, 2));
  const std::wstring savedPath = CUIManager::ResourcePath();
  CUIManager::SetResourcePath(folder.path());
  {
    CUIManager manager;
    const UIImageInfo* image = manager.GetImage(L"dot.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(manager.GetImage(L"dot.png", L"", 0xFFFFFFFF), image);
    EXPECT_EQ(manager.GetImage(L"missing.png"), nullptr);
    EXPECT_EQ(manager.GetImage(L""), nullptr);
    const UIImageInfo* kept = manager.AddImage(L"dot.png", L"", 0, true);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->pixelCopy.size(), 16u);
    EXPECT_EQ(manager.GetImage(L"dot.png"), kept);
  }
  CUIManager::SetResourcePath(savedPath);

  CUIManager manager;
  CUIManager other;
  manager.AddDefaultAttributes(L"Button", L"height=\"30\"");
  other.AddDefaultAttributes(L"Label", L"width=\"10\"", true);
  EXPECT_EQ(manager.GetDefaultAttributes(L"Button"), L"height=\"30\"");
  EXPECT_EQ(other.GetDefaultAttributes(L"Button"), L"");
  EXPECT_EQ(manager.GetDefaultAttributes(L"Label"), L"width=\"10\"");
  EXPECT_EQ(manager.DefaultFontColor(), 0xFF000000u);
  EXPECT_EQ(manager.DefaultDisabledColor(), 0xFFA7A6AAu);
}

}  // namespace
}  // namespace SkinUI
