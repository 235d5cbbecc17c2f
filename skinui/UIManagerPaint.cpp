// WM_PAINT of a skinned window: the deferred layout, then the tree painted into an
// off-screen buffer that survives between paints and is copied to the window (or, for a
// self-painted layered window, composed into the window's per-pixel-alpha picture).
#include <algorithm>
#include <cstring>

#include "skinui/UIControl.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

const COLORREF kDirtyFrameColor = RGB(220, 0, 0);

// Zeroes the pixels of area (clamped to the bitmap) in a top-down 32-bit buffer.
void ClearPixels(BYTE* bits, int width, int height, const RECT& area) {
  if (bits == nullptr) return;
  int left = std::max<int>(area.left, 0);
  int right = std::min<int>(area.right, width);
  int top = std::max<int>(area.top, 0);
  int bottom = std::min<int>(area.bottom, height);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y)
    std::memset(bits + (static_cast<size_t>(y) * width + left) * 4, 0,
                static_cast<size_t>(right - left) * 4);
}

// Every control that needs layout; the search does not descend below one that does,
// because placing it lays out its children.
CControlUI* CALLBACK CollectUpdateNeeded(CControlUI* control, LPVOID data) {
  if (!control->IsUpdateNeeded()) return nullptr;
  static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  return control;
}

RECT Inset(const RECT& rect, const RECT& inset) {
  return RECT{rect.left + inset.left, rect.top + inset.top, rect.right - inset.right,
              rect.bottom - inset.bottom};
}

}  // namespace

void CUIManager::ReleaseBuffers() {
  offscreenDC_.reset();
  offscreenBitmap_.reset();
  backgroundDC_.reset();
  backgroundBitmap_.reset();
  offscreenBits_ = backgroundBits_ = nullptr;
}

void CUIManager::Invalidate() {
  if (window_ == nullptr) return;
  RECT client = {};
  ::GetClientRect(window_, &client);
  Invalidate(client);
}

void CUIManager::Invalidate(const RECT& rect) {
  if (window_ == nullptr) return;
  RECT area = rect;
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::max(area.right, area.left);
  area.bottom = std::max(area.bottom, area.top);
  if (layered_) {
    RECT merged = {};
    ::UnionRect(&merged, &layeredUpdate_, &area);
    layeredUpdate_ = merged;
  } else {
    ::InvalidateRect(window_, &area, FALSE);
  }
}

bool CUIManager::LayoutIfNeeded(const RECT& client) {
  if (focusNeeded_) MoveFocusToNextTabStop(true);
  if (!updateNeeded_ || root_ == nullptr) return false;
  updateNeeded_ = false;
  if (!::IsRectEmpty(&client)) {
    if (root_->IsUpdateNeeded()) {
      // A full layout may change the client size the buffers were made for.
      ReleaseBuffers();
      root_->SetBounds(layered_ ? Inset(client, layeredInset_) : client, true);
    } else {
      std::vector<CControlUI*> found;
      root_->SearchControl(CollectUpdateNeeded, &found,
                           FindVisible | FindMeFirst | FindUpdateTest);
      for (CControlUI* control : found) {
        if (control->IsFloat()) control->SetBounds(control->RelativeBounds(), true);
        else control->SetBounds(control->Bounds(), true);
      }
    }
  }
  if (firstLayout_) {
    firstLayout_ = false;
    RaiseNotification(root_, L"windowinit");
  }
  return true;
}

