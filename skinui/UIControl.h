// CControlUI: the windowless rectangle every element of a skinned window is built from.
// It belongs to one CUIManager, sits in a parent container, is placed by its parent's
// layout, paints itself in a fixed order (background colour, background image, state
// image, text, border) and reports user actions as notifications through the manager.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "skinui/UIDelegate.h"
#include "skinui/UIDrawInfo.h"
#include "skinui/UIEvent.h"

namespace SkinUI {

class CUIManager;
class CControlUI;

// Visitor of SearchControl: returns a control to end the search, null to go on.
using FindControlProc = CControlUI*(CALLBACK*)(CControlUI* control, LPVOID data);

// SearchControl flags.
enum UIFindFlags : UINT {
  FindAll = 0x00000000,
  FindVisible = 0x00000001,
  FindEnabled = 0x00000002,
  FindHitTest = 0x00000004,  // data points to a POINT in client coordinates
  FindUpdateTest = 0x00000008,
  FindTopFirst = 0x00000010,
  FindMeFirst = 0x80000000,
};

// ControlFlags bits.
enum UIControlFlags : UINT {
  ControlFlagTabStop = 0x00000001,
  ControlFlagSetCursor = 0x00000002,
};

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // Callbacks run by the control; the argument is what the point of call has at hand.
  DelegateList<CControlUI*> OnInit;
  DelegateList<CControlUI*> OnDestroy;
  DelegateList<CControlUI*> OnSize;
  DelegateList<UIEvent&> OnEvent;
  DelegateList<UINotification&> OnNotify;
  DelegateList<HDC, const RECT&> OnPaint;
  DelegateList<HDC, const RECT&> OnPostPaint;

  virtual void DeleteSelf();
  virtual ~CControlUI();
  virtual const std::wstring& GetName() const;
  virtual void SetName(const std::wstring& name);
  virtual std::wstring ClassName() const;
  virtual void* FindInterface(const std::wstring& name);
  virtual UINT ControlFlags() const;
  virtual HWND NativeWindow() const;
  virtual bool Activate();
  virtual CUIManager* Manager() const;
  virtual void AttachManager(CUIManager* manager, CControlUI* parent, bool initialize = true);
  virtual CControlUI* Parent() const;
  virtual CControlUI* Cover() const;
  virtual void SetCover(CControlUI* cover);
  virtual std::wstring GetText() const;
  virtual void SetText(const std::wstring& text);

  virtual const RECT& Bounds() const;
  virtual RECT RelativeBounds() const;
  virtual RECT ClientBounds() const;
  virtual void SetBounds(const RECT& rect, bool invalidate = true);
  virtual void MoveBy(int dx, int dy, bool invalidate = true);
  virtual int Width() const;
  virtual int Height() const;
  virtual int X() const;
  virtual int Y() const;
  virtual RECT Padding() const;
  virtual void SetPadding(const RECT& padding);
  virtual SIZE FloatOffset() const;
  virtual void SetFloatOffset(SIZE offset);
  virtual const double* FloatAnchors() const;  // left, top, right, bottom
  virtual void SetFloatAnchors(double left, double top, double right, double bottom);
  virtual int FixedWidth() const;
  virtual void SetFixedWidth(int width);
  virtual int FixedHeight() const;
  virtual void SetFixedHeight(int height);
  virtual int MinWidth() const;
  virtual void SetMinWidth(int width);
  virtual int MaxWidth() const;
  virtual void SetMaxWidth(int width);
  virtual int MinHeight() const;
  virtual void SetMinHeight(int height);
  virtual int MaxHeight() const;
  virtual void SetMaxHeight(int height);

  virtual std::wstring ToolTip() const;
  virtual void SetToolTip(const std::wstring& text);
  virtual void SetToolTipWidth(int width);
  virtual int ToolTipWidth() const;
  virtual wchar_t Shortcut() const;
  virtual void SetShortcut(wchar_t ch);
  virtual bool UsesContextMenu() const;
  virtual void SetUsesContextMenu(bool use);
  virtual const std::wstring& UserData() const;
  virtual void SetUserData(const std::wstring& text);
  virtual int Tag() const;
  virtual void SetTag(int tag);

