// The paint manager: one per skinned window, plus the settings every window of the
// process shares (where skin files come from, the resource archive, language texts).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skinui/UIDrawInfo.h"
#include "skinui/UIEvent.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

struct SevenZipArchive;
struct ZipArchive;
class CControlUI;
struct UIImageInfo;

// A hook offered a window's messages before the manager handles them (message filters) or
// before they are dispatched at all (pre-dispatch filters). Setting handled ends processing
// with the returned result.
class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

// Offered every queued message of the window before dispatch; S_OK means it was consumed
// (e.g. turned into a command by an accelerator table).
class ITranslateAccelerator {
 public:
  virtual LRESULT TranslateAccelerator(MSG* message) = 0;

 protected:
  ~ITranslateAccelerator() = default;
};

// One font of a window's store: the font and how it was described, with text metrics
// measured on first need.
struct UIFontInfo {
  Utils::ScopedFont font;
  std::wstring faceName;
  int size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  TEXTMETRICW metrics = {};
  bool measured = false;
};

// The shared resource archive once it has been opened; exactly one of the two readers
// owns it, chosen by the 7z switch at the time it was opened.
struct ResourceArchiveHandle {
  SevenZipArchive* sevenZip = nullptr;
  ZipArchive* zip = nullptr;
  bool IsOpen() const { return sevenZip != nullptr || zip != nullptr; }
};

class CUIManager {
 public:
  CUIManager();
  ~CUIManager();
  CUIManager(const CUIManager&) = delete;
  CUIManager& operator=(const CUIManager&) = delete;

  // ---- Process-wide settings (shared by every window of the process) ----

  static void SetInstance(HINSTANCE instance);
  static HINSTANCE Instance();
  // The instance's module folder including its last backslash; empty without an instance.
  static std::wstring InstancePath();
  // Module that skin resources are loaded from; the instance when none was set.
  static void SetResourceInstance(HINSTANCE module);
  static HINSTANCE ResourceInstance();

  // Skin file names are relative to this folder; a non-empty path always ends in a
  // backslash or slash once set.
  static void SetResourcePath(const std::wstring& path);
  static const std::wstring& ResourcePath();

  // An archive file (relative to the resource path) that skin files are read from; an
  // empty name goes back to reading plain files. Cached keeps the archive open between
  // loads. Setting another archive closes the one held open.
  static void SetResourceArchive(const std::wstring& name, bool cached);
  // An archive held in memory ("membuffer"), always cached. Only the first call takes
  // effect: windows opened later share the archive the first one set.
  static void SetResourceArchiveMemory(const BYTE* bytes, DWORD size);
  static const std::wstring& ResourceArchive();
  static bool IsResourceArchiveCached();
  // The archive held open for cached loads (none before the first load of a file archive).
  static ResourceArchiveHandle CachedArchive();
  static void SetCachedArchive(const ResourceArchiveHandle& handle);
  // Closes and forgets the cached archive and the archive name.
  static void ResetResourceArchive();

  // Resource archives are 7z archives rather than zip archives.
  static void SetSevenZipArchive(bool sevenZip);
  static bool IsSevenZipArchive();

  // Numbered texts that "%{n}" tokens in shown texts stand for.
  static void AddLanguageText(int id, const std::wstring& text);
  static const std::wstring* LanguageText(int id);
  // Replaces every "%{digits}" whose number has a text; other tokens stay as written.
  static std::wstring ReplaceLanguageTokens(const std::wstring& text);
  static void ClearLanguageTexts();

  // ---- Per-window state: what the controls of one window share ----
  // (defined in UIManagerWindow.cpp; fonts, images and attribute lists in UIManagerResources.cpp)

  // Binds the manager to its window and forgets the names, fonts, images, attribute lists
  // and timers of an earlier one. A manager without a window still lays out and paints
  // into any DC, but has nothing to invalidate and no timers.
  void Init(HWND window, const std::wstring& name);
  HWND Window() const { return window_; }
  const std::wstring& Name() const { return name_; }

  // The manager owns the root; an earlier root goes to delayed cleanup.
  bool AttachRoot(CControlUI* root);
  CControlUI* Root() const { return root_; }
  // Attaches a control (and its subtree) to this manager and registers its names.
  bool AdoptControls(CControlUI* control, CControlUI* parent);

