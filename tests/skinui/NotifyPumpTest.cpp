#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skinui/NotifyPump.h"
#include "skinui/UIControl.h"

namespace SkinUI {
namespace {

std::vector<std::string> calls;

class BasePump : public CNotifyPump {
 public:
  const NotifyMapTable* NotifyMap() const override {
    static const NotifyMapEntry entries[] = {
        NotifyRecordEntry<BasePump>(L"click", L"", &BasePump::BaseClick),
        NotifyRecordEntry<BasePump>(L"timer", L"", &BasePump::BaseTimer),
    };
    static const NotifyMapTable table = {CNotifyPump::NotifyMap(), entries, 2};
    return &table;
  }
  void BaseClick(UINotification&) { calls.push_back("base click"); }
  void BaseTimer(UINotification&) { calls.push_back("base timer"); }
};

class DerivedPump : public BasePump {
 public:
  const NotifyMapTable* NotifyMap() const override {
    static const NotifyMapEntry entries[] = {
        NotifyRecordEntry<DerivedPump>(L"click", L"", &DerivedPump::AnyClickFirst),
        NotifyRecordEntry<DerivedPump>(L"click", L"ok", &DerivedPump::OkClick),
        NotifyRecordEntry<DerivedPump>(L"click", L"", &DerivedPump::AnyClickLast),
        NotifyParamsEntry<DerivedPump>(L"selectchanged", L"", &DerivedPump::Changed),
    };
    static const NotifyMapTable table = {BasePump::NotifyMap(), entries, 4};
    return &table;
  }
  void AnyClickFirst(UINotification&) { calls.push_back("first any click"); }
  void OkClick(UINotification& n) { calls.push_back("ok click " + std::to_string(n.wParam)); }
  void AnyClickLast(UINotification&) { calls.push_back("last any click"); }
  LRESULT Changed(WPARAM wParam, LPARAM lParam) {
    calls.push_back("changed " + std::to_string(wParam) + "," + std::to_string(lParam));
    return 0;
  }
};

class PagePump : public CNotifyPump {
 public:
  explicit PagePump(const char* label) : label_(label) {}
  const NotifyMapTable* NotifyMap() const override {
    static const NotifyMapEntry entries[] = {
        NotifyRecordEntry<PagePump>(L"click", L"", &PagePump::Click),
    };
    static const NotifyMapTable table = {CNotifyPump::NotifyMap(), entries, 1};
    return &table;
  }
  void Click(UINotification&) { calls.push_back(std::string(label_) + " click"); }

 private:
  const char* label_;
};

UINotification Make(const wchar_t* type, CControlUI* sender, const wchar_t* virtualWindow = L"",
                    WPARAM wParam = 0, LPARAM lParam = 0) {
  UINotification n;
  n.type = type;
  n.sender = sender;
  n.virtualWindow = virtualWindow;
  n.wParam = wParam;
  n.lParam = lParam;
  return n;
}

// A named entry wins at once; otherwise the last entry for any control; otherwise the base table.
TEST(NotifyPump, TablesChainToBaseClasses) {
  CControlUI ok, other, unnamed;
  ok.SetName(L"ok");
  other.SetName(L"other");
  struct Row {
    UINotification notification;
    bool handled;
    std::string call;
  } rows[] = {
      {Make(L"click", &ok, L"", 3), true, "ok click 3"},
      {Make(L"click", &other), true, "last any click"},
      {Make(L"click", &unnamed), true, "last any click"},
      {Make(L"click", nullptr), true, "last any click"},
      {Make(L"timer", &ok), true, "base timer"},
      {Make(L"selectchanged", &ok, L"", 4, 5), true, "changed 4,5"},
      {Make(L"Click", &ok), false, ""},
      {Make(L"menu", &ok), false, ""},
  };
  for (Row& row : rows) {
    DerivedPump pump;
    calls.clear();
    EXPECT_EQ(pump.NotifyPump(row.notification), row.handled);
    std::vector<std::string> expected;
    if (!row.call.empty()) expected.push_back(row.call);
    EXPECT_EQ(calls, expected) << row.call;
  }
}

// Notifications of a virtual window go to its pumps first (name ignoring case), then to the own tables.
TEST(NotifyPump, VirtualWindowsFirst) {
  BasePump window;
  PagePump page("page");
  EXPECT_TRUE(window.AddVirtualWnd(L"Page1", &page));
  EXPECT_FALSE(window.AddVirtualWnd(L"page1", &page));
  EXPECT_FALSE(window.AddVirtualWnd(L"", &page));
  CControlUI button;
  struct Row {
    const wchar_t* virtualWindow;
    const wchar_t* type;
    std::string call;
  } rows[] = {
      {L"PAGE1", L"click", "page click"},
      {L"page2", L"click", "base click"},
      {L"", L"click", "base click"},
      {L"page1", L"timer", "base timer"},
  };
  for (const Row& row : rows) {
    calls.clear();
    UINotification n = Make(row.type, &button, row.virtualWindow);
    EXPECT_TRUE(window.NotifyPump(n));
    EXPECT_EQ(calls, std::vector<std::string>{row.call}) << row.call;
  }
  EXPECT_TRUE(window.RemoveVirtualWnd(L"PAGE1"));
  EXPECT_FALSE(window.RemoveVirtualWnd(L"page1"));
  calls.clear();
  UINotification n = Make(L"click", &button, L"page1");
  window.NotifyPump(n);
  EXPECT_EQ(calls, std::vector<std::string>{"base click"});
}

}  // namespace
}  // namespace SkinUI
