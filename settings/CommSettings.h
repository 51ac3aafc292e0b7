#pragma once

#include <cstdint>
#include <string>

// The seven connection values: how the program reaches the sign. The
// document holds them, the settings dialog edits a copy of them and the store
// keeps them, each as this one record; the sign link reads them at every
// send (and repairs an impossible baud rate or byte size in place).
struct CCommSettings {
  std::string protocol;
  std::string connection;
  std::int32_t comPort = 0;
  std::int32_t baudRate = 0;
  std::int32_t byteSize = 0;
  std::string parity;
  std::int32_t stopBits = 0;
};

// The three connection types, compared as exact strings.
inline constexpr const char* kConnectionSerialClassic = "serial port - betabrite classic";
inline constexpr const char* kConnectionSerialCustom = "serial port - custom settings";
inline constexpr const char* kConnectionUsbPrism = "usb - betabrite prism";
