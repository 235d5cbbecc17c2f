#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "PixelCanvas.h"
#include "TestImages.h"
#include "skinui/UIContainer.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

// Each base attribute reaches its field; unknown or differently cased names become custom attributes.
TEST(ControlAttributes, AttributeTable) {
  struct Row {
    const wchar_t* name;
    const wchar_t* value;
    std::function<bool(CControlUI&)> check;
  };
  const Row rows[] = {
      {L"pos", L"10,20,110,50", [](CControlUI& c) {
         return c.FloatOffset().cx == 10 && c.FloatOffset().cy == 20 && c.FixedWidth() == 100 &&
                c.FixedHeight() == 30; }},
      {L"padding", L"1,2,3,4", [](CControlUI& c) { return SameRect(c.Padding(), RECT{1, 2, 3, 4}); }},
      {L"bkcolor", L"#FF112233", [](CControlUI& c) { return c.BkColor() == 0xFF112233; }},
      {L"bkcolor1", L"FF112233", [](CControlUI& c) { return c.BkColor() == 0xFF112233; }},
      {L"bkcolor2", L"#80FFFFFF", [](CControlUI& c) { return c.BkColor2() == 0x80FFFFFF; }},
      {L"bkcolor3", L"#FF000001", [](CControlUI& c) { return c.BkColor3() == 0xFF000001; }},
      {L"bordercolor", L"#FF010203", [](CControlUI& c) { return c.BorderColor() == 0xFF010203; }},
      {L"bordercolor", L" #FF010203", [](CControlUI& c) { return c.BorderColor() == 0; }},
      {L"focusbordercolor", L"#FF0000FF", [](CControlUI& c) { return c.FocusBorderColor() == 0xFF0000FF; }},
      {L"colorhsl", L"true", [](CControlUI& c) { return c.IsColorAdjusting(); }},
      {L"bordersize", L"2", [](CControlUI& c) { return SameRect(c.BorderSize(), RECT{2, 2, 2, 2}); }},
      {L"bordersize", L"0,0,0,1", [](CControlUI& c) { return SameRect(c.BorderSize(), RECT{0, 0, 0, 1}); }},
      {L"borderstyle", L"2", [](CControlUI& c) { return c.BorderStyle() == 2; }},
      {L"borderround", L"4,6", [](CControlUI& c) { return c.BorderRound().cx == 4 && c.BorderRound().cy == 6; }},
      {L"bkimage", L"file='x.png'", [](CControlUI& c) { return c.BkImage() == L"file='x.png'"; }},
      {L"width", L"120", [](CControlUI& c) { return c.FixedWidth() == 120; }},
      {L"height", L"-5", [](CControlUI& c) { return c.FixedHeight() == 0; }},
      {L"minwidth", L"30", [](CControlUI& c) { return c.MinWidth() == 30; }},
      {L"minheight", L"31", [](CControlUI& c) { return c.MinHeight() == 31; }},
      {L"maxwidth", L"300", [](CControlUI& c) { return c.MaxWidth() == 300; }},
      {L"maxheight", L"30", [](CControlUI& c) { return c.MaxHeight() == 30; }},
      {L"name", L"okBtn", [](CControlUI& c) { return c.GetName() == L"okBtn"; }},
      {L"text", L"Install", [](CControlUI& c) { return c.GetText() == L"Install"; }},
      {L"tooltip", L"first<n>second", [](CControlUI& c) { return c.ToolTip() == L"first\r\nsecond"; }},
      {L"userdata", L"42", [](CControlUI& c) { return c.UserData() == L"42"; }},
      {L"tag", L"7", [](CControlUI& c) { return c.Tag() == 7; }},
      {L"enabled", L"false", [](CControlUI& c) { return !c.IsEnabled(); }},
      {L"mouse", L"false", [](CControlUI& c) { return !c.IsMouseEnabled(); }},
      {L"keyboard", L"false", [](CControlUI& c) { return !c.IsKeyboardEnabled(); }},
      {L"visible", L"false", [](CControlUI& c) { return !c.IsVisible(); }},
      {L"visible", L"True", [](CControlUI& c) { return !c.IsVisible(); }},
      {L"float", L"true", [](CControlUI& c) {
         return c.IsFloat() && c.FloatAnchors()[0] == 0 && c.FloatAnchors()[2] == 0; }},
      {L"float", L"0.5,0,0.5,0", [](CControlUI& c) {
         return c.IsFloat() && c.FloatAnchors()[0] == 0.5 && c.FloatAnchors()[1] == 0 &&
                c.FloatAnchors()[2] == 0.5 && c.FloatAnchors()[3] == 0; }},
      {L"shortcut", L"Qx", [](CControlUI& c) { return c.Shortcut() == L'Q'; }},
      {L"menu", L"true", [](CControlUI& c) { return c.UsesContextMenu(); }},
      {L"virtualwnd", L"page1", [](CControlUI& c) { return c.VirtualWindow() == L"page1"; }},
      {L"foo", L"bar", [](CControlUI& c) {
         return c.GetCustomAttribute(L"foo") && *c.GetCustomAttribute(L"foo") == L"bar"; }},
      {L"Width", L"50", [](CControlUI& c) {
         return c.FixedWidth() == 0 && c.GetCustomAttribute(L"Width") != nullptr; }},
  };
  for (const Row& row : rows) {
    CControlUI control;
    control.ApplyAttribute(row.name, row.value);
    EXPECT_TRUE(row.check(control)) << testing::PrintToString(std::wstring(row.name)) << "="
                                    << testing::PrintToString(std::wstring(row.value));
  }
}

