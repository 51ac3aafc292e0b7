#pragma once

#include "dialogs/PortDevices.h"

// The Linux port map (link/ComPortMap.h) as the settings dialog uses it.
class CPortMapDevices : public CPortDevices {
 public:
  std::vector<std::string> Present() override;
  std::string DeviceFor(int port) override;
  std::optional<CSettingsProblem> Keep(int port, const std::string& device) override;
};
