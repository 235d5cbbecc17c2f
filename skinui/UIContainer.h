// CContainerUI: a control that owns an ordered list of children and places them inside
// its rectangle. The plain container gives every child the whole client area (one on top
// of the other); the vertical, horizontal and tab layouts derive from it.
#pragma once

#include <vector>

#include "skinui/UIControl.h"
#include "skinui/UIScrollBar.h"

namespace SkinUI {

// The child list of every container, reachable through FindInterface("IContainer").
class IContainerUI {
 public:
  virtual CControlUI* ItemAt(int index) const = 0;
  virtual int ItemIndex(CControlUI* control) const = 0;
  virtual bool SetItemIndex(CControlUI* control, int index) = 0;
  virtual bool MoveItems(CControlUI* first, int count, int newStart) = 0;
  virtual int Count() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  // With keep the control is only taken out, not destroyed.
  virtual bool Remove(CControlUI* control, bool keep = false) = 0;
  virtual bool RemoveAt(int index, bool keep = false) = 0;
  virtual void RemoveAll() = 0;

 protected:
  ~IContainerUI() = default;
};

// Child alignment values.
enum UIChildAlign { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
enum UIChildVAlign { VAlignTop = 0, VAlignCenter = 4, VAlignBottom = 8 };

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  std::wstring ClassName() const override;
  void* FindInterface(const std::wstring& name) override;

  CControlUI* ItemAt(int index) const override;
  int ItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;
  bool MoveItems(CControlUI* first, int count, int newStart) override;
  int Count() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keep = false) override;
  bool RemoveAt(int index, bool keep = false) override;
  void RemoveAll() override;

  void AttachManager(CUIManager* manager, CControlUI* parent, bool initialize = true) override;
  RECT ClientBounds() const override;
  void SetBounds(const RECT& rect, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetParentVisible(bool visible) override;
  void SetMouseEnabled(bool enabled = true) override;
  CControlUI* SearchControl(FindControlProc proc, LPVOID data, UINT flags) override;
  void HandleEvent(UIEvent& event) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  bool PaintSelf(HDC dc, const RECT& area, CControlUI* stop) override;

  virtual RECT Inset() const;
  virtual void SetInset(const RECT& inset);
  virtual int ChildPadding() const;
  virtual void SetChildPadding(int padding);
  virtual int ChildAlign() const;
  virtual void SetChildAlign(int align);
  virtual int ChildVAlign() const;
  virtual void SetChildVAlign(int align);
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool autoDestroy);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool delayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool enabled = true);
  // Nearest child at or after (forward) or at or before the index that is a visible,
  // enabled list item; else the first such child from the start; -1 when there is none.
  virtual int NearestSelectableItem(int index, bool forward) const;
  // x from the horizontal bar, y from the vertical one; 0 for a missing or hidden bar.
  virtual SIZE ScrollPos() const;
  virtual SIZE ScrollRange() const;
  // Moves the bars and shifts every non-floating child by the change.
  virtual void SetScrollPos(SIZE pos);
  virtual void LineUp();
  virtual void LineDown();
  virtual void PageUp();
  virtual void PageDown();
  virtual void ScrollToTop();
  virtual void ScrollToBottom();
  virtual void LineLeft();
  virtual void LineRight();
  virtual void PageLeft();
  virtual void PageRight();
  virtual void ScrollToLeftEnd();
  virtual void ScrollToRightEnd();
  virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
  virtual CScrollBarUI* VerticalScrollBar() const;
  virtual CScrollBarUI* HorizontalScrollBar() const;
  // Places a visible floating child by its offset, size and anchors in this container.
  virtual void PlaceFloatChild(int index);
  // A bar shows when the needed size exceeds the client size, with the difference as its
  // range, and hides otherwise. When a bar appears, disappears or its position has to be
  // pulled back, the container is laid out once more with the new client area.
  virtual void UpdateScrollBars(const RECT& client, int neededWidth, int neededHeight);

 protected:
  // The item rectangle minus the inset and the visible bars.
  RECT InnerRect() const;
  void DestroyChild(CControlUI* control);
  bool IsVisibleBar(const CScrollBarUI* bar) const { return bar != nullptr && bar->IsVisible(); }
  int VerticalLineSize() const;
  // One line to the side: the bar's line size when it has one, else 8 pixels.
  int HorizontalLineSize() const;
  // A page is the client area's size along the scrolling axis.
  int PageWidth() const;
  int PageHeight() const;
  void ScrollBy(int dx, int dy);

  std::vector<CControlUI*> items_;
  RECT inset_ = {};
  int childPadding_ = 0;
  int childAlign_ = AlignLeft;
  int childVAlign_ = VAlignTop;
  bool autoDestroy_ = true;
  bool delayedDestroy_ = true;
  bool mouseChildEnabled_ = true;
  CScrollBarUI* verticalBar_ = nullptr;
  CScrollBarUI* horizontalBar_ = nullptr;

 private:
  bool relayingOut_ = false;
};

}  // namespace SkinUI
