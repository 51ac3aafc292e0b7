#include "link/ComPortMap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "settings/RegistryAccess.h"
#include "settings/SettingsReadScope.h"

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

CComPortDevice FindComPortDevice(int port) {
  std::string name = PortValueName(port);
  if (const char* fromEnvironment = std::getenv(("RAVELLE_" + name).c_str());
      fromEnvironment != nullptr && fromEnvironment[0] != 0) {
    return {fromEnvironment, 0, {}};
  }
  const CSettingsReadScope oneRead;
  CRegistryAccess registry;
  if (auto problem = registry.StoreProblem()) return {{}, problem->errorCode, problem->text};
  std::array<char, 1000> stored{};
  std::uint32_t type = 0;
  if (registry.ReadValue(stored.data(), nullptr, stored.size() - 1, HKEY_CURRENT_USER, kPortsKey,
                         name.c_str(), &type) &&
      type == REG_SZ && stored[0] != 0) {
    return {stored.data(), 0, {}};
  }
  return {"/dev/ttyS" + std::to_string(port - 1), 0, {}};
}

std::string DevicePathForComPort(int port) {
  CComPortDevice device = FindComPortDevice(port);
  if (!device.problem.empty()) {
    throw new CSettingsUnreadable(static_cast<std::uint32_t>(device.errorCode), device.problem);
  }
  return device.path;
}

std::string ComPortDeviceForReport(int port) {
  CComPortDevice device = FindComPortDevice(port);
  return device.problem.empty() ? device.path : "device unknown";
}

bool SaveComPortDevice(int port, const std::string& devicePath, CSettingsProblem* problem) {
  CRegistryAccess registry;
  if (registry.WriteValue(devicePath.c_str(), REG_SZ,
                          static_cast<std::uint32_t>(devicePath.size() + 1), HKEY_CURRENT_USER,
                          kPortsKey, PortValueName(port).c_str())) {
    return true;
  }
  if (problem != nullptr && registry.LastWriteProblem()) *problem = *registry.LastWriteProblem();
  return false;
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

const CRuntimeClass CSettingsUnreadable::classCSettingsUnreadable{
    "CSettingsUnreadable", &CSerialException::classCSerialException};

const CRuntimeClass* CSettingsUnreadable::GetRuntimeClass() const {
  return &classCSettingsUnreadable;
}

bool CSettingsUnreadable::GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  if (text != nullptr && capacity > 0) {
    std::size_t length = std::min<std::size_t>(problem.size(), capacity - 1);
    std::memcpy(text, problem.data(), length);
    text[length] = 0;
  }
  return true;
}
