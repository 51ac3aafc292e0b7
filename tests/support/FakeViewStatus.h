#pragma once

// A view status for tests: holds scoreMode and lastSpacer like the form does
// and records every Now Showing text set, in order. Header-only.
//
//   CFakeViewStatus view;
//   view.scoreMode = 1;
//   messages.SendTeamScore(1, 7);
//   EXPECT_EQ(view.NowShowing(), "HOM 7  VIS 0");

#include <string>
#include <vector>

#include "sign/ViewStatus.h"

class CFakeViewStatus : public CViewStatus {
 public:
  unsigned char GetScoreMode() const override { return scoreMode; }
  void SetScoreMode(unsigned char mode) override { scoreMode = mode; }
  std::string GetLastSpacer() const override { return lastSpacer; }
  void SetLastSpacer(const std::string& spacer) override { lastSpacer = spacer; }
  void SetNowShowing(const std::string& text) override { nowShowingTexts.push_back(text); }

  // The text now in the Now Showing box ("" before anything was set).
  std::string NowShowing() const { return nowShowingTexts.empty() ? "" : nowShowingTexts.back(); }

  unsigned char scoreMode = 0;
  std::string lastSpacer;
  // Every text set, oldest first; each set is also one refresh of the form.
  std::vector<std::string> nowShowingTexts;
};
