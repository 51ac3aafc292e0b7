#pragma once

#include <cstdint>
#include <string>

// The connection values: how the program reaches the sign. The document
// holds them, the settings dialog edits a copy of them and the store keeps
// them, each as this one record; the sign link reads them at every send (and
// repairs an impossible baud rate or byte size in place).
struct CCommSettings {
  std::string protocol;
  std::string connection;
  std::int32_t comPort = 0;
  std::int32_t baudRate = 0;
  std::int32_t byteSize = 0;
  std::string parity;
  std::int32_t stopBits = 0;
  // Where a serial device server listens, and how it is spoken to
  // (kTcpProtocolRaw or kTcpProtocolRfc2217); used by the network
  // connection type alone, and stored only for it. Each has an initialiser,
  // so a record written out with the serial values alone is complete.
  std::string host{};
  std::int32_t tcpPort = 0;
  std::string tcpProtocol{};
};

// The connection types, compared as exact strings.
inline constexpr const char* kConnectionSerialClassic = "serial port - betabrite classic";
inline constexpr const char* kConnectionSerialCustom = "serial port - custom settings";
inline constexpr const char* kConnectionUsbPrism = "usb - betabrite prism";
// The sign's serial port behind a device server on the network (a box, or a
// machine running ser2net) that passes TCP bytes to its line.
inline constexpr const char* kConnectionNetwork = "network - serial device server";

// How the device server is spoken to: bytes as they are, its own line
// settings applying; or Telnet COM Port Control, which sets the line and
// sends the break as a local port would.
inline constexpr const char* kTcpProtocolRaw = "raw";
inline constexpr const char* kTcpProtocolRfc2217 = "RFC 2217";
