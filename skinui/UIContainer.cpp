#include "skinui/UIContainer.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

bool Meets(const RECT& a, const RECT& b) {
  RECT common;
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children die with their container, at once: queued for later they would outlive it.
  for (CControlUI* child : items_) child->DeleteSelf();
  items_.clear();
  if (verticalBar_ != nullptr) verticalBar_->DeleteSelf();
  if (horizontalBar_ != nullptr) horizontalBar_->DeleteSelf();
}

std::wstring CContainerUI::ClassName() const { return L"Container"; }

void* CContainerUI::FindInterface(const std::wstring& name) {
  if (name == L"IContainer") return static_cast<IContainerUI*>(this);
  if (name == L"Container") return static_cast<CContainerUI*>(this);
  return CControlUI::FindInterface(name);
}

CControlUI* CContainerUI::ItemAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[index];
}

int CContainerUI::ItemIndex(CControlUI* control) const {
  auto found = std::find(items_.begin(), items_.end(), control);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  int current = ItemIndex(control);
  // Checked before anything moves, so a bad index cannot lose the control.
  if (current < 0 || index < 0 || index >= Count()) return false;
  RequestLayout();
  items_.erase(items_.begin() + current);
  items_.insert(items_.begin() + index, control);
  return true;
}

bool CContainerUI::MoveItems(CControlUI* first, int count, int newStart) {
  int start = ItemIndex(first);
  if (start < 0 || count <= 0 || start + count > Count() || newStart < 0 ||
      newStart + count > Count())
    return false;
  std::vector<CControlUI*> run(items_.begin() + start, items_.begin() + start + count);
  items_.erase(items_.begin() + start, items_.begin() + start + count);
  items_.insert(items_.begin() + newStart, run.begin(), run.end());
  RequestLayout();
  return true;
}

int CContainerUI::Count() const { return static_cast<int>(items_.size()); }

// Not through the virtual AddAt: a layout that adds its own rules to both must not run
// them twice for one child.
bool CContainerUI::Add(CControlUI* control) { return CContainerUI::AddAt(control, Count()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || index < 0 || index > Count()) return false;
  if (manager_ != nullptr) manager_->AdoptControls(control, this);
  // Without a manager the child still needs its parent: floating children are placed
  // relative to it.
  else control->AttachManager(nullptr, this, false);
  if (IsVisible()) RequestLayout();
  else control->SetParentVisible(false);
  items_.insert(items_.begin() + index, control);
  return true;
}

void CContainerUI::DestroyChild(CControlUI* control) {
  if (!autoDestroy_) return;
  if (delayedDestroy_ && manager_ != nullptr) manager_->QueueForCleanup(control);
  else control->DeleteSelf();
}

bool CContainerUI::Remove(CControlUI* control, bool keep) {
  int index = ItemIndex(control);
  if (index < 0) return false;
  RequestLayout();
  items_.erase(items_.begin() + index);
  if (!keep) DestroyChild(control);
  return true;
}

bool CContainerUI::RemoveAt(int index, bool keep) {
  CControlUI* control = ItemAt(index);
  return control != nullptr && Remove(control, keep);
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> children;
  children.swap(items_);
  for (CControlUI* child : children) DestroyChild(child);
  RequestLayout();
}

void CContainerUI::AttachManager(CUIManager* manager, CControlUI* parent, bool initialize) {
  for (CControlUI* child : items_) child->AttachManager(manager, this, initialize);
  if (verticalBar_ != nullptr) verticalBar_->AttachManager(manager, this, initialize);
  if (horizontalBar_ != nullptr) horizontalBar_->AttachManager(manager, this, initialize);
  CControlUI::AttachManager(manager, parent, initialize);
}

RECT CContainerUI::InnerRect() const {
  RECT rc = item_;
  rc.left += inset_.left;
  rc.top += inset_.top;
  rc.right -= inset_.right;
  rc.bottom -= inset_.bottom;
  if (IsVisibleBar(verticalBar_)) rc.right -= verticalBar_->FixedWidth();
  if (IsVisibleBar(horizontalBar_)) rc.bottom -= horizontalBar_->FixedHeight();
  return rc;
}

RECT CContainerUI::ClientBounds() const { return InnerRect(); }

