#include "tools/cli/PacketDump.h"

std::string FormatPacketLine(const unsigned char* bytes, int length) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line = "packet";
  for (int i = 0; i < length; ++i) {
    line += ' ';
    line += kDigits[bytes[i] >> 4];
    line += kDigits[bytes[i] & 0x0F];
  }
  return line;
}

void CDumpSink::SendToSign(int /*comPort*/, const unsigned char* bytes, int length) {
  out_ << FormatPacketLine(bytes, length) << '\n';
}
