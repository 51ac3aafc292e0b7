#include "link/ComPortMap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "dialogs/RegistryAccess.h"

namespace {

std::string PortValueName(int port) { return "COM" + std::to_string(port); }

// Serial-core ports that exist only as a name report type 0 (unknown UART).
bool HasHardware(const std::filesystem::path& sysfsEntry) {
  std::ifstream typeFile(sysfsEntry / "type");
  int type = 0;
  if (typeFile >> type) return type != 0;
  std::error_code error;
  return std::filesystem::exists(sysfsEntry / "device", error);
}

}  // namespace

std::string DevicePathForComPort(int port) {
  std::string name = PortValueName(port);
  if (const char* fromEnvironment = std::getenv(("RAVELLE_" + name).c_str());
      fromEnvironment != nullptr && fromEnvironment[0] != 0) {
    return fromEnvironment;
  }
  std::array<char, 1000> stored{};
  CRegistryAccess registry;
  if (registry.ReadValue(stored.data(), nullptr, stored.size() - 1, HKEY_CURRENT_USER, kPortsKey,
                         name.c_str()) &&
      stored[0] != 0) {
    return stored.data();
  }
  return "/dev/ttyS" + std::to_string(port - 1);
}

bool SaveComPortDevice(int port, const std::string& devicePath) {
  CRegistryAccess registry;
  return registry.WriteValue(devicePath.c_str(), REG_SZ,
                             static_cast<std::uint32_t>(devicePath.size() + 1), HKEY_CURRENT_USER,
                             kPortsKey, PortValueName(port).c_str());
}

std::vector<std::string> ListSerialDevices() {
  std::vector<std::string> devices;
  std::error_code error;
  // Stable names of USB adapters first: they survive re-plugging.
  for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-id", error)) {
    devices.push_back(entry.path().string());
  }
  std::sort(devices.begin(), devices.end());

  std::vector<std::string> ttys;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/tty", error)) {
    std::string name = entry.path().filename().string();
    bool serial = name.starts_with("ttyS") || name.starts_with("ttyUSB") ||
                  name.starts_with("ttyACM") || name.starts_with("ttyAMA");
    if (serial && HasHardware(entry.path()) && std::filesystem::exists("/dev/" + name, error)) {
      ttys.push_back("/dev/" + name);
    }
  }
  std::sort(ttys.begin(), ttys.end());
  devices.insert(devices.end(), ttys.begin(), ttys.end());
  return devices;
}
