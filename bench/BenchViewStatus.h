#pragma once

#include <string>

#include "sign/ViewStatus.h"

// The form's view status for the benchmarks: keeps only the latest values, so
// a long run does not grow.
class CBenchViewStatus : public CViewStatus {
 public:
  unsigned char GetScoreMode() const override { return scoreMode; }
  void SetScoreMode(unsigned char mode) override { scoreMode = mode; }
  std::string GetLastSpacer() const override { return lastSpacer; }
  void SetLastSpacer(const std::string& spacer) override { lastSpacer = spacer; }
  void SetNowShowing(const std::string& text) override { nowShowing = text; }

  unsigned char scoreMode = 1;
  std::string lastSpacer;
  std::string nowShowing;
};
