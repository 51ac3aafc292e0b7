#pragma once

// One pass of the user-interface event loop: handle at most what is pending
// now and return at once. The USB road runs ten passes after every packet so
// a click can be handled between the packets of a longer send.
class CEventPump {
 public:
  virtual ~CEventPump() = default;
  virtual void PumpOnce() = 0;
};
