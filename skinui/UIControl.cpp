#include "skinui/UIControl.h"

#include <algorithm>

#include "skinui/AttributeValue.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "utils/StringUtil.h"

namespace SkinUI {

namespace {

RECT JoinRects(const RECT& a, const RECT& b) {
  RECT joined;
  if (::IsRectEmpty(&a)) return b;
  if (::IsRectEmpty(&b)) return a;
  ::UnionRect(&joined, &a, &b);
  return joined;
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

CControlUI::CControlUI() = default;

void CControlUI::DeleteSelf() { delete this; }

CControlUI::~CControlUI() {
  if (cover_ != nullptr) {
    cover_->DeleteSelf();
    cover_ = nullptr;
  }
  OnDestroy.Invoke(this);
  if (manager_ != nullptr) manager_->ForgetControl(this);
}

const std::wstring& CControlUI::GetName() const { return name_; }

void CControlUI::SetName(const std::wstring& name) {
  if (name == name_) return;
  name_ = name;
  if (manager_ != nullptr) manager_->RenameControl(this, name);
}

std::wstring CControlUI::ClassName() const { return L"Control"; }

void* CControlUI::FindInterface(const std::wstring& name) {
  if (name == L"Control") return this;
  return nullptr;
}

UINT CControlUI::ControlFlags() const { return 0; }

HWND CControlUI::NativeWindow() const { return nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CUIManager* CControlUI::Manager() const { return manager_; }

void CControlUI::AttachManager(CUIManager* manager, CControlUI* parent, bool initialize) {
  if (cover_ != nullptr) cover_->AttachManager(manager, this, initialize);
  manager_ = manager;
  parent_ = parent;
  if (initialize && parent_ != nullptr) Initialize();
}

CControlUI* CControlUI::Parent() const { return parent_; }

CControlUI* CControlUI::Cover() const { return cover_; }

void CControlUI::SetCover(CControlUI* cover) {
  if (cover == cover_) return;
  if (cover_ != nullptr) cover_->DeleteSelf();
  cover_ = cover;
  if (cover_ == nullptr) return;
  cover_->AttachManager(manager_, this, true);
  cover_->SetParentVisible(IsVisible());
  if (IsVisible()) RequestLayout();
}

std::wstring CControlUI::GetText() const { return text_; }

void CControlUI::SetText(const std::wstring& text) {
  if (text == text_) return;
  text_ = text;
  Invalidate();
}

const RECT& CControlUI::Bounds() const { return item_; }

RECT CControlUI::RelativeBounds() const {
  if (parent_ == nullptr) return RECT{};
  RECT parent = parent_->Bounds();
  RECT result = item_;
  ::OffsetRect(&result, -parent.left, -parent.top);
  return result;
}

RECT CControlUI::ClientBounds() const { return item_; }

bool CControlUI::ClipByAncestors(const RECT& rect, RECT& clipped) const {
  clipped = rect;
  for (CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->Parent()) {
    if (!ancestor->IsVisible()) return false;
    RECT ancestorRect = ancestor->Bounds();
    if (!::IntersectRect(&clipped, &clipped, &ancestorRect)) return false;
  }
  return !::IsRectEmpty(&clipped);
}

void CControlUI::SetBounds(const RECT& rect, bool invalidate) {
  RECT given = rect;
  if (given.right < given.left) given.right = given.left;
  if (given.bottom < given.top) given.bottom = given.top;

  RECT invalidateArea = ::IsRectEmpty(&item_) ? given : item_;

  if (float_ && parent_ != nullptr) {
    // The parent hands a floating child its rectangle relative to its own corner; keep
    // offset and size in step so that the next layout reproduces the same rectangle.
    RECT parentRect = parent_->Bounds();
    int width = parentRect.right - parentRect.left;
    int height = parentRect.bottom - parentRect.top;
    floatOffset_.cx = given.left - static_cast<int>(floatAnchors_[0] * width);
    floatOffset_.cy = given.top - static_cast<int>(floatAnchors_[1] * height);
    fixedSize_.cx = given.right - floatOffset_.cx - static_cast<int>(floatAnchors_[2] * width);
    fixedSize_.cy = given.bottom - floatOffset_.cy - static_cast<int>(floatAnchors_[3] * height);
    item_ = given;
    ::OffsetRect(&item_, parentRect.left, parentRect.top);
  } else {
    item_ = given;
  }

  if (manager_ == nullptr) return;

  if (!inSizeCallback_) {
    inSizeCallback_ = true;
    OnSize.Invoke(this);
    inSizeCallback_ = false;
  }
  updateNeeded_ = false;

  if (invalidate && IsVisible()) {
    RECT area = JoinRects(invalidateArea, item_);
    RECT clipped;
    if (ClipByAncestors(area, clipped)) manager_->Invalidate(clipped);
  }

  if (cover_ != nullptr && cover_->IsVisible()) {
    int width = item_.right - item_.left;
    int height = item_.bottom - item_.top;
    if (cover_->IsFloat()) {
      const double* anchors = cover_->FloatAnchors();
      SIZE offset = cover_->FloatOffset();
      RECT coverRect = {static_cast<int>(width * anchors[0]) + offset.cx,
                        static_cast<int>(height * anchors[1]) + offset.cy,
                        static_cast<int>(width * anchors[2]) + offset.cx + cover_->FixedWidth(),
                        static_cast<int>(height * anchors[3]) + offset.cy + cover_->FixedHeight()};
      cover_->SetBounds(coverRect, false);
    } else {
      RECT coverRect = {item_.left, item_.top,
                        item_.left + Clamp(width, cover_->MinWidth(), cover_->MaxWidth()),
                        item_.top + Clamp(height, cover_->MinHeight(), cover_->MaxHeight())};
      cover_->SetBounds(coverRect, false);
    }
  }
}

void CControlUI::MoveBy(int dx, int dy, bool invalidate) {
  RECT old = item_;
  ::OffsetRect(&item_, dx, dy);
  if (invalidate && manager_ != nullptr && IsVisible()) {
    RECT clipped;
    if (ClipByAncestors(JoinRects(old, item_), clipped)) manager_->Invalidate(clipped);
  }
  if (cover_ != nullptr) cover_->MoveBy(dx, dy, invalidate);
}

int CControlUI::Width() const { return item_.right - item_.left; }
int CControlUI::Height() const { return item_.bottom - item_.top; }
int CControlUI::X() const { return item_.left; }
int CControlUI::Y() const { return item_.top; }

RECT CControlUI::Padding() const { return padding_; }

void CControlUI::SetPadding(const RECT& padding) {
  padding_ = padding;
  RequestParentLayout();
}

SIZE CControlUI::FloatOffset() const { return floatOffset_; }

void CControlUI::SetFloatOffset(SIZE offset) {
  floatOffset_ = offset;
  RequestParentLayout();
}

const double* CControlUI::FloatAnchors() const { return floatAnchors_; }

void CControlUI::SetFloatAnchors(double left, double top, double right, double bottom) {
  floatAnchors_[0] = left;
  floatAnchors_[1] = top;
  floatAnchors_[2] = right;
  floatAnchors_[3] = bottom;
  RequestParentLayout();
}

int CControlUI::FixedWidth() const { return fixedSize_.cx; }

void CControlUI::SetFixedWidth(int width) {
  if (width < 0) return;
  fixedSize_.cx = width;
  RequestParentLayout();
}

int CControlUI::FixedHeight() const { return fixedSize_.cy; }

void CControlUI::SetFixedHeight(int height) {
  if (height < 0) return;
  fixedSize_.cy = height;
  RequestParentLayout();
}

int CControlUI::MinWidth() const { return minSize_.cx; }

void CControlUI::SetMinWidth(int width) {
  if (width < 0 || width == minSize_.cx) return;
  minSize_.cx = width;
  RequestParentLayout();
}

int CControlUI::MaxWidth() const { return std::max(maxSize_.cx, minSize_.cx); }

void CControlUI::SetMaxWidth(int width) {
  if (width < 0 || width == maxSize_.cx) return;
  maxSize_.cx = width;
  RequestParentLayout();
}

int CControlUI::MinHeight() const { return minSize_.cy; }

void CControlUI::SetMinHeight(int height) {
  if (height < 0 || height == minSize_.cy) return;
  minSize_.cy = height;
  RequestParentLayout();
}

int CControlUI::MaxHeight() const { return std::max(maxSize_.cy, minSize_.cy); }

void CControlUI::SetMaxHeight(int height) {
  if (height < 0 || height == maxSize_.cy) return;
  maxSize_.cy = height;
  RequestParentLayout();
}

std::wstring CControlUI::ToolTip() const { return toolTip_; }

void CControlUI::SetToolTip(const std::wstring& text) {
  toolTip_ = Utils::ReplaceAll(text, L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { toolTipWidth_ = width; }
int CControlUI::ToolTipWidth() const { return toolTipWidth_; }
wchar_t CControlUI::Shortcut() const { return shortcut_; }
void CControlUI::SetShortcut(wchar_t ch) { shortcut_ = ch; }
bool CControlUI::UsesContextMenu() const { return usesContextMenu_; }
void CControlUI::SetUsesContextMenu(bool use) { usesContextMenu_ = use; }
const std::wstring& CControlUI::UserData() const { return userData_; }
void CControlUI::SetUserData(const std::wstring& text) { userData_ = text; }
int CControlUI::Tag() const { return tag_; }
void CControlUI::SetTag(int tag) { tag_ = tag; }

bool CControlUI::IsVisible() const { return visible_ && parentVisible_; }

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  bool wasVisible = IsVisible();
  visible_ = visible;
  focused_ = false;
  if (!visible && manager_ != nullptr && manager_->Focus() == this) manager_->SetFocus(nullptr);
  if (IsVisible() != wasVisible) RequestParentLayout();
  if (cover_ != nullptr) cover_->SetParentVisible(IsVisible());
}

void CControlUI::SetParentVisible(bool visible) {
  parentVisible_ = visible;
  if (!visible && manager_ != nullptr && manager_->Focus() == this) manager_->SetFocus(nullptr);
  if (cover_ != nullptr) cover_->SetParentVisible(IsVisible());
}

bool CControlUI::IsEnabled() const { return enabled_; }

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return mouseEnabled_; }
void CControlUI::SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
bool CControlUI::IsKeyboardEnabled() const { return keyboardEnabled_; }
void CControlUI::SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
bool CControlUI::HasFocus() const { return focused_; }

void CControlUI::TakeFocus() {
  if (manager_ != nullptr) manager_->SetFocus(this);
}

bool CControlUI::IsFloat() const { return float_; }

void CControlUI::SetFloat(bool floating) {
  if (float_ == floating) return;
  float_ = floating;
  RequestParentLayout();
}

CControlUI* CControlUI::SearchControl(FindControlProc proc, LPVOID data, UINT flags) {
  if ((flags & FindVisible) && !IsVisible()) return nullptr;
  if ((flags & FindEnabled) && !IsEnabled()) return nullptr;
  if ((flags & FindHitTest) && !::PtInRect(&item_, *static_cast<const POINT*>(data)))
    return nullptr;
  if ((flags & FindUpdateTest) && proc(this, data) != nullptr) return nullptr;

  // Under hit test only controls that take the mouse are offered to the visitor.
  bool offer = !(flags & FindHitTest) || IsMouseEnabled();
  if (flags & FindMeFirst) {
    CControlUI* found = offer ? proc(this, data) : nullptr;
    if (found != nullptr) return found;
  }
  if (cover_ != nullptr) {
    CControlUI* found = cover_->SearchControl(proc, data, flags);
    if (found != nullptr) return found;
  }
  if (!(flags & FindMeFirst) && offer) return proc(this, data);
  return nullptr;
}

void CControlUI::Initialize() {
  OnInitialize();
  OnInit.Invoke(this);
}

void CControlUI::OnInitialize() {}

void CControlUI::DispatchEvent(UIEvent& event) {
  if (!OnEvent.Invoke(event)) return;
  HandleEvent(event);
}

void CControlUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_ != nullptr) parent_->HandleEvent(event);
    return;
  }
  switch (event.type) {
    case EventContextMenu:
      if (usesContextMenu_ && manager_ != nullptr) {
        manager_->RaiseNotification(this, L"menu", event.wParam, event.lParam);
        return;
      }
      break;
    case EventKillFocus:
      focused_ = false;
      Invalidate();
      return;
    case EventSetFocus:
      focused_ = true;
      Invalidate();
      return;
    case EventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return;
    case EventTimer:
      if (manager_ != nullptr)
        manager_->RaiseNotification(this, L"timer", event.wParam, event.lParam);
      return;
    default:
      break;
  }
  if (parent_ != nullptr) parent_->HandleEvent(event);
}

std::wstring CControlUI::QueryAttribute(const std::wstring&) const { return std::wstring(); }

void CControlUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"pos") {
    RECT rc = ParseRect(value);
    SetFloatOffset(SIZE{rc.left, rc.top});
    SetFixedWidth(rc.right - rc.left);
    SetFixedHeight(rc.bottom - rc.top);
  } else if (name == L"padding") {
    SetPadding(ParseRect(value));
  } else if (name == L"bkcolor" || name == L"bkcolor1") {
    SetBkColor(ParseColor(value));
  } else if (name == L"bkcolor2") {
    SetBkColor2(ParseColor(value));
  } else if (name == L"bkcolor3") {
    SetBkColor3(ParseColor(value));
  } else if (name == L"bordercolor") {
    SetBorderColor(ParseColor(value, false));
  } else if (name == L"focusbordercolor") {
    SetFocusBorderColor(ParseColor(value, false));
  } else if (name == L"colorhsl") {
    colorAdjusting_ = ParseBool(value);
  } else if (name == L"bordersize") {
    if (value.find(L',') == std::wstring::npos) SetBorderSize(ParseInteger(value));
    else SetBorderSize(ParseRect(value));
  } else if (name == L"borderstyle") {
    SetBorderStyle(ParseInteger(value));
  } else if (name == L"borderround") {
    SetBorderRound(ParseSize(value));
  } else if (name == L"bkimage") {
    SetBkImage(value);
  } else if (name == L"width") {
    SetFixedWidth(ParseInteger(value));
  } else if (name == L"height") {
    SetFixedHeight(ParseInteger(value));
  } else if (name == L"minwidth") {
    SetMinWidth(ParseInteger(value));
  } else if (name == L"minheight") {
    SetMinHeight(ParseInteger(value));
  } else if (name == L"maxwidth") {
    SetMaxWidth(ParseInteger(value));
  } else if (name == L"maxheight") {
    SetMaxHeight(ParseInteger(value));
  } else if (name == L"name") {
    SetName(value);
  } else if (name == L"text") {
    SetText(value);
  } else if (name == L"tooltip") {
    SetToolTip(value);
  } else if (name == L"userdata") {
    SetUserData(value);
  } else if (name == L"tag") {
    SetTag(ParseInteger(value));
  } else if (name == L"enabled") {
    SetEnabled(ParseBool(value));
  } else if (name == L"mouse") {
    SetMouseEnabled(ParseBool(value));
  } else if (name == L"keyboard") {
    SetKeyboardEnabled(ParseBool(value));
  } else if (name == L"visible") {
    SetVisible(ParseBool(value));
  } else if (name == L"float") {
    if (value.find(L',') == std::wstring::npos) {
      SetFloat(ParseBool(value));
    } else {
      double anchors[4];
      ParseFractionList(value, anchors, 4);
      SetFloatAnchors(anchors[0], anchors[1], anchors[2], anchors[3]);
      SetFloat(true);
    }
  } else if (name == L"shortcut") {
    SetShortcut(value.empty() ? 0 : value[0]);
  } else if (name == L"menu") {
    SetUsesContextMenu(ParseBool(value));
  } else if (name == L"virtualwnd") {
    SetVirtualWindow(value);
  } else {
    AddCustomAttribute(name, value);
  }
}

