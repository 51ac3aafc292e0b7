#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/MessageBoxSeam.h"
#include "link/EventPump.h"

// Message boxes the link showed, in order.
class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  struct Box {
    std::string text;
    std::string caption;
    Icon icon;
  };
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    boxes.push_back({text, caption, icon});
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes) texts.push_back(box.text);
    return texts;
  }
  std::vector<Box> boxes;
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
