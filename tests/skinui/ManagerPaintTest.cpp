#include <gtest/gtest.h>

#include <vector>

#include "ControlTestSupport.h"
#include "ManagerHostWindow.h"
#include "TestImages.h"
#include "skinui/UIContainer.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

const DWORD kRed = 0xFF0000;
const DWORD kBlue = 0x0000FF;
const DWORD kGreen = 0x00FF00;
const DWORD kWhite = 0xFFFFFF;

// A red root with a blue control at (10,10)-(60,40).
struct PaintedTree {
  explicit PaintedTree(ManagedWindow& window) {
    root = new CContainerUI();
    root->SetDelayedDestroy(false);
    root->SetBkColor(0xFFFF0000);
    child = new CControlUI();
    PlaceAt(child, 10, 10, 60, 40);
    child->SetBkColor(0xFF0000FF);
    root->Add(child);
    window.manager.AttachRoot(root);
  }
  CContainerUI* root;
  CControlUI* child;
};

// A window without a root paints black, even where a tree was shown before.
TEST(ManagerPaint, RootlessWindowIsBlack) {
  ManagedWindow window;
  PaintedTree tree(window);
  window.Repaint();
  ASSERT_EQ(window.PixelAt(100, 100), kRed);
  // Detaching the tree repaints the window by itself.
  window.manager.AttachRoot(nullptr);
  ::UpdateWindow(window.get());
  for (POINT p : {POINT{0, 0}, POINT{20, 20}, POINT{100, 100}, POINT{199, 149}})
    EXPECT_EQ(window.PixelAt(p.x, p.y), 0u) << p.x << "," << p.y;
}

// The tree is painted over the whole client area, and a later change repaints only what changed,
// both through the off-screen buffer and straight into the window.
TEST(ManagerPaint, PaintsTreeAndChanges) {
  for (bool offscreen : {true, false}) {
    ManagedWindow window;
    window.manager.SetOffscreenPaint(offscreen);
    PaintedTree tree(window);
    window.Repaint();
    window.Pump();
    EXPECT_EQ(window.PixelAt(5, 5), kRed) << offscreen;
    EXPECT_EQ(window.PixelAt(20, 20), kBlue) << offscreen;
    EXPECT_EQ(window.PixelAt(59, 39), kBlue) << offscreen;
    EXPECT_EQ(window.PixelAt(60, 40), kRed) << offscreen;
    tree.child->SetBkColor(0xFF00FF00);
    RECT update = {};
    EXPECT_TRUE(::GetUpdateRect(window.get(), &update, FALSE));
    EXPECT_TRUE(SameRect(update, RECT{10, 10, 60, 40})) << ShowRect(update);
    ::UpdateWindow(window.get());
    EXPECT_EQ(window.PixelAt(20, 20), kGreen) << offscreen;
    EXPECT_EQ(window.PixelAt(5, 5), kRed) << offscreen;
  }
}

// "windowinit" comes once, from the root, after the root has been placed over the client area.
TEST(ManagerPaint, WindowInitOnceAfterLayout) {
  ManagedWindow window;
  RecordingReceiver receiver;
  window.manager.AddNotifyReceiver(&receiver);
  PaintedTree tree(window);
  RECT boundsAtInit = {};
  tree.root->OnNotify.Add([&](UINotification& n) {
    if (n.type == L"windowinit") boundsAtInit = tree.root->Bounds();
    return true;
  });
  EXPECT_EQ(receiver.Count(L"windowinit"), 0);
  window.Repaint();
  window.Repaint();
  ::SetWindowPos(window.get(), nullptr, 0, 0, 220, 160, SWP_NOMOVE | SWP_NOZORDER);
  ::UpdateWindow(window.get());
  ASSERT_EQ(receiver.Count(L"windowinit"), 1);
  EXPECT_EQ(receiver.entries.front().sender, tree.root);
  RECT client = {};
  ::GetClientRect(window.get(), &client);
  EXPECT_TRUE(SameRect(boundsAtInit, RECT{0, 0, 200, 150})) << ShowRect(boundsAtInit);
  EXPECT_TRUE(SameRect(tree.root->Bounds(), client)) << ShowRect(tree.root->Bounds());

  // A new root gets its own "windowinit".
  auto* second = new CContainerUI();
  window.manager.AttachRoot(second);
  window.Repaint();
  ASSERT_EQ(receiver.Count(L"windowinit"), 2);
  EXPECT_EQ(receiver.entries.back().sender, second);
}

// After the tree is attached the focus goes to the first tab stop once the window has painted.
TEST(ManagerPaint, FocusReachesFirstTabStopAfterPainting) {
  ManagedWindow window;
  PaintedTree tree(window);
  auto* stop = new TabStopControl();
  PlaceAt(stop, 100, 100, 120, 120);
  tree.root->Add(stop);
  ::UpdateWindow(window.get());
  EXPECT_TRUE(window.PumpUntil([&] { return window.manager.Focus() == stop; }, 500));
  EXPECT_FALSE(window.manager.IsFocusNeeded());
}

