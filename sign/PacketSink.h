#pragma once

// Where every finished packet goes: whole, one at a time, in order.
// The builders never look at what happened to a packet; the sink deals with
// connection failures itself, and a failed packet never stops a sequence.
class CPacketSink {
 public:
  virtual ~CPacketSink() = default;
  virtual void SendToSign(int comPort, const unsigned char* bytes, int length) = 0;
};
