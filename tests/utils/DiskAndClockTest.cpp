#include <gtest/gtest.h>

#include "utils/HardDiskManager.h"
#include "utils/Stopwatch.h"

namespace {

// The 1 GiB rule at its edge: just below is refused, exactly 1 GiB is accepted.
TEST(HardDiskManager, OneGigabyteRule) {
  struct Row { uint64_t bytes; bool accepted; };
  const uint64_t gib = 1073741824ull;
  const Row rows[] = {
      {0, false},
      {static_cast<uint64_t>(0.99 * gib), false},
      {gib - 1, false},
      {gib, true},
      {gib + 1, true},
      {500 * gib, true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Utils::HardDiskManager::HasRoomForInstall(row.bytes), row.accepted) << row.bytes;
  EXPECT_DOUBLE_EQ(Utils::HardDiskManager::GigabytesOf(3 * gib / 2), 1.5);
}

// A fresh manager knows nothing (0 GiB); a failed query leaves it at 0, so a drive that
// cannot be asked counts as full; a real drive answers its counts.
TEST(HardDiskManager, QueryFillsCountsOnlyOnSuccess) {
  Utils::HardDiskManager fresh;
  EXPECT_EQ(fresh.FreeGigabytes(), 0.0);
  EXPECT_FALSE(fresh.Query(L"Q:\\no\\such\\drive\\"));
  EXPECT_EQ(fresh.FreeGigabytes(), 0.0);

  Utils::HardDiskManager system;
  ASSERT_TRUE(system.Query(L"C:"));
  EXPECT_GT(system.TotalBytes(), 0u);
  EXPECT_LE(system.FreeBytesAvailable(), system.TotalBytes());
  EXPECT_DOUBLE_EQ(system.FreeGigabytes(),
                   static_cast<double>(system.FreeBytesAvailable()) / 1073741824.0);
}

// Elapsed time is 0 before Start, in seconds after it, and survives a wrap of the
// 32-bit tick counter.
TEST(Stopwatch, ElapsedSecondsTable) {
  Stopwatch idle;
  EXPECT_EQ(idle.ElapsedSecondsAt(123456), 0.0f);
  EXPECT_EQ(idle.ElapsedSeconds(), 0.0f);

  struct Row { DWORD start; DWORD now; float seconds; };
  const Row rows[] = {
      {1000, 1000, 0.0f},
      {1000, 61000, 60.0f},
      {0xFFFFF000u, 0x00000830u, 6.192f},  // 4096 + 2096 ms across the wrap
  };
  for (const Row& row : rows) {
    Stopwatch watch;
    watch.StartAt(row.start);
    EXPECT_FLOAT_EQ(watch.ElapsedSecondsAt(row.now), row.seconds);
  }

  Stopwatch real;
  real.Start();
  ::Sleep(50);
  EXPECT_GE(real.ElapsedSeconds(), 0.03f);
  EXPECT_LT(real.ElapsedSeconds(), 5.0f);
}

}  // namespace