void CUIManager::PaintWindow() {
  RECT client = {};
  ::GetClientRect(window_, &client);
  if (root_ == nullptr) {
    PAINTSTRUCT ps = {};
    HDC dc = ::BeginPaint(window_, &ps);
    if (dc != nullptr) ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::EndPaint(window_, &ps);
    return;
  }

  RECT paint = {};
  if (layered_) {
    ::IntersectRect(&paint, &layeredUpdate_, &client);
    ::SetRectEmpty(&layeredUpdate_);
    if (::IsRectEmpty(&paint)) {
      ::ValidateRect(window_, nullptr);
      return;
    }
  } else if (!::GetUpdateRect(window_, &paint, FALSE)) {
    return;
  }

  painting_ = true;
  bool wasFirstLayout = firstLayout_;
  std::shared_ptr<bool> alive = alive_;
  bool laidOut = LayoutIfNeeded(client);
  // A "windowinit" handler may have destroyed the window, and this manager with it.
  if (!*alive) return;
  if (!::IsWindow(window_)) {
    painting_ = false;
    return;
  }
  if (laidOut && wasFirstLayout && layered_ && layeredChanged_) {
    // The layered picture is composed from scratch on the next tick.
    painting_ = false;
    Invalidate();
    ::ValidateRect(window_, nullptr);
    return;
  }
  if (laidOut && !layered_) {
    // Layout invalidates what moved; BeginPaint validates all of it, so paint all of it.
    RECT grown = {};
    if (::GetUpdateRect(window_, &grown, FALSE)) ::UnionRect(&paint, &paint, &grown);
  }
  // The pixel loops below index the buffers by the client size; a buffer made for
  // another size (a resize that never reached WM_SIZE here) is made again.
  if (offscreenBitmap_ && (bufferSize_.cx != client.right || bufferSize_.cy != client.bottom))
    ReleaseBuffers();
  if (!laidOut && layered_ && layeredChanged_) {
    ClearPixels(offscreenBits_, client.right, client.bottom, paint);
    root_->SetBounds(Inset(client, layeredInset_), true);
  }

  if (offscreenPaint_ && !offscreenBitmap_ && !::IsRectEmpty(&client)) {
    bufferSize_ = SIZE{client.right, client.bottom};
    offscreenDC_.reset(::CreateCompatibleDC(windowDC_));
    if (layered_) {
      offscreenBitmap_.reset(
          CUIRender::CreatePixelBitmap(windowDC_, client.right, client.bottom, &offscreenBits_));
    } else {
      offscreenBitmap_.reset(::CreateCompatibleBitmap(windowDC_, client.right, client.bottom));
    }
    if (!offscreenDC_ || !offscreenBitmap_) ReleaseBuffers();
  }

  PAINTSTRUCT ps = {};
  HDC dc = ::BeginPaint(window_, &ps);
  if (offscreenPaint_ && offscreenBitmap_) {
    HDC buffer = offscreenDC_.get();
    HGDIOBJ oldBitmap = ::SelectObject(buffer, offscreenBitmap_.get());
    int saved = ::SaveDC(buffer);
    if (layered_ && layeredImage_.image == nullptr)
      ClearPixels(offscreenBits_, client.right, client.bottom, paint);
    root_->Paint(buffer, paint, nullptr);
    if (layered_) PrintNativeChildren(buffer);
    std::vector<CControlUI*> after = postPaintControls_;
    for (CControlUI* control : after) control->PaintAfter(buffer, paint);
    ::RestoreDC(buffer, saved);
    if (layered_) {
      ComposeLayered(paint, client);
      UpdateLayeredWindowPicture(client);
    } else if (dc != nullptr) {
      ::BitBlt(dc, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
               buffer, paint.left, paint.top, SRCCOPY);
    }
    ::SelectObject(buffer, oldBitmap);
  } else if (dc != nullptr) {
    int saved = ::SaveDC(dc);
    root_->Paint(dc, paint, nullptr);
    ::RestoreDC(dc, saved);
  }

  if (showDirty_ && !layered_ && dc != nullptr) {
    Utils::ScopedPen pen(::CreatePen(PS_SOLID, 1, kDirtyFrameColor));
    HGDIOBJ oldPen = ::SelectObject(dc, pen.get());
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
    ::Rectangle(dc, paint.left, paint.top, paint.right, paint.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
  }

  ::EndPaint(window_, &ps);
  painting_ = false;
  layeredChanged_ = false;
  // A focus move deferred by this paint's layout invalidated before BeginPaint, which
  // validated it again; without another paint the focus would never move.
  if (updateNeeded_ || focusNeeded_) Invalidate();
}

void CUIManager::PrintNativeChildren(HDC dc) {
  for (size_t i = 0; i < nativeWindows_.size();) {
    HWND child = nativeWindows_[i];
    if (!::IsWindow(child)) {
      UnregisterNativeChild(child);
      continue;
    }
    ++i;
    if (!::IsWindowVisible(child)) continue;
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) continue;
    Utils::ScopedMemoryDC childDC(::CreateCompatibleDC(dc));
    BYTE* bits = nullptr;
    Utils::ScopedBitmap bitmap(CUIRender::CreatePixelBitmap(dc, width, height, &bits));
    if (!childDC || !bitmap) continue;
    HGDIOBJ old = ::SelectObject(childDC.get(), bitmap.get());
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC.get()),
                   PRF_CLIENT | PRF_CHILDREN | PRF_OWNED | PRF_CHECKVISIBLE);
    ::GdiFlush();
    // GDI leaves alpha at 0; whatever the child drew must be opaque in the picture.
    for (int p = 0; p < width * height; ++p) {
      BYTE* pixel = bits + p * 4;
      if (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0 || pixel[3] != 0) pixel[3] = 255;
    }
    ::BitBlt(dc, rect.left, rect.top, width, height, childDC.get(), 0, 0, SRCCOPY);
    ::SelectObject(childDC.get(), old);
  }
}