void CContainerUI::SetBounds(const RECT& rect, bool invalidate) {
  CControlUI::SetBounds(rect, invalidate);
  if (items_.empty()) return;
  RECT client = InnerRect();
  if (IsVisibleBar(verticalBar_)) {
    client.top -= verticalBar_->ScrollPos();
    client.bottom -= verticalBar_->ScrollPos();
    client.bottom += verticalBar_->ScrollRange();
  }
  if (IsVisibleBar(horizontalBar_)) {
    client.left -= horizontalBar_->ScrollPos();
    client.right -= horizontalBar_->ScrollPos();
    client.right += horizontalBar_->ScrollRange();
  }
  for (int i = 0; i < Count(); ++i) {
    CControlUI* child = items_[i];
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    RECT placed = {client.left, client.top,
                   client.left + Clamp(client.right - client.left, child->MinWidth(), child->MaxWidth()),
                   client.top + Clamp(client.bottom - client.top, child->MinHeight(), child->MaxHeight())};
    child->SetBounds(placed, false);
  }
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (CControlUI* child : items_) child->SetParentVisible(IsVisible());
}

void CContainerUI::SetParentVisible(bool visible) {
  CControlUI::SetParentVisible(visible);
  for (CControlUI* child : items_) child->SetParentVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enabled) {
  if (verticalBar_ != nullptr) verticalBar_->SetMouseEnabled(enabled);
  if (horizontalBar_ != nullptr) horizontalBar_->SetMouseEnabled(enabled);
  CControlUI::SetMouseEnabled(enabled);
}

CControlUI* CContainerUI::SearchControl(FindControlProc proc, LPVOID data, UINT flags) {
  if ((flags & FindVisible) && !IsVisible()) return nullptr;
  if ((flags & FindEnabled) && !IsEnabled()) return nullptr;
  const bool hitTest = (flags & FindHitTest) != 0;
  if (hitTest && !::PtInRect(&item_, *static_cast<const POINT*>(data))) return nullptr;
  if ((flags & FindUpdateTest) && proc(this, data) != nullptr) return nullptr;

  const bool offer = !hitTest || IsMouseEnabled();
  if (flags & FindMeFirst) {
    CControlUI* found = offer ? proc(this, data) : nullptr;
    if (found != nullptr) return found;
  }
  if (cover_ != nullptr && (!hitTest || mouseChildEnabled_)) {
    CControlUI* found = cover_->SearchControl(proc, data, flags);
    if (found != nullptr) return found;
  }
  for (CScrollBarUI* bar : {verticalBar_, horizontalBar_}) {
    if (bar == nullptr || (hitTest && !IsMouseEnabled())) continue;
    CControlUI* found = bar->SearchControl(proc, data, flags);
    if (found != nullptr) return found;
  }
  if (!hitTest || mouseChildEnabled_) {
    RECT client = InnerRect();
    const bool topFirst = (flags & FindTopFirst) != 0;
    for (int n = 0; n < Count(); ++n) {
      CControlUI* child = items_[topFirst ? Count() - 1 - n : n];
      CControlUI* found = child->SearchControl(proc, data, flags);
      if (found == nullptr) continue;
      // A child showing outside the client area (under the inset or a bar) is not hit
      // there, unless it floats.
      if (!hitTest || found->IsFloat() || ::PtInRect(&client, *static_cast<const POINT*>(data)))
        return found;
    }
  }
  if (!(flags & FindMeFirst) && offer) return proc(this, data);
  return nullptr;
}

void CContainerUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) parent_->HandleEvent(event);
    else CControlUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case EventSetFocus:
      focused_ = true;
      return;
    case EventKillFocus:
      focused_ = false;
      return;
    case EventKeyDown: {
      if (!IsKeyboardEnabled() || !IsEnabled()) break;
      if (IsVisibleBar(verticalBar_) && verticalBar_->IsEnabled()) {
        switch (event.key) {
          case VK_DOWN: LineDown(); return;
          case VK_UP: LineUp(); return;
          case VK_NEXT: PageDown(); return;
          case VK_PRIOR: PageUp(); return;
          case VK_HOME: ScrollToTop(); return;
          case VK_END: ScrollToBottom(); return;
          default: break;
        }
      } else if (IsVisibleBar(horizontalBar_) && horizontalBar_->IsEnabled()) {
        switch (event.key) {
          case VK_DOWN: LineRight(); return;
          case VK_UP: LineLeft(); return;
          case VK_NEXT: PageRight(); return;
          case VK_PRIOR: PageLeft(); return;
          case VK_HOME: ScrollToLeftEnd(); return;
          case VK_END: ScrollToRightEnd(); return;
          default: break;
        }
      }
      break;
    }
    case EventScrollWheel: {
      bool vertical = IsVisibleBar(verticalBar_) && verticalBar_->IsEnabled();
      bool horizontal = IsVisibleBar(horizontalBar_) && horizontalBar_->IsEnabled();
      bool overHorizontal =
          horizontal && ::PtInRect(&horizontalBar_->Bounds(), event.mouse) != FALSE;
      if (horizontal && (overHorizontal || !vertical)) {
        if (event.wParam == 0) LineLeft();
        else LineRight();
        return;
      }
      if (vertical) {
        if (event.wParam == 0) LineUp();
        else LineDown();
        return;
      }
      break;
    }
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

void CContainerUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"inset") {
    SetInset(ParseRect(value));
  } else if (name == L"mousechild") {
    SetMouseChildEnabled(ParseBool(value));
  } else if (name == L"vscrollbar") {
    EnableScrollBar(ParseBool(value), horizontalBar_ != nullptr);
  } else if (name == L"vscrollbarstyle") {
    EnableScrollBar(true, horizontalBar_ != nullptr);
    verticalBar_->ApplyAttributeString(value);
  } else if (name == L"hscrollbar") {
    EnableScrollBar(verticalBar_ != nullptr, ParseBool(value));
  } else if (name == L"hscrollbarstyle") {
    EnableScrollBar(verticalBar_ != nullptr, true);
    horizontalBar_->ApplyAttributeString(value);
  } else if (name == L"childpadding") {
    SetChildPadding(ParseInteger(value));
  } else if (name == L"childalign") {
    if (value == L"left") SetChildAlign(AlignLeft);
    else if (value == L"center") SetChildAlign(AlignCenter);
    else if (value == L"right") SetChildAlign(AlignRight);
  } else if (name == L"childvalign") {
    if (value == L"top") SetChildVAlign(VAlignTop);
    else if (value == L"vcenter") SetChildVAlign(VAlignCenter);
    else if (value == L"bottom") SetChildVAlign(VAlignBottom);
  } else {
    CControlUI::ApplyAttribute(name, value);
  }
}

bool CContainerUI::PaintSelf(HDC dc, const RECT& area, CControlUI* stop) {
  RECT outer;
  if (!::IntersectRect(&outer, &area, &item_)) return true;
  CRenderClip clip;
  CUIRender::ClipToRect(dc, outer, clip);
  CControlUI::PaintSelf(dc, area, stop);

  if (!items_.empty()) {
    RECT client = InnerRect();
    RECT inner;
    if (!::IntersectRect(&inner, &area, &client)) {
      for (CControlUI* child : items_) {
        if (!child->IsVisible() || !child->IsFloat()) continue;
        if (!Meets(area, child->Bounds()) || !Meets(item_, child->Bounds())) continue;
        if (!child->Paint(dc, area, stop)) return false;
      }
    } else {
      CRenderClip childClip;
      CUIRender::ClipToRect(dc, inner, childClip);
      for (CControlUI* child : items_) {
        if (!child->IsVisible() || !Meets(area, child->Bounds())) continue;
        if (child->IsFloat()) {
          // Floating children may reach into the inset: they get the outer clip.
          if (!Meets(item_, child->Bounds())) continue;
          childClip.SuspendClip();
          bool go = child->Paint(dc, area, stop);
          childClip.ResumeClip();
          if (!go) return false;
        } else if (!child->Paint(dc, area, stop)) {
          return false;
        }
      }
    }
  }
  for (CScrollBarUI* bar : {verticalBar_, horizontalBar_}) {
    if (!IsVisibleBar(bar) || !Meets(area, bar->Bounds())) continue;
    if (!bar->Paint(dc, area, stop)) return false;
  }
  return true;
}

RECT CContainerUI::Inset() const { return inset_; }

void CContainerUI::SetInset(const RECT& inset) {
  inset_ = inset;
  RequestLayout();
}

int CContainerUI::ChildPadding() const { return childPadding_; }

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = std::max(padding, 0);
  RequestLayout();
}