// Attribute lists are name="value" pairs one space apart; a malformed pair ends the list.
TEST(ControlAttributes, AttributeStringTable) {
  struct Row { const wchar_t* list; const wchar_t* name; const wchar_t* text; };
  const Row rows[] = {
      {L"name=\"a\" text=\"b c\"", L"a", L"b c"},
      {L"text=\"x=y\"", L"", L"x=y"},
      {L"name=\"a\"text=\"b\"", L"a", L""},     // no space: the rest is ignored
      {L"name=a text=\"b\"", L"", L""},         // value without quotes stops at once
      {L"name=\"a\" text=\"b", L"a", L""},      // unterminated value is not applied
      {L"", L"", L""},
      {L"name=\"a\" ", L"a", L""},
  };
  for (const Row& row : rows) {
    CControlUI control;
    control.ApplyAttributeString(row.list);
    EXPECT_EQ(control.GetName(), row.name) << testing::PrintToString(std::wstring(row.list));
    EXPECT_EQ(control.GetText(), row.text) << testing::PrintToString(std::wstring(row.list));
  }
}

// Custom attributes keep the first value; empty names or values are not stored.
TEST(ControlAttributes, CustomAttributesKeepFirstValue) {
  CControlUI control;
  control.AddCustomAttribute(L"k", L"1");
  control.AddCustomAttribute(L"k", L"2");
  control.AddCustomAttribute(L"", L"3");
  control.AddCustomAttribute(L"empty", L"");
  ASSERT_NE(control.GetCustomAttribute(L"k"), nullptr);
  EXPECT_EQ(*control.GetCustomAttribute(L"k"), L"1");
  EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
  EXPECT_EQ(control.GetCustomAttribute(L"K"), nullptr);
}

// A maximum below the minimum reads as the minimum; negative sizes are ignored.
TEST(ControlAttributes, SizeBoundsAndNegativeSetters) {
  CControlUI control;
  EXPECT_EQ(control.MaxWidth(), 9999);
  EXPECT_EQ(control.ToolTipWidth(), 300);
  control.SetMinWidth(80);
  control.SetMaxWidth(50);
  EXPECT_EQ(control.MaxWidth(), 80);
  control.SetMinHeight(10);
  control.SetMaxHeight(5);
  EXPECT_EQ(control.MaxHeight(), 10);
  control.SetFixedWidth(40);
  control.SetFixedWidth(-1);
  control.SetMinWidth(-3);
  EXPECT_EQ(control.FixedWidth(), 40);
  EXPECT_EQ(control.MinWidth(), 80);
}

