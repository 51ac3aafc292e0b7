#pragma once

#include "link/EventPump.h"

// One pass of Qt's event loop: what is pending now is handled, then it
// returns.
class CQtEventPump : public CEventPump {
 public:
  void PumpOnce() override;
};
