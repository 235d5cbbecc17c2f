#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "ManagerHostWindow.h"
#include "skinui/UIContainer.h"

namespace SkinUI {
namespace {

// Each known attribute lands in its setting; names match in any case except three written-only ones.
TEST(ManagerWindowAttributes, KnownNamesAndTheirCase) {
  ManagedWindow window;
  CUIManager& m = window.manager;
  m.ApplyWindowAttribute(L"SizeBox", L"4,5,6,7");
  m.ApplyWindowAttribute(L"caption", L"0,0,0,32");
  m.ApplyWindowAttribute(L"ROUNDCORNER", L"6,8");
  m.ApplyWindowAttribute(L"mininfo", L"150,100");
  m.ApplyWindowAttribute(L"MaxInfo", L"600,400");
  m.ApplyWindowAttribute(L"DefaultFontColor", L"#FF112233");
  m.ApplyWindowAttribute(L"disabledfontcolor", L"FF445566");
  m.ApplyWindowAttribute(L"linkfontcolor", L"#FF000001");
  m.ApplyWindowAttribute(L"linkhoverfontcolor", L"#FF000002");
  m.ApplyWindowAttribute(L"selectedcolor", L"#FF000003");
  EXPECT_TRUE(SameRect(m.SizeBox(), RECT{4, 5, 6, 7}));
  EXPECT_TRUE(SameRect(m.Caption(), RECT{0, 0, 0, 32}));
  EXPECT_EQ(m.RoundCorner().cx, 6);
  EXPECT_EQ(m.RoundCorner().cy, 8);
  EXPECT_EQ(m.MinInfo().cx, 150);
  EXPECT_EQ(m.MaxInfo().cy, 400);
  EXPECT_EQ(m.DefaultFontColor(), 0xFF112233u);
  EXPECT_EQ(m.DefaultDisabledColor(), 0xFF445566u);
  EXPECT_EQ(m.DefaultLinkFontColor(), 0xFF000001u);
  EXPECT_EQ(m.DefaultLinkHoverFontColor(), 0xFF000002u);
  EXPECT_EQ(m.DefaultSelectedBkColor(), 0xFF000003u);

  // "noactivate" counts only as written; otherwise it is a custom attribute.
  m.ApplyWindowAttribute(L"NoActivate", L"true");
  EXPECT_FALSE(m.IsNoActivate());
  ASSERT_NE(m.WindowExtraAttribute(L"NoActivate"), nullptr);
  m.ApplyWindowAttribute(L"noactivate", L"true");
  EXPECT_TRUE(m.IsNoActivate());
  m.ApplyWindowAttribute(L"LayeredImage", L"shape.png");
  EXPECT_FALSE(m.IsLayered());
  m.ApplyWindowAttribute(L"LayeredOpacity", L"10");
  EXPECT_EQ(m.Opacity(), 255);
  m.ApplyWindowAttribute(L"layeredopacity", L"10");
  EXPECT_EQ(m.Opacity(), 10);
}

// Unknown attributes are kept by exact name and the first value wins.
TEST(ManagerWindowAttributes, CustomAttributesFirstValueWins) {
  ManagedWindow window;
  CUIManager& m = window.manager;
  m.ApplyWindowAttribute(L"shadowsize", L"6");
  m.ApplyWindowAttribute(L"shadowsize", L"9");
  m.ApplyWindowAttribute(L"showshadow", L"true");
  ASSERT_NE(m.WindowExtraAttribute(L"shadowsize"), nullptr);
  EXPECT_EQ(*m.WindowExtraAttribute(L"shadowsize"), L"6");
  EXPECT_EQ(*m.WindowExtraAttribute(L"showshadow"), L"true");
  EXPECT_EQ(m.WindowExtraAttribute(L"ShadowSize"), nullptr);
  // Binding the manager to its window again starts from nothing.
  m.Init(window.get(), L"again");
  EXPECT_EQ(m.WindowExtraAttribute(L"shadowsize"), nullptr);
}

// "size" resizes the window at once while no tree is attached, and only records it afterwards.
TEST(ManagerWindowAttributes, SizeResizesOnlyBeforeTheTree) {
  ManagedWindow window(100, 80);
  window.manager.ApplyWindowAttribute(L"size", L"320,240");
  RECT rect = {};
  ::GetWindowRect(window.get(), &rect);
  EXPECT_EQ(rect.right - rect.left, 320);
  EXPECT_EQ(rect.bottom - rect.top, 240);
  EXPECT_EQ(rect.left, 10);  // not moved
  window.manager.AttachRoot(new CContainerUI());
  window.manager.ApplyWindowAttribute(L"Size", L"500,400");
  EXPECT_EQ(window.manager.InitialSize().cx, 500);
  ::GetWindowRect(window.get(), &rect);
  EXPECT_EQ(rect.right - rect.left, 320);
}

// WM_GETMINMAXINFO takes "mininfo" and "maxinfo"; a 0 component leaves the system's value.
TEST(ManagerWindowAttributes, TrackingSizeLimits) {
  struct Case {
    const wchar_t* minInfo;
    const wchar_t* maxInfo;
    RECT expected;  // min x, min y, max x, max y
  };
  const Case cases[] = {
      {L"150,120", L"300,250", {150, 120, 300, 250}},
      {L"150,0", L"0,250", {150, 7, 2000, 250}},
      {L"0,0", L"0,0", {9, 7, 2000, 1500}},
  };
  ManagedWindow window;
  for (const Case& c : cases) {
    window.manager.ApplyWindowAttribute(L"mininfo", c.minInfo);
    window.manager.ApplyWindowAttribute(L"maxinfo", c.maxInfo);
    MINMAXINFO info = {};
    info.ptMinTrackSize = POINT{9, 7};
    info.ptMaxTrackSize = POINT{2000, 1500};
    // The window's own handling comes after the manager's, which leaves it unhandled.
    LRESULT result = 0;
    EXPECT_FALSE(window.manager.MessageHandler(WM_GETMINMAXINFO, 0,
                                               reinterpret_cast<LPARAM>(&info), result));
    RECT got = {info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x,
                info.ptMaxTrackSize.y};
    EXPECT_TRUE(SameRect(got, c.expected)) << ShowRect(got);
  }
  // A real resize of a sizable window is held to the limits.
  window.manager.ApplyWindowAttribute(L"mininfo", L"150,120");
  ::SetWindowLongPtrW(window.get(), GWL_STYLE,
                      ::GetWindowLongPtrW(window.get(), GWL_STYLE) | WS_THICKFRAME);
  ::SetWindowPos(window.get(), nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT rect = {};
  ::GetWindowRect(window.get(), &rect);
  EXPECT_EQ(rect.right - rect.left, 150);
  EXPECT_EQ(rect.bottom - rect.top, 120);
}

// With "noactivate" a click does not activate the window; without it the system decides.
TEST(ManagerWindowAttributes, NoActivateRefusesMouseActivation) {
  ManagedWindow window;
  LRESULT result = 0;
  EXPECT_FALSE(window.manager.MessageHandler(WM_MOUSEACTIVATE, 0, 0, result));
  window.manager.ApplyWindowAttribute(L"noactivate", L"true");
  EXPECT_TRUE(window.manager.MessageHandler(WM_MOUSEACTIVATE, 0, 0, result));
  EXPECT_EQ(result, MA_NOACTIVATE);
  EXPECT_EQ(window.Send(WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
}

}  // namespace
}  // namespace SkinUI