void CUIManager::ComposeLayered(const RECT& paint, const RECT& client) {
  const UIImageInfo* image = layeredImage_.image;
  if (image == nullptr || offscreenBits_ == nullptr) return;
  if (layeredChanged_) {
    backgroundDC_.reset();
    backgroundBitmap_.reset();
    backgroundBits_ = nullptr;
  }
  RECT rootArea = Inset(client, layeredInset_);
  if (!backgroundBitmap_) {
    backgroundDC_.reset(::CreateCompatibleDC(windowDC_));
    backgroundBitmap_.reset(
        CUIRender::CreatePixelBitmap(windowDC_, client.right, client.bottom, &backgroundBits_));
    if (!backgroundDC_ || !backgroundBitmap_) {
      backgroundDC_.reset();
      backgroundBitmap_.reset();
      backgroundBits_ = nullptr;
      return;
    }
    HGDIOBJ old = ::SelectObject(backgroundDC_.get(), backgroundBitmap_.get());
    CUIRender::DrawImageInfo(backgroundDC_.get(), this, rootArea, rootArea, layeredImage_);
    ::GdiFlush();
    ::SelectObject(backgroundDC_.get(), old);
  }
  if (!image->alpha) return;
  RECT area = {};
  if (!::IntersectRect(&area, &paint, &rootArea)) return;
  const int width = client.right;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      size_t index = (static_cast<size_t>(y) * width + x) * 4;
      BYTE alpha = backgroundBits_[index + 3];
      BYTE* pixel = offscreenBits_ + index;
      pixel[0] = static_cast<BYTE>(pixel[0] * alpha / 255);
      pixel[1] = static_cast<BYTE>(pixel[1] * alpha / 255);
      pixel[2] = static_cast<BYTE>(pixel[2] * alpha / 255);
      pixel[3] = alpha;
    }
  }
}

void CUIManager::PrintClient(HDC dc, LPARAM flags) {
  if (dc == nullptr || window_ == nullptr) return;
  RECT client = {};
  ::GetClientRect(window_, &client);
  if (root_ != nullptr) {
    int saved = ::SaveDC(dc);
    root_->Paint(dc, client, nullptr);
    ::RestoreDC(dc, saved);
  }
  if ((flags & PRF_CHILDREN) == 0) return;
  for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    POINT oldOrigin = {};
    ::OffsetViewportOrgEx(dc, rect.left, rect.top, &oldOrigin);
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  }
}

}  // namespace SkinUI