  virtual bool IsVisible() const;
  virtual void SetVisible(bool visible = true);
  virtual void SetParentVisible(bool visible);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool enabled = true);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool enabled = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool enabled = true);
  virtual bool HasFocus() const;
  virtual void TakeFocus();
  virtual bool IsFloat() const;
  virtual void SetFloat(bool floating = true);

  virtual CControlUI* SearchControl(FindControlProc proc, LPVOID data, UINT flags);

  virtual void Initialize();
  virtual void OnInitialize();
  virtual void DispatchEvent(UIEvent& event);
  virtual void HandleEvent(UIEvent& event);

  virtual std::wstring QueryAttribute(const std::wstring& name) const;
  virtual void ApplyAttribute(const std::wstring& name, const std::wstring& value);
  virtual std::wstring QueryAttributeString() const;
  virtual void ApplyAttributeString(const std::wstring& list);

  virtual SIZE MeasureSize(SIZE available);

  virtual bool Paint(HDC dc, const RECT& area, CControlUI* stop);
  virtual bool PaintSelf(HDC dc, const RECT& area, CControlUI* stop);
  virtual void PaintBackColor(HDC dc);
  virtual void PaintBackImage(HDC dc);
  virtual void PaintStateImage(HDC dc);
  virtual void PaintText(HDC dc);
  virtual void PaintBorder(HDC dc);
  virtual void PaintAfter(HDC dc, const RECT& area);

  // ---- Non-virtual ----

  // Repaints the item rectangle, cut to what the ancestors show; only while visible.
  void Invalidate();
  bool IsUpdateNeeded() const { return updateNeeded_; }
  // Marks this control for layout and asks the manager for a layout pass.
  void RequestLayout();
  // The same for the parent (or this control when it has none).
  void RequestParentLayout();

  // Attributes the control does not know. Adding is ignored for an empty name or value
  // and for a name that is already there.
  void AddCustomAttribute(const std::wstring& name, const std::wstring& value);
  const std::wstring* GetCustomAttribute(const std::wstring& name) const;

  void SetVirtualWindow(const std::wstring& name);
  // This control's virtual window, else the nearest ancestor's, else empty.
  std::wstring VirtualWindow() const;

  DWORD BkColor() const { return bkColor_; }
  void SetBkColor(DWORD color);
  DWORD BkColor2() const { return bkColor2_; }
  void SetBkColor2(DWORD color);
  DWORD BkColor3() const { return bkColor3_; }
  void SetBkColor3(DWORD color);
  DWORD BorderColor() const { return borderColor_; }
  void SetBorderColor(DWORD color);
  DWORD FocusBorderColor() const { return focusBorderColor_; }
  void SetFocusBorderColor(DWORD color);
  const RECT& BorderSize() const { return borderSize_; }
  void SetBorderSize(const RECT& size);
  void SetBorderSize(int size);
  SIZE BorderRound() const { return borderRound_; }
  void SetBorderRound(SIZE round);
  int BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int style) { borderStyle_ = style; }
  bool IsColorAdjusting() const { return colorAdjusting_; }
  const std::wstring& BkImage() const { return bkImage_.descriptor; }
  void SetBkImage(const std::wstring& descriptor);
  UIDrawInfo& BkImageInfo() { return bkImage_; }
  UIDrawInfo& ForeImageInfo() { return foreImage_; }
  const RECT& PaintRect() const { return paintRect_; }

 protected:
  // rect cut by every ancestor's rectangle; false when an ancestor is hidden or nothing
  // is left to show.
  bool ClipByAncestors(const RECT& rect, RECT& clipped) const;
  // Draws a parsed image attribute into the item rectangle within the paint rectangle.
  bool DrawImage(HDC dc, UIDrawInfo& info);

  CUIManager* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  CControlUI* cover_ = nullptr;
  std::wstring virtualWindow_;
  std::wstring name_;
  bool updateNeeded_ = true;
  bool usesContextMenu_ = false;
  RECT item_ = {};
  RECT padding_ = {};
  SIZE floatOffset_ = {};
  SIZE fixedSize_ = {};
  SIZE minSize_ = {};
  SIZE maxSize_ = {9999, 9999};
  bool visible_ = true;
  bool parentVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool focused_ = false;
  bool float_ = false;
  double floatAnchors_[4] = {0, 0, 0, 0};
  bool inSizeCallback_ = false;
  std::wstring text_;
  std::wstring toolTip_;
  wchar_t shortcut_ = 0;
  std::wstring userData_;
  int tag_ = 0;
  DWORD bkColor_ = 0;
  DWORD bkColor2_ = 0;
  DWORD bkColor3_ = 0;
  UIDrawInfo bkImage_;
  UIDrawInfo foreImage_;
  DWORD borderColor_ = 0;
  DWORD focusBorderColor_ = 0;
  bool colorAdjusting_ = false;
  int borderStyle_ = PS_SOLID;
  int toolTipWidth_ = 300;
  SIZE borderRound_ = {};
  RECT paintRect_ = {};
  RECT borderSize_ = {};
  std::map<std::wstring, std::wstring> customAttributes_;
};

}  // namespace SkinUI
