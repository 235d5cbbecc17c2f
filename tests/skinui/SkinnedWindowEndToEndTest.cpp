// A skinned window built from a 7z archive that the test program carries as a "ZIPRES"
// resource, shown on the display, photographed with ImageMagick's "import" and clicked
// with "xdotool" through the real X input path. Both are Linux programs: Wine starts
// them from their Z: path, but hands back no process handle to wait on, so the test
// watches for their effects instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinWindowSupport.h"
#include "skinui/WindowImplBase.h"

namespace SkinUI {
namespace {

// In the bottom-right corner of the display, away from where the other test programs,
// which may run at the same time, open their windows.
constexpr int kLeft = 900;
constexpr int kTop = 560;

class ArchiveSkinWindow : public TextSkinWindow {
 public:
  explicit ArchiveSkinWindow(const wchar_t* file = L"main.xml") : TextSkinWindow(file) {}
  std::vector<std::wstring> senders;

  void Notify(UINotification& notification) override {
    senders.push_back(notification.type + L":" +
                      (notification.sender != nullptr ? notification.sender->GetName() : L""));
    TextSkinWindow::Notify(notification);
  }
  bool Saw(const std::wstring& entry) const {
    for (const std::wstring& s : senders) {
      if (s == entry) return true;
    }
    return false;
  }

 protected:
  LPCWSTR WindowClassName() const override { return L"FolvaneArchiveSkinWindow"; }
  UINT ResourceKind() const override { return ResourceKindArchiveResource; }
  std::wstring ResourceId() const override { return L"201"; }
};

bool StartLinuxProgram(const std::wstring& path, const std::wstring& arguments) {
  std::wstring command = L"Z:" + path + L" " + arguments;
  for (wchar_t& ch : command) {
    if (&ch - command.data() < static_cast<ptrdiff_t>(path.size() + 2) && ch == L'/') ch = L'\\';
  }
  std::wstring program = command.substr(0, path.size() + 2);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    return false;
  }
  if (info.hThread != nullptr) ::CloseHandle(info.hThread);
  if (info.hProcess != nullptr) ::CloseHandle(info.hProcess);
  return true;
}

template <class Done>
bool PumpUntil(Done done, DWORD milliseconds) {
  DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > milliseconds) return false;
    PumpMessages(20);
  }
  return true;
}

// The window's client area painted into a 32-bit DIB; pixels as 0xRRGGBB.
class PrintedWindow {
 public:
  explicit PrintedWindow(HWND window) {
    RECT client = {};
    ::GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<DWORD*>(bits);
    old_ = ::SelectObject(dc_, bitmap_);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    ::GdiFlush();
  }
  ~PrintedWindow() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  DWORD At(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }

 private:
  int width_ = 0;
  int height_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring ClickAt(HWND window, int x, int y) {
  POINT point = {x, y};
  ::ClientToScreen(window, &point);
  return L"mousemove " + std::to_wstring(point.x) + L" " + std::to_wstring(point.y) +
         L" sleep 0.2 click 1";
}

// The archive, the 7z switch and the resource path are settings of the whole process;
// each test starts from and leaves them as the program starts.
class SkinnedWindowEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPath_ = CUIManager::ResourcePath();
    CUIManager::SetInstance(::GetModuleHandleW(nullptr));
    CUIManager::SetSevenZipArchive(true);
  }
  void TearDown() override {
    CUIManager::ResetResourceArchive();
    CUIManager::SetSevenZipArchive(false);
    CUIManager::SetResourcePath(savedPath_);
  }
  std::wstring savedPath_;
};