// Growing the window lays the tree out again and the new area is painted.
TEST(ManagerPaint, ResizeLaysOutAndPaintsNewArea) {
  ManagedWindow window;
  PaintedTree tree(window);
  EventLog log;
  auto* focused = new LoggingControl(L"focused", &log, ControlFlagTabStop);
  PlaceAt(focused, 100, 100, 120, 120);
  focused->SetBkColor(0xFF0000FF);
  tree.root->Add(focused);
  window.Repaint();
  window.manager.SetFocus(focused);
  ::SetWindowPos(window.get(), nullptr, 0, 0, 300, 220, SWP_NOMOVE | SWP_NOZORDER);
  ::UpdateWindow(window.get());
  EXPECT_EQ(log.Count(EventWindowSize, L"focused"), 1);
  EXPECT_TRUE(SameRect(tree.root->Bounds(), RECT{0, 0, 300, 220}));
  EXPECT_EQ(window.PixelAt(280, 200), kRed);
  EXPECT_EQ(window.PixelAt(20, 20), kBlue);
}

// "showdirty" frames each repainted area with a red line, and only while it is on.
TEST(ManagerPaint, ShowDirtyFramesRepaintedArea) {
  ManagedWindow window;
  PaintedTree tree(window);
  tree.root->SetBkColor(0xFFFFFFFF);
  tree.root->Remove(tree.child);
  window.Repaint();
  window.Pump();
  window.manager.ApplyWindowAttribute(L"showdirty", L"true");
  RECT dirty = {80, 60, 120, 90};
  ::InvalidateRect(window.get(), &dirty, FALSE);
  ::UpdateWindow(window.get());
  const DWORD kFrame = 0xDC0000;
  EXPECT_EQ(window.PixelAt(80, 60), kFrame);
  EXPECT_EQ(window.PixelAt(119, 89), kFrame);
  EXPECT_EQ(window.PixelAt(100, 60), kFrame);
  EXPECT_EQ(window.PixelAt(100, 75), kWhite);
  EXPECT_EQ(window.PixelAt(79, 59), kWhite);
  window.manager.ApplyWindowAttribute(L"showdirty", L"false");
  window.Repaint();
  EXPECT_EQ(window.PixelAt(80, 60), kWhite);
}

// A child window that paints itself green when printed.
LRESULT CALLBACK GreenChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PRINTCLIENT) {
    RECT client = {};
    ::GetClientRect(window, &client);
    HBRUSH green = ::CreateSolidBrush(RGB(0, 255, 0));
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, green);
    ::DeleteObject(green);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// WM_PRINTCLIENT paints the tree into the given DC, and child windows too when asked.
TEST(ManagerPaint, PrintClientPaintsTreeAndChildren) {
  ManagedWindow window;
  PaintedTree tree(window);
  window.Repaint();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = GreenChildProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FolvaneGreenChild";
  ::RegisterClassW(&wc);
  HWND child = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 100, 60, 40, 20,
                                 window.get(), nullptr, wc.hInstance, nullptr);
  ASSERT_NE(child, nullptr);

  for (LPARAM flags : {LPARAM(PRF_CLIENT), LPARAM(PRF_CLIENT | PRF_CHILDREN)}) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BYTE* bits = nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -150;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS,
                                        reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    window.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), flags);
    ::GdiFlush();
    auto pixel = [&](int x, int y) {
      return *reinterpret_cast<DWORD*>(bits + (y * 200 + x) * 4) & 0x00FFFFFF;
    };
    EXPECT_EQ(pixel(5, 5), kRed);
    EXPECT_EQ(pixel(20, 20), kBlue);
    EXPECT_EQ(pixel(110, 70), (flags & PRF_CHILDREN) != 0 ? kGreen : kRed) << flags;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }
  ::DestroyWindow(child);
}