  CControlUI* ControlByName(const std::wstring& name) const;
  // The topmost visible, mouse-enabled control under a point in client coordinates.
  CControlUI* ControlAtPoint(POINT point) const;
  bool RenameControl(CControlUI* control, const std::wstring& name);
  // Called by a dying control: no pointer to it may stay behind.
  void ForgetControl(CControlUI* control);
  // Destroys the control after the current message (a control may remove itself from
  // inside its own event handler).
  void QueueForCleanup(CControlUI* control);
  // Controls whose PaintAfter runs once the tree has been painted (a dragged separator).
  bool AddAfterPaintControl(CControlUI* control);
  bool RemoveAfterPaintControl(CControlUI* control);
  const std::vector<CControlUI*>& AfterPaintControls() const { return postPaintControls_; }
  // Named groups of option controls, of which one is selected at a time. A group is made
  // on first join and goes when its last member leaves.
  bool JoinOptionGroup(const std::wstring& group, CControlUI* control);
  void LeaveOptionGroup(const std::wstring& group, CControlUI* control);
  const std::vector<CControlUI*>* OptionGroup(const std::wstring& group) const;
  // Controls owed a mouse-leave event when the mouse moves on to another control.
  bool WatchMouseLeave(CControlUI* control);
  bool UnwatchMouseLeave(CControlUI* control);
  const std::vector<CControlUI*>& MouseLeaveControls() const { return mouseLeaveControls_; }

  // (Invalidation and the layout step live in UIManagerPaint.cpp.) A layered window
  // collects the area for its own repaint tick instead of invalidating the window.
  void Invalidate();
  void Invalidate(const RECT& rect);
  void RequestUpdate() { updateNeeded_ = true; }
  bool IsUpdateNeeded() const { return updateNeeded_; }
  bool IsPainting() const { return painting_; }
  // The layout step of a paint: places the root over client when it needs it, else every
  // control marked for layout at its current place; the first time sends "windowinit".
  // Returns whether anything was laid out.
  bool LayoutIfNeeded(const RECT& client);

  CControlUI* Focus() const { return focus_; }
  void SetFocus(CControlUI* control, bool focusWindow = true);
  bool MoveFocusToNextTabStop(bool forward = true);
  void RequestFocusAfterLayout(CControlUI* control);
  bool IsFocusNeeded() const { return focusNeeded_; }
  CControlUI* Hover() const { return hover_; }
  CControlUI* Pressed() const { return pressed_; }
  CControlUI* KeyTarget() const { return keyTarget_; }
  POINT MousePos() const { return lastMousePos_; }

  // Timers of controls; the system timer ids are the manager's own local ids.
  bool SetTimer(CControlUI* control, UINT id, UINT elapse);
  bool KillTimer(CControlUI* control, UINT id);
  void KillControlTimers(CControlUI* control);
  void KillAllTimers();
  // WM_TIMER with a local id: sends EventTimer to the control of that live timer.
  bool DispatchTimer(UINT_PTR localId);

  bool AddNotifyReceiver(INotifyUI* receiver);
  bool RemoveNotifyReceiver(INotifyUI* receiver);
  void RaiseNotification(CControlUI* control, const std::wstring& type, WPARAM wParam = 0,
                         LPARAM lParam = 0, bool async = false);
  void RaiseNotification(UINotification& notification, bool async = false);
  void EnableVirtualWindows() { virtualWindowsUsed_ = true; }
  // Work of the manager's own message: delivers queued notifications, then destroys the
  // controls waiting for cleanup.
  void DeliverQueuedNotifications();
  static constexpr UINT kAsyncMessage = WM_APP + 1;
  // The layered window's repaint tick; local control timer ids stay below 255.
  static constexpr UINT_PTR kLayeredTimerId = 0x2000;

