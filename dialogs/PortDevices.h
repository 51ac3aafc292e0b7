#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"

// Where the Communication Settings dialog learns and keeps which device a COM
// port number leads to. On Linux that is the port map (PortMapDevices.h);
// Windows has none, as port n is the system's own COMn, and its dialog has
// no device row. Device names are paths as the system spells them, not
// Windows-1252.
class CPortDevices {
 public:
  virtual ~CPortDevices() = default;
  // The serial devices present, for the operator to pick from.
  virtual std::vector<std::string> Present() = 0;
  // The device the port leads to now; "" when that cannot be told.
  virtual std::string DeviceFor(int port) = 0;
  // Keeps device as the port's; nothing when that worked, else why not.
  virtual std::optional<CSettingsProblem> Keep(int port, const std::string& device) = 0;
};