// Layered mode collects invalidation itself, repaints on its own timer and owns the frame messages.
TEST(ManagerPaint, LayeredModePaintsOnItsTimer) {
  ManagedWindow window;
  RecordingReceiver receiver;
  window.manager.AddNotifyReceiver(&receiver);
  PaintedTree tree(window);
  window.manager.SetLayered(true);
  EXPECT_TRUE(window.manager.IsLayered());
  EXPECT_NE(::GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  ::ValidateRect(window.get(), nullptr);
  window.manager.Invalidate(RECT{0, 0, 50, 50});
  EXPECT_FALSE(::GetUpdateRect(window.get(), nullptr, FALSE));
  // No WM_PAINT is needed: the timer lays out and paints.
  EXPECT_TRUE(window.PumpUntil([&] { return receiver.Count(L"windowinit") == 1; }));
  EXPECT_TRUE(SameRect(tree.root->Bounds(), RECT{0, 0, 200, 150}));

  LRESULT result = 5;
  EXPECT_TRUE(window.manager.MessageHandler(WM_NCACTIVATE, FALSE, 0, result));
  EXPECT_EQ(result, TRUE);
  EXPECT_TRUE(window.manager.MessageHandler(WM_NCACTIVATE, TRUE, 0, result));
  EXPECT_EQ(result, FALSE);
  EXPECT_TRUE(window.manager.MessageHandler(WM_NCPAINT, 1, 0, result));
  EXPECT_EQ(result, 0);

  window.manager.SetLayered(false);
  EXPECT_FALSE(window.manager.IsLayered());
  EXPECT_EQ(::GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_FALSE(window.manager.MessageHandler(WM_NCPAINT, 1, 0, result));
  window.Repaint();
  EXPECT_EQ(window.PixelAt(5, 5), kRed);
  EXPECT_EQ(receiver.Count(L"windowinit"), 1);
}

// What the screen shows at a client point of the window (0xRRGGBB).
DWORD ScreenPixel(HWND window, int x, int y) {
  POINT point = {x, y};
  ::ClientToScreen(window, &point);
  HDC screen = ::GetDC(nullptr);
  COLORREF color = ::GetPixel(screen, point.x, point.y);
  ::ReleaseDC(nullptr, screen);
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

// A layered window shows its tree with per-pixel alpha; a layered image's alpha cuts its shape.
TEST(ManagerPaint, LayeredPictureUsesPixelAlpha) {
  {
    // Without an image: a translucent fill shows, an opaque GDI fill leaves alpha 0 (clear).
    ManagedWindow window;
    window.MoveToBottom(1050);
    PaintedTree tree(window);
    tree.root->SetBkColor(0xFEFF0000);
    window.manager.SetLayered(true);
    window.PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ScreenPixel(window.get(), 5, 5), 0xFE0000u);
    EXPECT_EQ(ScreenPixel(window.get(), 20, 20), 0u);
  }
  {
    // A 2 x 1 image, clear on the left and opaque on the right, stretched over the window.
    TempFolder folder;
    std::wstring shape = folder.WriteFile(L"shape.png", EncodePng({0x00000000, 0xFF000000}, 2, 1));
    ManagedWindow window;
    window.MoveToBottom(1050);
    RecordingReceiver receiver;
    window.manager.AddNotifyReceiver(&receiver);
    PaintedTree tree(window);
    window.manager.ApplyWindowAttribute(L"layeredimage", shape);
    EXPECT_TRUE(window.manager.IsLayered());
    ASSERT_TRUE(window.PumpUntil([&] { return receiver.Count(L"windowinit") == 1; }));
    window.PumpUntil([] { return false; }, 200);
    EXPECT_EQ(ScreenPixel(window.get(), 20, 100), 0u);
    EXPECT_EQ(ScreenPixel(window.get(), 180, 100), kRed);
    EXPECT_EQ(ScreenPixel(window.get(), 5, 5), 0u);
  }
}

// A layered window prints its registered native children into its picture, and forgets the dead.
TEST(ManagerPaint, LayeredPictureShowsNativeChildren) {
  ManagedWindow window;
  window.MoveToBottom(590);
  PaintedTree tree(window);
  tree.root->SetBkColor(0);
  tree.child->SetBkColor(0);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = GreenChildProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FolvaneGreenChild";
  ::RegisterClassW(&wc);
  HWND child = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 100, 60, 40, 20,
                                 window.get(), nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(window.manager.RegisterNativeChild(tree.child, child));
  window.manager.SetLayered(true);
  window.PumpUntil([] { return false; }, 200);
  EXPECT_EQ(ScreenPixel(window.get(), 110, 70), kGreen);
  EXPECT_EQ(ScreenPixel(window.get(), 50, 100), 0u);
  ::DestroyWindow(child);
  window.manager.Invalidate();
  window.PumpUntil([] { return false; }, 100);
  EXPECT_EQ(window.manager.NativeChildControl(child), nullptr);
}

// Child windows cannot be self-painted layered windows; the request is ignored.
TEST(ManagerPaint, LayeredIgnoredForChildWindows) {
  ManagedWindow parent;
  ManagedWindow child(50, 40, WS_CHILD | WS_VISIBLE, parent.get());
  child.manager.SetLayered(true);
  EXPECT_FALSE(child.manager.IsLayered());
  EXPECT_EQ(::GetWindowLongPtrW(child.get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

// "opacity" makes the whole window translucent through the system's layered attributes.
TEST(ManagerPaint, OpacitySetsWindowAlpha) {
  ManagedWindow window;
  window.manager.ApplyWindowAttribute(L"Opacity", L"128");
  EXPECT_EQ(window.manager.Opacity(), 128);
  EXPECT_FALSE(window.manager.IsLayered());
  ASSERT_NE(::GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(window.get(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_NE(flags & LWA_ALPHA, 0u);
}

}  // namespace
}  // namespace SkinUI