int CContainerUI::ChildAlign() const { return childAlign_; }

void CContainerUI::SetChildAlign(int align) {
  childAlign_ = align;
  RequestLayout();
}

int CContainerUI::ChildVAlign() const { return childVAlign_; }

void CContainerUI::SetChildVAlign(int align) {
  childVAlign_ = align;
  RequestLayout();
}

bool CContainerUI::IsAutoDestroy() const { return autoDestroy_; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return delayedDestroy_; }
void CContainerUI::SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return mouseChildEnabled_; }
void CContainerUI::SetMouseChildEnabled(bool enabled) { mouseChildEnabled_ = enabled; }

int CContainerUI::NearestSelectableItem(int index, bool forward) const {
  auto selectable = [this](int i) {
    CControlUI* child = items_[i];
    return child->FindInterface(L"IListItem") != nullptr && child->IsVisible() &&
           child->IsEnabled();
  };
  int count = Count();
  if (count == 0) return -1;
  if (forward) {
    for (int i = std::max(index, 0); i < count; ++i)
      if (selectable(i)) return i;
  } else {
    for (int i = std::min(index, count - 1); i >= 0; --i)
      if (selectable(i)) return i;
  }
  for (int i = 0; i < count; ++i)
    if (selectable(i)) return i;
  return -1;
}

SIZE CContainerUI::ScrollPos() const {
  SIZE pos = {};
  if (IsVisibleBar(horizontalBar_)) pos.cx = horizontalBar_->ScrollPos();
  if (IsVisibleBar(verticalBar_)) pos.cy = verticalBar_->ScrollPos();
  return pos;
}

SIZE CContainerUI::ScrollRange() const {
  SIZE range = {};
  if (IsVisibleBar(horizontalBar_)) range.cx = horizontalBar_->ScrollRange();
  if (IsVisibleBar(verticalBar_)) range.cy = verticalBar_->ScrollRange();
  return range;
}

void CContainerUI::SetScrollPos(SIZE pos) {
  int dx = 0;
  int dy = 0;
  if (IsVisibleBar(verticalBar_)) {
    int old = verticalBar_->ScrollPos();
    verticalBar_->SetScrollPos(pos.cy);
    dy = verticalBar_->ScrollPos() - old;
  }
  if (IsVisibleBar(horizontalBar_)) {
    int old = horizontalBar_->ScrollPos();
    horizontalBar_->SetScrollPos(pos.cx);
    dx = horizontalBar_->ScrollPos() - old;
  }
  if (dx == 0 && dy == 0) return;
  for (CControlUI* child : items_) {
    if (child->IsVisible() && !child->IsFloat()) child->MoveBy(-dx, -dy, false);
  }
  Invalidate();
}

int CContainerUI::VerticalLineSize() const {
  if (verticalBar_ != nullptr && verticalBar_->LineSize() > 1) return verticalBar_->LineSize();
  int fontHeight = 0;
  if (manager_ != nullptr) {
    UIFontInfo* font = manager_->DefaultFontInfo();
    if (font != nullptr) fontHeight = font->metrics.tmHeight;
  }
  return fontHeight + 8;
}

void CContainerUI::ScrollBy(int dx, int dy) {
  SIZE pos = ScrollPos();
  pos.cx += dx;
  pos.cy += dy;
  SetScrollPos(pos);
}

int CContainerUI::HorizontalLineSize() const {
  if (horizontalBar_ != nullptr && horizontalBar_->LineSize() > 1) return horizontalBar_->LineSize();
  return 8;
}

int CContainerUI::PageWidth() const {
  RECT client = InnerRect();
  return client.right - client.left;
}

int CContainerUI::PageHeight() const {
  RECT client = InnerRect();
  return client.bottom - client.top;
}

void CContainerUI::LineUp() { ScrollBy(0, -VerticalLineSize()); }
void CContainerUI::LineDown() { ScrollBy(0, VerticalLineSize()); }
void CContainerUI::PageUp() { ScrollBy(0, -PageHeight()); }
void CContainerUI::PageDown() { ScrollBy(0, PageHeight()); }

void CContainerUI::ScrollToTop() { SetScrollPos(SIZE{ScrollPos().cx, 0}); }