// Without a manager SetBounds only stores the rectangle, with reversed edges collapsed.
TEST(ControlBounds, WithoutManagerStoresRectangle) {
  CControlUI control;
  control.SetBounds(RECT{10, 20, 110, 50});
  EXPECT_TRUE(SameRect(control.Bounds(), RECT{10, 20, 110, 50}));
  EXPECT_EQ(control.Width(), 100);
  EXPECT_EQ(control.Height(), 30);
  control.SetBounds(RECT{10, 20, 5, 15});
  EXPECT_TRUE(SameRect(control.Bounds(), RECT{10, 20, 10, 20}));
  EXPECT_TRUE(SameRect(control.RelativeBounds(), RECT{}));
  control.MoveBy(5, -5, true);
  EXPECT_TRUE(SameRect(control.Bounds(), RECT{15, 15, 15, 15}));
}

// A floating child's SetBounds recomputes offset and size so the next layout gives the same place.
TEST(ControlBounds, FloatingControlKeepsOffsetInStep) {
  CContainerUI parent;
  parent.SetBounds(RECT{100, 100, 400, 200});
  auto* child = new CControlUI();
  child->ApplyAttribute(L"float", L"0.5,0,0.5,0");
  parent.Add(child);
  child->SetBounds(RECT{140, 10, 200, 40});
  EXPECT_TRUE(SameRect(child->Bounds(), RECT{240, 110, 300, 140})) << ShowRect(child->Bounds());
  EXPECT_TRUE(SameRect(child->RelativeBounds(), RECT{140, 10, 200, 40}));
  // W = 300, so the anchors add 150 to left and right.
  EXPECT_EQ(child->FloatOffset().cx, -10);
  EXPECT_EQ(child->FloatOffset().cy, 10);
  EXPECT_EQ(child->FixedWidth(), 60);
  EXPECT_EQ(child->FixedHeight(), 30);
}

// Records which hooks ran and in what order.
class ProbeControl : public CControlUI {
 public:
  explicit ProbeControl(std::vector<std::wstring>* log, std::wstring tag = L"")
      : log_(log), tag_(std::move(tag)) {}
  void PaintBackColor(HDC) override { log_->push_back(tag_ + L"color"); }
  void PaintBackImage(HDC) override { log_->push_back(tag_ + L"image"); }
  void PaintStateImage(HDC) override { log_->push_back(tag_ + L"state"); }
  void PaintText(HDC) override { log_->push_back(tag_ + L"text"); }
  void PaintBorder(HDC) override { log_->push_back(tag_ + L"border"); }
  void HandleEvent(UIEvent& event) override {
    log_->push_back(tag_ + L"event" + std::to_wstring(event.type));
    CControlUI::HandleEvent(event);
  }

 private:
  std::vector<std::wstring>* log_;
  std::wstring tag_;
};

