#pragma once

#include <windows.h>

#include <functional>

#include "link/EventPump.h"

// One pass of the Windows message loop: takes at most one pending message,
// offers it to the program's keyboard handling (the form's dialog manager,
// the accelerators), and dispatches it when that did not take it. Returns
// at once when nothing is pending.
class CWin32EventPump : public CEventPump {
 public:
  // True when the message was handled and must not be dispatched.
  std::function<bool(MSG&)> preTranslate;

  void PumpOnce() override;
};