std::wstring CControlUI::QueryAttributeString() const { return std::wstring(); }

void CControlUI::ApplyAttributeString(const std::wstring& list) {
  size_t pos = 0;
  while (pos < list.size()) {
    size_t equals = list.find(L'=', pos);
    if (equals == std::wstring::npos) return;
    std::wstring name = list.substr(pos, equals - pos);
    if (equals + 1 >= list.size() || list[equals + 1] != L'"') return;
    size_t valueStart = equals + 2;
    size_t close = list.find(L'"', valueStart);
    if (close == std::wstring::npos) return;
    ApplyAttribute(name, list.substr(valueStart, close - valueStart));
    pos = close + 1;
    if (pos >= list.size() || list[pos] != L' ') return;
    ++pos;
  }
}

SIZE CControlUI::MeasureSize(SIZE) { return fixedSize_; }

bool CControlUI::Paint(HDC dc, const RECT& area, CControlUI* stop) {
  if (stop == this) return false;
  if (!::IntersectRect(&paintRect_, &area, &item_)) return true;
  if (!OnPaint.empty() && !OnPaint.Invoke(dc, paintRect_)) return true;
  if (!PaintSelf(dc, area, stop)) return false;
  // A hidden cover has nothing to show.
  if (cover_ != nullptr && cover_->IsVisible()) return cover_->Paint(dc, area, stop);
  return true;
}

