#pragma once

#include <string>
#include <vector>

#include "link/SerialException.h"
#include "settings/SettingsStore.h"

// On Linux a COM port number reaches a device path through, in order: the
// environment variable RAVELLE_COM<n>, the value "COM<n>" (REG_SZ, a device
// path) under kPortsKey in the settings store, else /dev/ttyS<n-1>. The last
// one is taken only when the store says nothing about the port: a store that
// cannot be read is never taken for one without a map, as the port it would
// name by default may be another device (a console, a modem). On Windows
// (link/win32/ComPortMapWin32.cpp) port n is the system's own \\.\COMn, and
// only DevicePathForComPort and ComPortDeviceForReport exist there.
inline constexpr const char* kPortsKey = "Software\\Norvane\\Ravelle\\Ports";

// Where a port number leads: a device path, or why none can be told.
struct CComPortDevice {
  std::string path;     // empty when problem is set
  int errorCode = 0;    // errno of the problem, 0 without one
  std::string problem;  // the settings file and what is wrong in it
};

// Never throws; the settings dialog shows what it finds.
CComPortDevice FindComPortDevice(int port);

// The device path for the serial port layer. Throws CSettingsUnreadable
// (a CSerialException) when the store that could hold the port's device
// cannot be read, so the send fails before any device is opened.
std::string DevicePathForComPort(int port);

// The device as a failure report names it: the path, or "device unknown".
std::string ComPortDeviceForReport(int port);

// Stores the device the operator chose for a COM port number; when that
// fails, problem (when given) says why.
bool SaveComPortDevice(int port, const std::string& devicePath,
                       CSettingsProblem* problem = nullptr);

// Serial devices present on this machine (USB adapters, on-board ports,
// stable /dev/serial/by-id names), for the operator to pick from.
std::vector<std::string> ListSerialDevices();

// A send that could not find its device because the settings store cannot
// be read. Its message is the store's problem (the file and what is wrong
// in it) rather than the system's text for the code alone.
class CSettingsUnreadable : public CSerialException {
 public:
  CSettingsUnreadable(std::uint32_t errorCode, std::string problem)
      : CSerialException(errorCode), problem(std::move(problem)) {}

  const CRuntimeClass* GetRuntimeClass() const override;
  bool GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext = nullptr) override;

  static const CRuntimeClass classCSettingsUnreadable;

  std::string problem;
};
