#include "skinui/RenderClip.h"

namespace SkinUI {

void CRenderClip::Apply(HDC dc, const RECT& rect, HRGN region) {
  Release();
  Utils::ScopedRegion requested(region);
  dc_ = dc;
  rect_ = rect;
  // GetClipRgn answers 0 when the DC has no clip region at all; putting that state back
  // means selecting no region, not an empty one.
  previous_.reset(::CreateRectRgn(0, 0, 0, 0));
  hadPrevious_ = previous_ && ::GetClipRgn(dc, previous_.get()) == 1;
  if (!hadPrevious_) previous_.reset();
  if (hadPrevious_)
    ::ExtSelectClipRgn(dc, requested.get(), RGN_AND);
  else
    ::SelectClipRgn(dc, requested.get());
  current_.reset(::CreateRectRgn(0, 0, 0, 0));
  if (current_ && ::GetClipRgn(dc, current_.get()) != 1) current_.reset();
}

void CRenderClip::SuspendClip() {
  if (dc_ != nullptr) ::SelectClipRgn(dc_, hadPrevious_ ? previous_.get() : nullptr);
}

void CRenderClip::ResumeClip() {
  if (dc_ != nullptr && current_) ::SelectClipRgn(dc_, current_.get());
}

void CRenderClip::Release() {
  if (dc_ == nullptr) return;
  ::SelectClipRgn(dc_, hadPrevious_ ? previous_.get() : nullptr);
  previous_.reset();
  current_.reset();
  hadPrevious_ = false;
  dc_ = nullptr;
}

}  // namespace SkinUI
