// On Windows COM port n is the system's own \\.\COMn: there is no device map
// to keep, and the settings dialog's device row (with the saving and listing
// of ComPortMap.h) does not exist there.

#include <string>

#include "link/ComPortMap.h"

std::string DevicePathForComPort(int port) { return "\\\\.\\COM" + std::to_string(port); }

std::string ComPortDeviceForReport(int port) { return DevicePathForComPort(port); }
