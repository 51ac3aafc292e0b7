#pragma once

#include <ostream>
#include <string>

#include "sign/PacketSink.h"

// "packet " and the whole packet as upper-case hex pairs separated by single
// spaces, the 20 lead-in NULs included.
std::string FormatPacketLine(const unsigned char* bytes, int length);

// The --dump road: prints every packet as one line and sends nothing.
class CDumpSink : public CPacketSink {
 public:
  explicit CDumpSink(std::ostream& out) : out_(out) {}
  void SendToSign(int comPort, const unsigned char* bytes, int length) override;

 private:
  std::ostream& out_;
};