  // Fonts are kept under the decimal text of their index.
  HFONT AddFont(int index, const std::wstring& face, int size, bool bold, bool underline,
                bool italic, bool shared = false);
  HFONT SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline,
                       bool italic, bool shared = false);
  // This window's font of the index, else the shared one, else the default font.
  HFONT GetFont(int index);
  // The same record, with its text metrics measured.
  UIFontInfo* GetFontInfo(int index);
  UIFontInfo* DefaultFontInfo();

  // Images are kept by name; the first request of a name loads it, later requests share
  // it whatever mask or type they give.
  const UIImageInfo* AddImage(const std::wstring& name, const std::wstring& type, DWORD mask,
                              bool keepForHsl, bool shared = false);
  const UIImageInfo* GetImage(const std::wstring& name, const std::wstring& type = L"",
                              DWORD mask = 0, bool keepForHsl = false);

  // Attribute lists applied to every control of a class before its own attributes.
  void AddDefaultAttributes(const std::wstring& className, const std::wstring& list,
                            bool shared = false);
  std::wstring GetDefaultAttributes(const std::wstring& className) const;
  // Every later add of a font, image or attribute list goes to the shared stores.
  void SetForceShared(bool force) { forceShared_ = force; }

  DWORD DefaultDisabledColor() const { return defaultColors_[0]; }
  void SetDefaultDisabledColor(DWORD color) { defaultColors_[0] = color; }
  DWORD DefaultFontColor() const { return defaultColors_[1]; }
  void SetDefaultFontColor(DWORD color) { defaultColors_[1] = color; }
  DWORD DefaultLinkFontColor() const { return defaultColors_[2]; }
  void SetDefaultLinkFontColor(DWORD color) { defaultColors_[2] = color; }
  DWORD DefaultLinkHoverFontColor() const { return defaultColors_[3]; }
  void SetDefaultLinkHoverFontColor(DWORD color) { defaultColors_[3] = color; }
  DWORD DefaultSelectedBkColor() const { return defaultColors_[4]; }
  void SetDefaultSelectedBkColor(DWORD color) { defaultColors_[4] = color; }

  // ---- Window attributes (the "Window" element of a skin) ----
  // (defined in UIManagerWindowAttributes.cpp)

  // Applies one attribute of the skin's "Window" element; names the manager does not know
  // are kept as window custom attributes, where the first value wins.
  void ApplyWindowAttribute(const std::wstring& name, const std::wstring& value);
  void AddWindowExtraAttribute(const std::wstring& name, const std::wstring& value);
  // Null when the attribute was never given.
  const std::wstring* WindowExtraAttribute(const std::wstring& name) const;

  SIZE InitialSize() const { return initialSize_; }
  // Also resizes the window while no root is attached (the size comes before the tree).
  void SetInitialSize(int cx, int cy);
  const RECT& SizeBox() const { return sizeBox_; }
  void SetSizeBox(const RECT& box) { sizeBox_ = box; }
  const RECT& Caption() const { return caption_; }
  void SetCaption(const RECT& caption) { caption_ = caption; }
  SIZE RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = SIZE{cx, cy}; }
  SIZE MinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy) { minInfo_ = SIZE{cx, cy}; }
  SIZE MaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy) { maxInfo_ = SIZE{cx, cy}; }
  bool IsShowDirty() const { return showDirty_; }
  void SetShowDirty(bool show) { showDirty_ = show; }
  bool IsNoActivate() const { return noActivate_; }
  void SetNoActivate(bool noActivate) { noActivate_ = noActivate; }
  // Whole-window alpha through the system's layered attributes (not self-painted).
  void SetOpacity(BYTE opacity);
  BYTE Opacity() const { return opacity_; }
  // Self-painted layered mode: the tree is composed into a 32-bit image and handed to the
  // system as the window's picture. Ignored for child windows and where the system has no
  // layered-window update.
  void SetLayered(bool layered);
  bool IsLayered() const { return layered_; }
  void SetLayeredImage(const std::wstring& descriptor);
  void SetLayeredAlpha(BYTE alpha);
  void SetLayeredInset(const RECT& inset);
  // Off-screen painting through a buffer that survives between paints (on by default).
  void SetOffscreenPaint(bool offscreen);
  // Maximum width of the tooltip window when it is created; below 0 leaves the system's.
  void SetToolTipWindowWidth(int width) { toolTipWindowWidth_ = width; }
  HWND ToolTipWindow() const { return toolTipWindow_; }

  // ---- Native child windows embedded in the tree (edit fields and the like) ----

  bool RegisterNativeChild(CControlUI* control, HWND window);
  bool UnregisterNativeChild(HWND window);
  CControlUI* NativeChildControl(HWND window) const;

  // ---- Messages (UIManagerMessages.cpp; filters and pre-dispatch in UIManagerDispatch.cpp) ----

  bool AddPreDispatchFilter(IMessageFilterUI* filter);
  bool RemovePreDispatchFilter(IMessageFilterUI* filter);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);
  bool AddTranslateAccelerator(ITranslateAccelerator* translator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
  // Keyboard work done before dispatch (Tab between tab stops, Alt shortcuts).
  bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The window's messages turned into control events; returns whether it was handled.
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Called by a message loop for every message before translation; true when a manager
  // consumed it.
  static bool FilterBeforeDispatch(MSG* message);

  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const { return mouseCaptured_; }

 private:
  struct TimerRecord {
    CControlUI* control;
    UINT id;
    HWND window;
    UINT_PTR localId;
    bool killed;
  };
  struct ImageDeleter {
    void operator()(UIImageInfo* image) const;
  };
  using ImageHolder = std::unique_ptr<UIImageInfo, ImageDeleter>;

  static std::vector<CUIManager*>& Managers();
  // Paint steps of WM_PAINT (UIManagerPaint.cpp).
  void PaintWindow();
  void PrintClient(HDC dc, LPARAM flags);
  void ReleaseBuffers();
  void PrintNativeChildren(HDC dc);
  void ComposeLayered(const RECT& paint, const RECT& client);
  bool UpdateLayeredWindowPicture(const RECT& client);
  void ShowToolTip(CControlUI* control);
  void HideToolTip();
  bool ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  UIEvent MakeEvent(int type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SendEvent(CControlUI* target, int type, WPARAM wParam = 0, LPARAM lParam = 0);
  void SetWindowFocus();
  // Sender's delegates, then every receiver; false when the manager was destroyed meanwhile.
  bool DeliverNotification(UINotification& notification);
  void DestroyQueuedControls();
  void DropFocusWithEvents();
  // Clears focus, hover, pressed and key target when they lie in the subtree.
  void ReleaseInputTargets(CControlUI* subtree);

  // Cleared by the destructor; handlers that may destroy the manager keep a copy.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::wstring name_;
  HWND window_ = nullptr;
  HDC windowDC_ = nullptr;
  // Each bitmap is selected into its DC only while in use, so either may go first.
  Utils::ScopedMemoryDC offscreenDC_;
  Utils::ScopedMemoryDC backgroundDC_;
  Utils::ScopedBitmap offscreenBitmap_;
  BYTE* offscreenBits_ = nullptr;
  Utils::ScopedBitmap backgroundBitmap_;
  BYTE* backgroundBits_ = nullptr;
  SIZE bufferSize_ = {};
  int toolTipWindowWidth_ = -1;
  HWND toolTipWindow_ = nullptr;
  TOOLINFOW toolInfo_ = {};
  std::wstring toolTipText_;
  UINT hoverTime_ = 1000;
  bool showDirty_ = false;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hover_ = nullptr;
  CControlUI* pressed_ = nullptr;
  CControlUI* keyTarget_ = nullptr;
  POINT lastMousePos_ = {-1, -1};
  SIZE minInfo_ = {};
  SIZE maxInfo_ = {};
  SIZE initialSize_ = {};
  RECT sizeBox_ = {};
  SIZE roundCorner_ = {};
  RECT caption_ = {};
  UINT_PTR lastTimerId_ = 0x1000;
  bool noActivate_ = false;
  bool firstLayout_ = true;
  bool updateNeeded_ = false;
  bool focusNeeded_ = false;
  bool offscreenPaint_ = true;
  BYTE opacity_ = 255;
  bool layered_ = false;
  RECT layeredInset_ = {};
  bool layeredChanged_ = false;
  RECT layeredUpdate_ = {};
  UIDrawInfo layeredImage_;
  bool mouseTracking_ = false;
  bool mouseCaptured_ = false;
  bool painting_ = false;
  bool virtualWindowsUsed_ = false;
  bool asyncPosted_ = false;
  bool forceShared_ = false;
  std::vector<INotifyUI*> notifiers_;
  std::vector<TimerRecord> timers_;
  std::vector<CControlUI*> delayedCleanup_;
  std::vector<CControlUI*> postPaintControls_;
  std::vector<CControlUI*> mouseLeaveControls_;
  std::map<std::wstring, std::wstring> windowCustomAttributes_;
  std::map<std::wstring, std::vector<CControlUI*>> optionGroups_;
  std::vector<IMessageFilterUI*> preMessageFilters_;
  std::vector<IMessageFilterUI*> messageFilters_;
  std::vector<HWND> nativeWindows_;
  std::vector<CControlUI*> nativeWindowControls_;
  std::vector<UINotification> asyncNotifications_;
  std::map<std::wstring, CControlUI*> nameMap_;
  DWORD defaultColors_[5];
  std::unique_ptr<UIFontInfo> defaultFont_;
  std::map<std::wstring, std::unique_ptr<UIFontInfo>> fonts_;
  std::map<std::wstring, ImageHolder> images_;
  std::map<std::wstring, std::wstring> defaultAttributes_;
  std::vector<ITranslateAccelerator*> translators_;
};

}  // namespace SkinUI
