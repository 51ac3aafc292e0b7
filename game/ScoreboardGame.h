#pragma once

#include <string>

#include "sign/SignMessages.h"
#include "sign/ViewStatus.h"

class CMessageBoxSeam;
class CPacketSink;
class CRavelleDoc;

// What the scoreboard form shows, held by the game flow so that a whole game
// can run without a window. The Qt form mirrors it into its widgets; the
// command line prints from it. Texts are Windows-1252.
struct CFormState {
  std::string team1Box;            // abbreviation box 1001, at most 3 characters
  std::string team2Box;            // abbreviation box 1003, at most 3 characters
  std::string team1ScoreBox;       // score box 1027
  std::string team2ScoreBox;       // score box 1028
  std::string noteBox;             // note box 1015, at most 8000 characters
  std::string nowShowing;          // Now Showing box 1012
  std::string noteColorSelection;  // selected entry of list 1018, "" for none
  std::string noteSizeSelection;   // selected entry of list 1019, "" for none
  bool gameControlsEnabled = false;
  bool abbreviationBoxesEnabled = true;
};

// What the game flow needs from whatever shows the form.
class CFormView {
 public:
  virtual ~CFormView() = default;
  // Copy the game's form state into the controls (the form's UpdateData(FALSE)).
  virtual void RefreshControls() = 0;
  virtual void FocusTeam1Abbreviation() = 0;
  virtual void FocusNoteBox() = 0;
};

// The scoreboard form's game flow without widgets: score presses, Send Score,
// New Game, notes, and the waiting / running / sending states with the
// controls each one enables. The Qt form and the command-line session both
// delegate every operator action here.
class CScoreboardGame : public CViewStatus {
 public:
  static constexpr int kAbbreviationLimit = 3;
  static constexpr int kNoteLimit = 8000;

  CScoreboardGame(CRavelleDoc& doc, CPacketSink& sink, CMessageBoxSeam& messages, CFormView& form);

  // The game half of the form's start-up: history emptied, the note lists
  // selected from the document, every box emptied, game controls disabled.
  // Reading the saved settings and clearing the sign are the caller's.
  void ResetForm();

  // Typing into a box: the text the box now holds (cut to the box's limit).
  // Like the score buttons, a disabled box or list takes no input.
  void TypeTeam1(const std::string& text);
  void TypeTeam2(const std::string& text);
  void TypeNote(const std::string& text);
  // Choosing a list entry; a name that is not an entry of the list is ignored.
  void SelectNoteColor(const std::string& name);
  void SelectNoteSize(const std::string& name);

  // The score buttons; a press while the game controls are disabled does
  // nothing, like a disabled button. amount is 1, 2, 3 or 6 for adds, 1 for
  // the subtract button.
  void PressAdd(int team, int amount);
  void PressSubtract(int team, int amount);

  // Send Score, Send Note and Clear Note are game controls too: pressed
  // while disabled they do nothing. New Game and Clear LED Sign always work.
  void SendScore();
  void NewGame();
  void SendNote();
  void ClearNote();
  void ClearSign();

  const CFormState& State() const { return state_; }
  CSignMessages& Messages() { return messages_; }

  // CViewStatus
  unsigned char GetScoreMode() const override { return scoreMode_; }
  void SetScoreMode(unsigned char mode) override { scoreMode_ = mode; }
  std::string GetLastSpacer() const override { return lastSpacer_; }
  void SetLastSpacer(const std::string& spacer) override;
  void SetNowShowing(const std::string& text) override;

 private:
  void AddScore(int team, int amount);
  void SubtractScore(int team, int amount);
  bool CheckAndSendScoreboard();
  void DisableGameControls();
  void EnableGameControls();
  void SetAbbreviationBoxesEnabled(bool enabled);

  CRavelleDoc& doc_;
  CMessageBoxSeam& messageBoxes_;
  CFormView& form_;
  CSignMessages messages_;
  CFormState state_;
  unsigned char scoreMode_ = 0;
  std::string lastSpacer_;
};
