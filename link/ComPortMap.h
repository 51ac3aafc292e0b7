#pragma once

#include <string>
#include <vector>

// A COM port number reaches a device path through, in order: the environment
// variable RAVELLE_COM<n>, the value "COM<n>" (REG_SZ, a device path) under
// kPortsKey in the settings store, else /dev/ttyS<n-1>.
inline constexpr const char* kPortsKey = "Software\\Norvane\\Ravelle\\Ports";

std::string DevicePathForComPort(int port);

// Stores the device the operator chose for a COM port number.
bool SaveComPortDevice(int port, const std::string& devicePath);

// Serial devices present on this machine (USB adapters, on-board ports,
// stable /dev/serial/by-id names), for the operator to pick from.
std::vector<std::string> ListSerialDevices();
