#pragma once

// The network road to the sign: its serial port behind a device server, in
// raw TCP or over RFC 2217. Used by CSignLink beside the serial and USB
// roads, with the serial road's shape: connect, set the line, break, write,
// finish, close, every step bounded.

#include <cstdint>
#include <string>

#include "link/SerialRecords.h"

struct CCommSettings;

// Sends one packet through the device server of settings (host, tcpPort,
// tcpProtocol); line holds the serial line the settings ask for, set over
// RFC 2217 and, either way, the measure of the write's deadline.
//
// Connecting gives up after 3 s. A server that refuses the connection, drops
// it, or leaves the packet unacknowledged (one still serving the previous
// sender) is tried again for about two seconds, as a busy port is waited
// for. Over RFC 2217 the line is then set up and the break sent, each
// answered by the server before the next step. The packet is written within
// the serial write's deadline for its length, and the connection is held
// until the server has acknowledged it and its line has had time to send it
// (in raw TCP at least a quarter second, time for a server that turns the
// connection away to say so), since closing sooner lets a server flush what
// its port still holds. Throws heap CSerialException* with the system's code.
void SendViaDeviceServer(const CCommSettings& settings, const DCB& line, const unsigned char* bytes,
                         std::uint32_t count);

// How reports name the server: "HOST:PORT", an IPv6 address in brackets.
std::string DeviceServerName(const std::string& host, int port);
