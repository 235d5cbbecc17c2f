#include "services/NetworkProbe.h"

#include <objbase.h>
#include <netlistmgr.h>

#include "utils/ScopedHandle.h"

namespace {

// Spelled out here rather than taken from a GUID library that older MinGW builds lack.
constexpr CLSID kNetworkListManagerClass = {
    0xDCB00C01, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
constexpr IID kNetworkListManagerInterface = {
    0xDCB00000, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
// In-process server and handler, local and remote server.
constexpr DWORD kAnyServerContext = 0x17;

constexpr uint32_t kStatusNoConnectivity = 1;
constexpr uint32_t kStatusNoInternet = 2;

NetworkListAnswer AskNetworkListManager() {
  NetworkListAnswer answer;
  Utils::ScopedComPtr<INetworkListManager> manager;
  if (FAILED(::CoCreateInstance(kNetworkListManagerClass, nullptr, kAnyServerContext,
                                kNetworkListManagerInterface, manager.receive())) ||
      !manager)
    return answer;
  answer.managerCreated = true;
  NLM_CONNECTIVITY flags = NLM_CONNECTIVITY_DISCONNECTED;
  if (FAILED(manager->GetConnectivity(&flags))) return answer;
  answer.connectivityRead = true;
  answer.connectivityFlags = static_cast<uint32_t>(flags) & 0xFFFF;
  if (answer.connectivityFlags != 0) {
    VARIANT_BOOL connected = VARIANT_TRUE;
    manager->IsConnectedToInternet(&connected);
    answer.connectedToInternet = connected != VARIANT_FALSE;
  }
  return answer;
}

}  // namespace

NetworkProbeResult NetworkProbeResultFrom(const NetworkListAnswer& answer) {
  if (!answer.managerCreated || !answer.connectivityRead) return 0;
  const uint32_t flags = answer.connectivityFlags & 0xFFFF;
  uint32_t status = 0;
  if (flags == 0)
    status = kStatusNoConnectivity;
  else if (!answer.connectedToInternet)
    status = kStatusNoInternet;
  return (status << 16) | flags;
}

NetworkProbeResult ProbeNetwork() {
  const NetworkProbeResult result = NetworkProbeResultFrom(AskNetworkListManager());
  // The manager's server may be an in-process library that is no longer needed.
  ::CoFreeUnusedLibraries();
  return result;
}
