// One image attribute of a control: the descriptor string as the skin wrote it, what it
// says once parsed, and the image it names, which is shared with the window's image store.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace SkinUI {

class CUIManager;
struct UIImageInfo;

// What an image descriptor says. A bare name is a file name; otherwise the descriptor is
// key='value' pairs separated by single spaces ("file", "res", "restype", "color", "dest",
// "source", "corner"/"scale9", "mask", "fade", "hole", "xtiled", "ytiled", "hsl").
struct ImageDescriptor {
  std::wstring name;
  // Empty for a file; the "restype" for "res"; the render engine's colour type for "color".
  std::wstring type;
  DWORD mask = 0;
  bool keepForHsl = false;
  RECT dest = {};
  RECT source = {};
  RECT corner = {};
  BYTE fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
};

ImageDescriptor ParseImageDescriptor(std::wstring_view descriptor);

struct UIDrawInfo {
  std::wstring descriptor;
  std::wstring imageName;
  // Parsed once, even when loading failed, so a missing image is not retried on every
  // paint; a new descriptor clears it.
  bool parsed = false;
  // Belongs to the manager's image store.
  const UIImageInfo* image = nullptr;
  RECT dest = {};
  RECT source = {};
  RECT corner = {};
  BYTE fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;

  // Forgets everything parsed and loaded, keeping nothing.
  void Clear();
  // Stores a new descriptor; a different one resets the record so the next draw parses
  // it again.
  void SetDescriptor(const std::wstring& text);
  // Parses the descriptor and asks the manager for its image, once; later calls only
  // report whether an image is there. Without a manager nothing can be loaded.
  bool EnsureParsed(CUIManager* manager);
  // Where the image goes inside the control rectangle: the whole rectangle, or the
  // "dest" offsets from its left-top corner with the far edges kept inside it.
  RECT Destination(const RECT& item) const;
  // The "source" part clamped to the bitmap, which has the given size.
  RECT ClampedSource(LONG width, LONG height) const;
};

}  // namespace SkinUI