bool CControlUI::PaintSelf(HDC dc, const RECT&, CControlUI*) {
  CRenderClip clip;
  if (borderRound_.cx > 0 || borderRound_.cy > 0)
    CUIRender::ClipToRoundRect(dc, paintRect_, item_, borderRound_.cx, borderRound_.cy, clip);
  PaintBackColor(dc);
  PaintBackImage(dc);
  PaintStateImage(dc);
  PaintText(dc);
  PaintBorder(dc);
  return true;
}

void CControlUI::PaintBackColor(HDC dc) {
  if (bkColor_ == 0) return;
  if (bkColor2_ != 0) {
    if (bkColor3_ != 0) {
      RECT upper = item_;
      upper.bottom = (item_.top + item_.bottom) / 2;
      CUIRender::DrawGradient(dc, upper, bkColor_, bkColor2_, true, 8);
      RECT lower = item_;
      lower.top = upper.bottom;
      CUIRender::DrawGradient(dc, lower, bkColor2_, bkColor3_, true, 8);
    } else {
      CUIRender::DrawGradient(dc, item_, bkColor_, bkColor2_, true, 16);
    }
  } else if ((bkColor_ >> 24) == 0xFF) {
    CUIRender::DrawColor(dc, paintRect_, bkColor_);
  } else {
    // A translucent fill is blended over the whole item rectangle in one piece.
    CUIRender::DrawColor(dc, item_, bkColor_);
  }
}

