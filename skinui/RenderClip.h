// The clip a paint step narrowed the DC to, and the clip it replaced. Releasing the record
// (or destroying it) puts the replaced clip back, so nested paint steps unwind in order.
#pragma once

#include <windows.h>

#include "utils/ScopedHandle.h"

namespace SkinUI {

class CRenderClip {
 public:
  CRenderClip() = default;
  ~CRenderClip() { Release(); }
  CRenderClip(const CRenderClip&) = delete;
  CRenderClip& operator=(const CRenderClip&) = delete;

  // Remembers the DC's current clip; then selects region as the new clip (ANDed with the
  // remembered one) and keeps it. The region is in device coordinates.
  void Apply(HDC dc, const RECT& rect, HRGN region);
  // Back to the remembered clip for a while, and to the new clip again.
  void SuspendClip();
  void ResumeClip();
  // Selects the remembered clip again and deletes both regions.
  void Release();

  HDC dc() const { return dc_; }
  const RECT& rect() const { return rect_; }

 private:
  HDC dc_ = nullptr;
  RECT rect_ = {};
  // Null with hadPrevious_ false means the DC had no clip region at all.
  Utils::ScopedRegion previous_;
  bool hadPrevious_ = false;
  Utils::ScopedRegion current_;
};

}  // namespace SkinUI
