#pragma once

// A form for the game flow's tests: what happened at it, in order, so that
// message boxes, questions and focus moves can be checked against each other.
// Header-only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/ScoreboardGame.h"
#include "link/MessageBoxSeam.h"

struct CFormLog : CMessageBoxSeam, CFormView {
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    events.push_back("message " + text + " / " + caption);
    EXPECT_EQ(icon, Icon::None);
  }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    events.push_back("question " + text + " / " + caption);
    return answerYes;
  }
  bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override {
    return AskYesNo("(Yes) " + text, caption);
  }
  void RefreshControls() override {}
  void FocusAbbreviation(int team) override {
    events.push_back("focus team " + std::to_string(team));
  }
  void FocusNoteBox() override { events.push_back("focus note"); }

  std::vector<std::string> events;
  bool answerYes = false;
};