void CControlUI::PaintBackImage(HDC dc) {
  if (bkImage_.descriptor.empty()) return;
  DrawImage(dc, bkImage_);
}

void CControlUI::PaintStateImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc) {
  const RECT& size = borderSize_;
  if (size.left <= 0 && size.top <= 0 && size.right <= 0 && size.bottom <= 0) return;
  if (borderColor_ == 0 && focusBorderColor_ == 0) return;
  DWORD color = (focused_ && focusBorderColor_ != 0) ? focusBorderColor_ : borderColor_;
  if (color == 0) return;
  if (borderRound_.cx > 0 || borderRound_.cy > 0) {
    CUIRender::DrawRoundRect(dc, item_, size.left, borderRound_.cx, borderRound_.cy, color,
                             borderStyle_);
  } else if (size.left == size.top && size.left == size.right && size.left == size.bottom) {
    CUIRender::DrawRect(dc, item_, size.left, color, borderStyle_);
  } else {
    if (size.left > 0) {
      RECT line = {item_.left, item_.top, item_.left, item_.bottom};
      CUIRender::DrawLine(dc, line, size.left, color, borderStyle_);
    }
    if (size.top > 0) {
      RECT line = {item_.left, item_.top, item_.right, item_.top};
      CUIRender::DrawLine(dc, line, size.top, color, borderStyle_);
    }
    if (size.right > 0) {
      RECT line = {item_.right - size.right, item_.top, item_.right - size.right, item_.bottom};
      CUIRender::DrawLine(dc, line, size.right, color, borderStyle_);
    }
    if (size.bottom > 0) {
      RECT line = {item_.left, item_.bottom - size.bottom, item_.right, item_.bottom - size.bottom};
      CUIRender::DrawLine(dc, line, size.bottom, color, borderStyle_);
    }
  }
}

