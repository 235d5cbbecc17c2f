// Measures how long a stage of the installation has been running, in the tick counter's
// milliseconds; one wrap of the 32-bit counter (49.7 days) is harmless.
#pragma once

#include <windows.h>

class Stopwatch {
 public:
  void Start() { StartAt(::GetTickCount()); }
  float ElapsedSeconds() const { return ElapsedSecondsAt(::GetTickCount()); }

  // The same with the tick count given, for callers (and tests) that have one.
  void StartAt(DWORD now) {
    running_ = true;
    startTick_ = now;
  }
  float ElapsedSecondsAt(DWORD now) const {
    if (!running_) return 0.0f;
    return static_cast<float>(static_cast<DWORD>(now - startTick_) / 1000.0);
  }

 private:
  DWORD startTick_ = 0;
  bool running_ = false;
};
