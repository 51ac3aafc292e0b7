#pragma once

#include <string>

// The three pieces of the scoreboard form's state that the message builders
// and the sign link share. The form owns them; everyone else only reads and
// sets them through this interface.
class CViewStatus {
 public:
  virtual ~CViewStatus() = default;

  // 1 after the scoreboard was given to the sign, 0 after a note.
  virtual unsigned char GetScoreMode() const = 0;
  virtual void SetScoreMode(unsigned char mode) = 0;

  // The text last written to STRING file "3": at most 9 characters, empty
  // when none is known.
  virtual std::string GetLastSpacer() const = 0;
  virtual void SetLastSpacer(const std::string& spacer) = 0;

  // Puts text (Windows-1252) in the Now Showing box and refreshes the form's
  // controls from the form's data.
  virtual void SetNowShowing(const std::string& text) = 0;
};
