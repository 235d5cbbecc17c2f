// One anonymous pipe: the child inherits one end, the installer keeps the other.
#pragma once

#include <windows.h>

#include "utils/ScopedHandle.h"

struct PipePair {
  Utils::ScopedHandle write;
  Utils::ScopedHandle read;

  // Both ends are made inheritable; the parent then takes inheritance off its own end
  // (KeepInParent) so that the child holds only the end it uses. False when the system
  // could not make the pipe; nothing stays open then.
  bool Create();
  static bool KeepInParent(const Utils::ScopedHandle& end);
};