// Paint runs the steps in fixed order then the cover, honours the stop control and paint delegates.
TEST(ControlPaint, FixedOrderCoverStopAndDelegates) {
  PixelCanvas canvas(50, 50);
  std::vector<std::wstring> log;
  ProbeControl control(&log);
  auto* cover = new ProbeControl(&log, L"cover-");
  control.SetCover(cover);
  control.SetBounds(RECT{0, 0, 40, 40});
  cover->SetBounds(RECT{0, 0, 40, 40});
  const RECT area = {0, 0, 50, 50};

  EXPECT_TRUE(control.Paint(canvas.dc(), area, nullptr));
  const std::vector<std::wstring> order = {L"color", L"image", L"state", L"text", L"border",
                                           L"cover-color", L"cover-image", L"cover-state",
                                           L"cover-text", L"cover-border"};
  EXPECT_EQ(log, order);

  log.clear();
  EXPECT_FALSE(control.Paint(canvas.dc(), area, &control));
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(control.Paint(canvas.dc(), area, cover));
  EXPECT_EQ(log.size(), 5u);

  log.clear();
  EXPECT_TRUE(control.Paint(canvas.dc(), RECT{45, 45, 50, 50}, nullptr));
  EXPECT_TRUE(log.empty());

  control.OnPaint.Add([](HDC, const RECT&) { return false; });
  EXPECT_TRUE(control.Paint(canvas.dc(), area, nullptr));
  EXPECT_TRUE(log.empty());
}

// An opaque fill covers the paint area only; border 2 frames the inside; 0,0,0,1 is one bottom line.
TEST(ControlPaint, BackgroundAndBorderPixels) {
  PixelCanvas canvas(40, 40, 0xFFFFFFFF);
  CControlUI control;
  control.SetBounds(RECT{5, 5, 35, 35});
  control.ApplyAttribute(L"bkcolor", L"#FF0000FF");
  control.Paint(canvas.dc(), RECT{0, 0, 20, 40}, nullptr);
  EXPECT_EQ(canvas.Rgb(10, 10), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(25, 10), 0xFFFFFFu);  // outside the paint area
  EXPECT_EQ(canvas.Rgb(2, 2), 0xFFFFFFu);

  canvas.Fill(0xFFFFFFFF);
  CControlUI framed;
  framed.SetBounds(RECT{5, 5, 35, 35});
  framed.ApplyAttribute(L"bordersize", L"2");
  framed.ApplyAttribute(L"bordercolor", L"#FFFF0000");
  framed.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_EQ(canvas.Rgb(5, 20), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(6, 20), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(7, 20), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(34, 20), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(33, 20), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(32, 20), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(35, 20), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 5), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(20, 34), 0xFF0000u);

  canvas.Fill(0xFFFFFFFF);
  CControlUI underlined;
  underlined.SetBounds(RECT{5, 5, 35, 35});
  underlined.ApplyAttribute(L"bordersize", L"0,0,0,1");
  underlined.ApplyAttribute(L"bordercolor", L"#FF00FF00");
  underlined.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_EQ(canvas.Rgb(20, 34), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(5, 34), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(20, 33), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 35), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(5, 20), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 5), 0xFFFFFFu);
}

// A translucent fill blends over what is below; a focused control uses its focus border colour.
TEST(ControlPaint, TranslucentFillAndFocusBorder) {
  PixelCanvas canvas(20, 20, 0xFFFFFFFF);
  CControlUI control;
  control.SetBounds(RECT{0, 0, 20, 20});
  control.ApplyAttribute(L"bkcolor", L"#80FF0000");
  control.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_TRUE(NearPixel(canvas.Rgb(10, 10), 0xFF7F7F, 2)) << std::hex << canvas.Rgb(10, 10);

  canvas.Fill(0xFFFFFFFF);
  CControlUI framed;
  framed.SetBounds(RECT{0, 0, 20, 20});
  framed.ApplyAttribute(L"bordersize", L"1");
  framed.ApplyAttribute(L"bordercolor", L"#FFFF0000");
  framed.ApplyAttribute(L"focusbordercolor", L"#FF0000FF");
  UIEvent focus;
  focus.type = EventSetFocus;
  framed.DispatchEvent(focus);
  framed.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_EQ(canvas.Rgb(0, 10), 0x0000FFu);
}