// Built from the archive resource, the window paints its images, answers real clicks,
// is photographed, and its close button ends the modal loop with 1.
TEST_F(SkinnedWindowEndToEnd, ArchiveResourceWindowOnScreen) {
  ArchiveSkinWindow window;
  ASSERT_NE(window.Open(kLeft, kTop, 320, 200, WS_POPUP | WS_VISIBLE), nullptr);
  HWND hwnd = window.GetHWND();
  ::SetWindowPos(hwnd, HWND_TOP, kLeft, kTop, 0, 0, SWP_NOSIZE);
  ASSERT_NE(window.Find(L"okbtn"), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return window.Saw(L"windowinit:root"); }, 3000));
  EXPECT_EQ(window.initCalls, 1);
  const std::wstring* shadow = window.Manager().WindowExtraAttribute(L"showshadow");
  ASSERT_NE(shadow, nullptr);
  EXPECT_EQ(*shadow, L"true");

  {
    PrintedWindow picture(hwnd);
    EXPECT_EQ(picture.At(100, 20), 0x2D6CDFu);   // root background in the title bar
    EXPECT_EQ(picture.At(300, 20), 0xD03030u);   // close button's normal image
    EXPECT_EQ(picture.At(10, 100), 0xFFFFFFu);   // body background
    EXPECT_EQ(picture.At(32, 72), 0x909090u);    // option, not selected
    EXPECT_EQ(picture.At(30, 100), 0x10A010u);   // OK button's own colour over the default
    EXPECT_EQ(picture.At(60, 139), 0x20C040u);   // progress at 50 %: fore image on the left
    EXPECT_EQ(picture.At(180, 139), 0xCCCCCCu);  // and background on the right
  }

  std::wstring artifactDir = Widen(FOLVANE_ARTIFACT_DIR);
  std::wstring shot = artifactDir + L"/skinned-window.png";
  std::wstring windowsShot = L"Z:" + shot;
  for (wchar_t& ch : windowsShot) ch = ch == L'/' ? L'\\' : ch;
  ::DeleteFileW(windowsShot.c_str());
  ASSERT_TRUE(StartLinuxProgram(L"/usr/bin/import", L"-window root " + shot));
  EXPECT_TRUE(PumpUntil(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return ::GetFileAttributesExW(windowsShot.c_str(), GetFileExInfoStandard, &data) &&
               data.nFileSizeLow > 1000;
      },
      15000))
      << "no screenshot at " << std::string(shot.begin(), shot.end());
  PumpMessages(300);

  ASSERT_TRUE(StartLinuxProgram(L"/usr/bin/xdotool", ClickAt(hwnd, 50, 100)));
  EXPECT_TRUE(PumpUntil([&] { return window.Saw(L"click:okbtn"); }, 8000));
  ASSERT_TRUE(StartLinuxProgram(L"/usr/bin/xdotool", ClickAt(hwnd, 32, 72)));
  EXPECT_TRUE(PumpUntil([&] { return window.Saw(L"selectchanged:agree"); }, 8000));
  PumpMessages(200);
  {
    PrintedWindow picture(hwnd);
    EXPECT_EQ(picture.At(32, 72), 0xF09010u);  // option, selected
  }

  // Dragging the title label moves the window: the label is caption, not a control target.
  RECT before = {};
  ::GetWindowRect(hwnd, &before);
  POINT grab = {50, 20};
  ::ClientToScreen(hwnd, &grab);
  ASSERT_TRUE(StartLinuxProgram(
      L"/usr/bin/xdotool", L"mousemove " + std::to_wstring(grab.x) + L" " +
                               std::to_wstring(grab.y) +
                               L" sleep 0.2 mousedown 1 sleep 0.2 mousemove_relative 20 10"
                               L" sleep 0.2 mousemove_relative 20 20 sleep 0.2 mouseup 1"));
  EXPECT_TRUE(PumpUntil(
      [&] {
        RECT now = {};
        ::GetWindowRect(hwnd, &now);
        return now.left == before.left + 40 && now.top == before.top + 30;
      },
      8000));
  PumpMessages(300);

  // A real click on the close button ends the modal loop with 1.
  ASSERT_TRUE(StartLinuxProgram(L"/usr/bin/xdotool", ClickAt(hwnd, 300, 20)));
  EXPECT_EQ(window.RunModal(), 1u);
  EXPECT_EQ(window.clicks, (std::vector<std::wstring>{L"okbtn", L"agree", L"closebtn"}));
}

std::wstring WindowsPath(const char* linuxPath) {
  std::wstring path = L"Z:" + Widen(linuxPath);
  for (wchar_t& ch : path) ch = ch == L'/' ? L'\\' : ch;
  return path;
}

// An archive file in the skin folder: the window is built from it and its images come from it.
TEST_F(SkinnedWindowEndToEnd, ArchiveFileInSkinFolder) {
  struct ArchiveFileWindow : ArchiveSkinWindow {
    UINT ResourceKind() const override { return ResourceKindArchive; }
    std::wstring ArchiveFileName() const override { return L"skin.7z"; }
  } window;
  // A resource path already set is kept; the skin folder only fills an empty one.
  CUIManager::SetResourcePath(WindowsPath(FOLVANE_E2E_DIR));
  ASSERT_NE(window.Open(0, 0, 320, 200), nullptr);
  EXPECT_EQ(CUIManager::ResourcePath(), WindowsPath(FOLVANE_E2E_DIR) + L"\\");
  EXPECT_EQ(CUIManager::ResourceArchive(), L"skin.7z");
  ASSERT_NE(window.Find(L"progress"), nullptr);
  ::UpdateWindow(window.GetHWND());
  PrintedWindow picture(window.GetHWND());
  EXPECT_EQ(picture.At(300, 20), 0xD03030u);
  EXPECT_EQ(picture.At(60, 139), 0x20C040u);
  ::DestroyWindow(window.GetHWND());
}

// The window icon is loaded at both system sizes and set for both.
TEST_F(SkinnedWindowEndToEnd, SetIconSetsBothSizes) {
  ArchiveSkinWindow window;
  ASSERT_NE(window.Open(0, 0, 320, 200, WS_POPUP), nullptr);
  EXPECT_EQ(window.SendMessage(WM_GETICON, ICON_BIG, 0), 0);
  window.SetIcon(301);
  auto big = reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, ICON_BIG, 0));
  auto small = reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(::GetIconInfo(small, &info));
  BITMAP bitmap = {};
  ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
  // An icon the program does not have changes nothing.
  window.SetIcon(999);
  EXPECT_EQ(reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, ICON_BIG, 0)), big);
  ::DestroyWindow(window.GetHWND());
}

// Run only as the child of SkinnedWindowEndToEnd.FileMissingFromArchive.
TEST_F(SkinnedWindowEndToEnd, DISABLED_ChildWithFileMissingFromArchive) {
  ArchiveSkinWindow window(L"absent.xml");
  window.Open();
  ADD_FAILURE() << "the process should have ended";
}

// A skin file that the archive resource does not hold ends the process with 1 after the box.
TEST_F(SkinnedWindowEndToEnd, FileMissingFromArchive) {
  std::wstring text;
  EXPECT_EQ(RunSkinErrorChild(L"SkinnedWindowEndToEnd.DISABLED_ChildWithFileMissingFromArchive",
                              text),
            1);
  EXPECT_EQ(text, kSkinErrorText);
}

}  // namespace
}  // namespace SkinUI