void CContainerUI::ScrollToBottom() { SetScrollPos(SIZE{ScrollPos().cx, ScrollRange().cy}); }

void CContainerUI::LineLeft() { ScrollBy(-HorizontalLineSize(), 0); }
void CContainerUI::LineRight() { ScrollBy(HorizontalLineSize(), 0); }
void CContainerUI::PageLeft() { ScrollBy(-PageWidth(), 0); }
void CContainerUI::PageRight() { ScrollBy(PageWidth(), 0); }

void CContainerUI::ScrollToLeftEnd() { SetScrollPos(SIZE{0, ScrollPos().cy}); }

void CContainerUI::ScrollToRightEnd() { SetScrollPos(SIZE{ScrollRange().cx, ScrollPos().cy}); }

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  auto makeBar = [this](bool horizontalBar) {
    auto* bar = new CScrollBarUI();
    bar->SetHorizontal(horizontalBar);
    bar->SetOwner(this);
    // Hidden until the content needs it.
    bar->SetVisible(false);
    bar->AttachManager(manager_, this, false);
    if (manager_ != nullptr) {
      std::wstring defaults = manager_->GetDefaultAttributes(horizontalBar ? L"HScrollBar" : L"VScrollBar");
      if (!defaults.empty()) bar->ApplyAttributeString(defaults);
    }
    return bar;
  };
  if (vertical && verticalBar_ == nullptr) {
    verticalBar_ = makeBar(false);
  } else if (!vertical && verticalBar_ != nullptr) {
    verticalBar_->DeleteSelf();
    verticalBar_ = nullptr;
  }
  if (horizontal && horizontalBar_ == nullptr) {
    horizontalBar_ = makeBar(true);
  } else if (!horizontal && horizontalBar_ != nullptr) {
    horizontalBar_->DeleteSelf();
    horizontalBar_ = nullptr;
  }
  RequestLayout();
}

CScrollBarUI* CContainerUI::VerticalScrollBar() const { return verticalBar_; }
CScrollBarUI* CContainerUI::HorizontalScrollBar() const { return horizontalBar_; }

void CContainerUI::PlaceFloatChild(int index) {
  CControlUI* child = ItemAt(index);
  if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
  int width = item_.right - item_.left;
  int height = item_.bottom - item_.top;
  const double* anchors = child->FloatAnchors();
  SIZE offset = child->FloatOffset();
  RECT relative = {static_cast<int>(width * anchors[0]) + offset.cx,
                   static_cast<int>(height * anchors[1]) + offset.cy,
                   static_cast<int>(width * anchors[2]) + offset.cx + child->FixedWidth(),
                   static_cast<int>(height * anchors[3]) + offset.cy + child->FixedHeight()};
  child->SetBounds(relative, false);
}

void CContainerUI::UpdateScrollBars(const RECT& client, int neededWidth, int neededHeight) {
  bool again = false;
  auto update = [&again](CScrollBarUI* bar, int needed, int size) {
    if (bar == nullptr) return;
    if (needed > size) {
      int oldPos = bar->ScrollPos();
      bar->SetScrollRange(needed - size);
      if (bar->ScrollPos() != oldPos) again = true;
      if (!bar->IsVisible()) {
        bar->SetVisible(true);
        again = true;
      }
    } else if (bar->IsVisible() || bar->ScrollPos() != 0) {
      bar->SetScrollRange(0);
      bar->SetVisible(false);
      again = true;
    }
  };
  update(verticalBar_, neededHeight, client.bottom - client.top);
  update(horizontalBar_, neededWidth, client.right - client.left);

  if (again && !relayingOut_) {
    // The client area changed with the bars: lay the children out once more for it.
    relayingOut_ = true;
    SetBounds(IsFloat() && parent_ != nullptr ? RelativeBounds() : item_, false);
    relayingOut_ = false;
    return;
  }
  RECT inner = InnerRect();
  if (IsVisibleBar(verticalBar_)) {
    verticalBar_->SetBounds(
        RECT{inner.right, inner.top, inner.right + verticalBar_->FixedWidth(), inner.bottom}, false);
  }
  if (IsVisibleBar(horizontalBar_)) {
    horizontalBar_->SetBounds(
        RECT{inner.left, inner.bottom, inner.right, inner.bottom + horizontalBar_->FixedHeight()},
        false);
  }
}

}  // namespace SkinUI