// Two colours make one vertical gradient; three make two, meeting at the middle in the second.
TEST(ControlPaint, GradientBackgrounds) {
  PixelCanvas canvas(10, 64, 0xFFFF0000);
  CControlUI control;
  control.SetBounds(RECT{0, 0, 10, 64});
  control.ApplyAttribute(L"bkcolor", L"#FF000000");
  control.ApplyAttribute(L"bkcolor2", L"#FFFFFFFF");
  control.Paint(canvas.dc(), canvas.bounds(), nullptr);
  auto gray = [&canvas](int y) { return static_cast<int>(canvas.Rgb(5, y) & 0xFF); };
  EXPECT_LT(gray(0), 32);
  EXPECT_GT(gray(63), 223);
  EXPECT_GT(gray(32), 96);
  EXPECT_LT(gray(32), 160);
  EXPECT_EQ(canvas.Rgb(5, 32) >> 16, canvas.Rgb(5, 32) & 0xFF);  // gray, no red left

  control.ApplyAttribute(L"bkcolor3", L"#FF000000");
  control.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_LT(gray(0), 48);
  EXPECT_GT(gray(31), 200);
  EXPECT_GT(gray(32), 200);
  EXPECT_LT(gray(63), 48);
}

// Rounded corners clip the background: the corner pixel keeps what was below.
TEST(ControlPaint, BorderRoundClipsBackground) {
  PixelCanvas canvas(40, 40, 0xFFFFFFFF);
  CControlUI control;
  control.SetBounds(RECT{0, 0, 40, 40});
  control.ApplyAttribute(L"bkcolor", L"#FF000000");
  control.ApplyAttribute(L"borderround", L"20,20");
  control.Paint(canvas.dc(), canvas.bounds(), nullptr);
  EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(39, 39), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 20), 0x000000u);
}

// A background image fills the control or its dest part; an unterminated descriptor draws nothing.
TEST(ControlPaint, BackgroundImageDestAndBrokenDescriptor) {
  TempFolder folder;
  folder.WriteFile(L"green.png", EncodePng(std::vector<DWORD>(4 * 4, 0xFF00FF00), 4, 4));
  const std::wstring savedPath = CUIManager::ResourcePath();
  CUIManager::SetResourcePath(folder.path());
  {
    CUIManager manager;
    auto* root = new CContainerUI();
    manager.AttachRoot(root);
    auto* image = new CControlUI();
    root->Add(image);
    root->SetBounds(RECT{0, 0, 140, 60});
    image->SetBounds(RECT{20, 20, 120, 50});

    PixelCanvas canvas(140, 60, 0xFFFFFFFF);
    image->ApplyAttribute(L"bkimage", L"file='green.png'");
    ASSERT_NE(image->BkImageInfo().image, nullptr);
    EXPECT_TRUE(SameRect(image->BkImageInfo().source, RECT{0, 0, 4, 4}));
    image->Paint(canvas.dc(), canvas.bounds(), nullptr);
    EXPECT_EQ(canvas.Rgb(20, 20), 0x00FF00u);
    EXPECT_EQ(canvas.Rgb(119, 49), 0x00FF00u);
    EXPECT_EQ(canvas.Rgb(120, 49), 0xFFFFFFu);

    canvas.Fill(0xFFFFFFFF);
    image->ApplyAttribute(L"bkimage", L"file='green.png' dest='0,0,18,18'");
    image->Paint(canvas.dc(), canvas.bounds(), nullptr);
    EXPECT_EQ(canvas.Rgb(20, 20), 0x00FF00u);
    EXPECT_EQ(canvas.Rgb(37, 37), 0x00FF00u);
    EXPECT_EQ(canvas.Rgb(38, 37), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(37, 38), 0xFFFFFFu);

    canvas.Fill(0xFFFFFFFF);
    image->ApplyAttribute(L"bkimage", L"file='green.png");
    EXPECT_EQ(image->BkImageInfo().image, nullptr);
    EXPECT_TRUE(image->BkImageInfo().parsed);
    image->Paint(canvas.dc(), canvas.bounds(), nullptr);
    EXPECT_EQ(canvas.Rgb(30, 30), 0xFFFFFFu);

    // A floating control without a size takes the image's size.
    auto* sized = new CControlUI();
    sized->SetFloat(true);
    root->Add(sized);
    sized->ApplyAttribute(L"bkimage", L"green.png");
    EXPECT_EQ(sized->FixedWidth(), 4);
    EXPECT_EQ(sized->FixedHeight(), 4);
  }
  CUIManager::SetResourcePath(savedPath);
}