void CControlUI::PaintAfter(HDC dc, const RECT& area) { OnPostPaint.Invoke(dc, area); }

void CControlUI::Invalidate() {
  if (!IsVisible() || manager_ == nullptr) return;
  RECT clipped;
  if (ClipByAncestors(item_, clipped)) manager_->Invalidate(clipped);
}

void CControlUI::RequestLayout() {
  if (!IsVisible()) return;
  updateNeeded_ = true;
  Invalidate();
  if (manager_ != nullptr) manager_->RequestUpdate();
}

void CControlUI::RequestParentLayout() {
  if (parent_ != nullptr) parent_->RequestLayout();
  else RequestLayout();
}

void CControlUI::AddCustomAttribute(const std::wstring& name, const std::wstring& value) {
  if (name.empty() || value.empty()) return;
  customAttributes_.emplace(name, value);
}

const std::wstring* CControlUI::GetCustomAttribute(const std::wstring& name) const {
  auto found = customAttributes_.find(name);
  return found == customAttributes_.end() ? nullptr : &found->second;
}

void CControlUI::SetVirtualWindow(const std::wstring& name) {
  virtualWindow_ = name;
  if (manager_ != nullptr) manager_->EnableVirtualWindows();
}

std::wstring CControlUI::VirtualWindow() const {
  for (const CControlUI* control = this; control != nullptr; control = control->Parent()) {
    if (!control->virtualWindow_.empty()) return control->virtualWindow_;
  }
  return std::wstring();
}

