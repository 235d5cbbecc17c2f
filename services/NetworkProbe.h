// Whether the machine is on the internet, as the system's network list manager sees it.
#pragma once

#include <windows.h>

#include <cstdint>

// Bits 0-15: the manager's connectivity flags (NLM_CONNECTIVITY, 0 = disconnected).
// Bits 16-31: 0 = on the internet, or no answer could be had; 1 = no connectivity at all;
// 2 = some connectivity, but not to the internet. Below 0x10000 the network is usable.
using NetworkProbeResult = uint32_t;

constexpr NetworkProbeResult kNetworkUsableLimit = 0x10000;

inline bool IsNetworkUsable(NetworkProbeResult result) { return result < kNetworkUsableLimit; }

// What the network list manager said, as far as it got.
struct NetworkListAnswer {
  bool managerCreated = false;
  bool connectivityRead = false;
  uint32_t connectivityFlags = 0;
  bool connectedToInternet = false;
};

// A manager that cannot be created or cannot tell its connectivity does not hold up the
// installation: both count as usable (status 0, flags 0).
NetworkProbeResult NetworkProbeResultFrom(const NetworkListAnswer& answer);

// Asks the network list manager. COM must be initialised on the calling thread.
NetworkProbeResult ProbeNetwork();
