#include "services/NetworkProbe.h"

#include <gtest/gtest.h>

#include "utils/ScopedHandle.h"

namespace {

struct ProbeCase {
  const char* name;
  NetworkListAnswer answer;
  NetworkProbeResult expected;
};

// Status in the high word, the manager's flags in the low word; a manager that is
// missing or cannot tell its connectivity lets the installation go ahead.
TEST(NetworkProbeTest, CombinesStatusAndFlags) {
  const ProbeCase cases[] = {
      {"no manager", {false, false, 0, false}, 0},
      {"manager cannot tell", {true, false, 0, false}, 0},
      {"no adapter", {true, true, 0, false}, 0x10000},
      {"local IPv4 network only", {true, true, 0x20, false}, 0x20020},
      {"internet over IPv4", {true, true, 0x40, true}, 0x40},
      {"internet over both", {true, true, 0x440, true}, 0x440},
      {"flags beyond 16 bits are not status", {true, true, 0x10040, true}, 0x40},
  };
  for (const ProbeCase& row : cases) {
    EXPECT_EQ(NetworkProbeResultFrom(row.answer), row.expected) << row.name;
  }
}

// Only results below 0x10000 count as a usable network.
TEST(NetworkProbeTest, UsableOnlyWithStatusZero) {
  EXPECT_TRUE(IsNetworkUsable(0));
  EXPECT_TRUE(IsNetworkUsable(0xFFFF));
  EXPECT_FALSE(IsNetworkUsable(0x10000));
  EXPECT_FALSE(IsNetworkUsable(0x20020));
}

// The real manager of the test system answers a well-formed result: a known status, and
// "no connectivity" exactly when it reports no flags.
TEST(NetworkProbeTest, RealManagerGivesAWellFormedAnswer) {
  Utils::ScopedCoInitialize com;
  const NetworkProbeResult result = ProbeNetwork();
  const uint32_t status = result >> 16;
  const uint32_t flags = result & 0xFFFF;
  EXPECT_LE(status, 2u);
  if (status == 1) {
    EXPECT_EQ(flags, 0u);
  }
  if (status == 2) {
    EXPECT_NE(flags, 0u);
  }
}

}  // namespace