// A cover is placed over its control on SetBounds (plain or anchored) and hides with it.
TEST(ControlBounds, CoverFollowsItsControl) {
  CUIManager manager;
  auto* root = new CContainerUI();
  manager.AttachRoot(root);
  auto* control = new CControlUI();
  root->Add(control);
  auto* cover = new CControlUI();
  cover->SetMaxHeight(10);
  control->SetCover(cover);
  EXPECT_EQ(cover->Parent(), control);
  EXPECT_EQ(cover->Manager(), &manager);
  control->SetBounds(RECT{10, 20, 110, 60});
  EXPECT_TRUE(SameRect(cover->Bounds(), RECT{10, 20, 110, 30})) << ShowRect(cover->Bounds());

  auto* floating = new CControlUI();
  floating->ApplyAttribute(L"float", L"1,0,1,0");
  floating->ApplyAttribute(L"pos", L"-20,5,-10,15");
  control->SetCover(floating);
  control->SetBounds(RECT{10, 20, 110, 60});
  EXPECT_TRUE(SameRect(floating->Bounds(), RECT{90, 25, 100, 35})) << ShowRect(floating->Bounds());

  control->SetVisible(false);
  EXPECT_FALSE(floating->IsVisible());
  control->SetVisible(true);
  EXPECT_TRUE(floating->IsVisible());
}

// Search flags skip hidden, disabled, missed and mouse-blind controls and what the update test picks.
TEST(ControlSearch, FlagTable) {
  auto any = [](CControlUI* c, LPVOID) -> CControlUI* { return c; };
  struct Row {
    const wchar_t* attribute;
    const wchar_t* value;
    UINT flags;
    POINT point;
    bool found;
  };
  const Row rows[] = {
      {L"", L"", FindAll, {0, 0}, true},
      {L"visible", L"false", FindAll, {0, 0}, true},
      {L"visible", L"false", FindVisible, {0, 0}, false},
      {L"enabled", L"false", FindEnabled, {0, 0}, false},
      {L"enabled", L"false", FindVisible, {0, 0}, true},
      {L"", L"", FindHitTest, {15, 15}, true},
      {L"", L"", FindHitTest, {50, 15}, false},
      {L"mouse", L"false", FindHitTest, {15, 15}, false},
      {L"mouse", L"false", FindAll, {0, 0}, true},
      {L"", L"", FindUpdateTest, {0, 0}, false},
      {L"", L"", FindMeFirst, {0, 0}, true},
  };
  for (const Row& row : rows) {
    CControlUI control;
    control.SetBounds(RECT{10, 10, 40, 40});
    if (*row.attribute) control.ApplyAttribute(row.attribute, row.value);
    POINT point = row.point;
    CControlUI* result = control.SearchControl(any, &point, row.flags);
    EXPECT_EQ(result != nullptr, row.found) << testing::PrintToString(std::wstring(row.attribute))
                                            << " flags " << row.flags;
  }
}

