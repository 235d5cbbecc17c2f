#include "app/LegacyImports.h"

#include <chrono>
#include <mutex>

#include <gtest/gtest.h>

namespace {

// The extended count follows the 32-bit ticks across wraps and never goes backwards,
// even when a late sample from before a wrap arrives.
TEST(LegacyImports, ExtendTickCountTable) {
  struct Step { DWORD now; uint64_t expected; };
  const Step steps[] = {
      {0xFFFFFF00u, 0xFFFFFF00ull},
      {0x00000010u, 0x100000010ull},  // wrapped once
      {0xFFFFFF80u, 0x100000010ull},  // late sample from before the wrap: no step back
      {0x00000020u, 0x100000020ull},
      {0x7FFFFFF0u, 0x17FFFFFF0ull},
      {0xFFFFFFE0u, 0x1FFFFFFE0ull},
      {0x00000005u, 0x200000005ull},  // wrapped again
  };
  volatile uint64_t state = 0;
  for (const Step& step : steps)
    EXPECT_EQ(ExtendTickCount(&state, step.now), step.expected) << step.now;
}

// Where the system has GetTickCount64 the replacement answers the system's count.
TEST(LegacyImports, UsesSystemCountWhereItExists) {
  using Fn = ULONGLONG(WINAPI*)();
  auto system = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  ASSERT_NE(system, nullptr);
  ULONGLONG before = system();
  ULONGLONG ours = TickCount64();
  ULONGLONG after = system();
  EXPECT_GE(ours, before);
  EXPECT_LE(ours, after);
}

// The runtime's timed waits, which reach GetTickCount64 through the replaced import,
// still time out as asked.
TEST(LegacyImports, RuntimeTimedWaitStillWorks) {
  std::timed_mutex mutex;
  mutex.lock();
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(mutex.try_lock_for(std::chrono::milliseconds(100)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
  mutex.unlock();
}

}  // namespace
