#include "dialogs/linux/PortMapDevices.h"

#include "link/ComPortMap.h"

std::vector<std::string> CPortMapDevices::Present() { return ListSerialDevices(); }

// A map that cannot be read names no device rather than the one a missing
// map would give.
std::string CPortMapDevices::DeviceFor(int port) { return FindComPortDevice(port).path; }

std::optional<CSettingsProblem> CPortMapDevices::Keep(int port, const std::string& device) {
  CSettingsProblem problem;
  if (SaveComPortDevice(port, device, &problem)) return std::nullopt;
  return problem;
}
