#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/EventPump.h"
#include "link/MessageBoxSeam.h"

// Message boxes the link showed, in order.
class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    texts.push_back(text);
    EXPECT_EQ(caption, "Ravelle");
    EXPECT_EQ(icon, Icon::Exclamation);
  }
  std::vector<std::string> texts;
};

// Counts the event-loop passes; onPass runs at each one.
class CCountingEventPump : public CEventPump {
 public:
  void PumpOnce() override {
    ++passes;
    if (onPass) onPass();
  }
  int passes = 0;
  std::function<void()> onPass;
};