void CControlUI::SetBkColor(DWORD color) {
  if (color == bkColor_) return;
  bkColor_ = color;
  Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
  if (color == bkColor2_) return;
  bkColor2_ = color;
  Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
  if (color == bkColor3_) return;
  bkColor3_ = color;
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
  if (color == borderColor_) return;
  borderColor_ = color;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
  if (color == focusBorderColor_) return;
  focusBorderColor_ = color;
  Invalidate();
}

void CControlUI::SetBorderSize(const RECT& size) {
  borderSize_ = size;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) { SetBorderSize(RECT{size, size, size, size}); }

void CControlUI::SetBorderRound(SIZE round) {
  borderRound_ = round;
  Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& descriptor) {
  if (descriptor == bkImage_.descriptor && bkImage_.image != nullptr) return;
  bkImage_.Clear();
  bkImage_.descriptor = descriptor;
  if (bkImage_.EnsureParsed(manager_) && float_ && fixedSize_.cx == 0 && fixedSize_.cy == 0) {
    fixedSize_.cx = bkImage_.image->width;
    fixedSize_.cy = bkImage_.image->height;
  }
  Invalidate();
}

bool CControlUI::DrawImage(HDC dc, UIDrawInfo& info) {
  return CUIRender::DrawImageInfo(dc, manager_, item_, paintRect_, info);
}

}  // namespace SkinUI
