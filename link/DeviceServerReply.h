#pragma once

#include <cstddef>
#include <string>

// What a device server sends back as plain data, kept for the report when
// it closes the connection: ser2net turning a sender away says "Port
// already in use". The sign itself never answers.
class CDeviceServerReply {
 public:
  // Keeps the printable characters, up to a line's worth.
  void Take(const unsigned char* bytes, std::size_t count);
  // Throws the server's closing of the connection, with what it said.
  [[noreturn]] void RaiseClosed() const;

 private:
  std::string said_;
};