// Base events: "menu" only when enabled, "timer" with its id, the rest and mouse-blind input to the parent.
TEST(ControlEvents, BaseHandling) {
  CUIManager manager;
  RecordingReceiver receiver;
  manager.AddNotifyReceiver(&receiver);
  std::vector<std::wstring> log;
  auto* parent = new CContainerUI();
  manager.AttachRoot(parent);
  auto* child = new ProbeControl(&log);
  parent->Add(child);

  std::vector<std::wstring> parentLog;
  auto* probeParent = new ProbeControl(&parentLog, L"p-");
  UIEvent menu;
  menu.type = EventContextMenu;
  menu.wParam = 3;
  menu.lParam = 4;
  child->DispatchEvent(menu);
  EXPECT_EQ(receiver.Count(L"menu"), 0);
  child->SetUsesContextMenu(true);
  child->DispatchEvent(menu);
  ASSERT_EQ(receiver.Count(L"menu"), 1);
  EXPECT_EQ(receiver.entries.back().sender, child);
  EXPECT_EQ(receiver.entries.back().wParam, 3u);
  EXPECT_EQ(receiver.entries.back().lParam, 4);

  UIEvent timer;
  timer.type = EventTimer;
  timer.wParam = 77;
  child->DispatchEvent(timer);
  ASSERT_EQ(receiver.Count(L"timer"), 1);
  EXPECT_EQ(receiver.entries.back().wParam, 77u);

  // Mouse events of a control that ignores the mouse, and unhandled events, reach the
  // parent.
  auto* grandChild = new CControlUI();
  grandChild->SetMouseEnabled(false);
  probeParent->AttachManager(&manager, parent, false);
  grandChild->AttachManager(&manager, probeParent, false);
  UIEvent click;
  click.type = EventButtonDown;
  grandChild->DispatchEvent(click);
  UIEvent key;
  key.type = EventKeyDown;
  grandChild->DispatchEvent(key);
  EXPECT_EQ(parentLog, (std::vector<std::wstring>{L"p-event13", L"p-event3"}));

  int stopped = 0;
  grandChild->OnEvent.Add([&stopped](UIEvent&) { ++stopped; return false; });
  grandChild->DispatchEvent(click);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(parentLog.size(), 2u);
  delete grandChild;
  delete probeParent;
}

// Focus events set the flag; hiding the focused control leaves the window without a focus.
TEST(ControlEvents, FocusAndHiding) {
  CUIManager manager;
  auto* root = new CContainerUI();
  manager.AttachRoot(root);
  auto* control = new TabStopControl();
  root->Add(control);
  manager.SetFocus(control);
  EXPECT_EQ(manager.Focus(), control);
  EXPECT_TRUE(control->HasFocus());
  control->ApplyAttribute(L"visible", L"false");
  EXPECT_EQ(manager.Focus(), nullptr);
  EXPECT_FALSE(control->HasFocus());
}

// Same-value "bkcolor" repaints once; invalidation is cut to the ancestors and skipped when hidden.
TEST(ControlInvalidate, RepaintsOnceAndClipsToAncestors) {
  TestWindow window;
  CUIManager manager;
  manager.Init(window.get(), L"test");
  auto* root = new CContainerUI();
  manager.AttachRoot(root);
  auto* child = new CControlUI();
  root->Add(child);
  root->SetBounds(RECT{0, 0, 100, 100});
  child->SetBounds(RECT{50, 50, 300, 300});
  window.Validate();

  child->ApplyAttribute(L"bkcolor", L"#FF123456");
  ASSERT_TRUE(window.WasInvalidated());
  EXPECT_TRUE(SameRect(window.Invalidated(), RECT{50, 50, 100, 100})) << ShowRect(window.Invalidated());
  window.Validate();
  child->ApplyAttribute(L"bkcolor", L"#FF123456");
  EXPECT_FALSE(window.WasInvalidated());

  // Moving repaints where the control was and where it is, cut to the parent.
  child->SetBounds(RECT{20, 20, 40, 40});
  window.Validate();
  child->MoveBy(30, 0, true);
  EXPECT_TRUE(SameRect(window.Invalidated(), RECT{20, 20, 70, 40})) << ShowRect(window.Invalidated());

  // Hidden controls and controls under a hidden ancestor repaint nothing.
  root->SetVisible(false);
  window.Validate();
  child->SetText(L"changed");
  EXPECT_FALSE(window.WasInvalidated());
}

}  // namespace
}  // namespace SkinUI
