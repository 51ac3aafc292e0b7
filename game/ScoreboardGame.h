#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <string>

#include "game/KeptGame.h"
#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "sign/ViewStatus.h"

class CMessageBoxSeam;
class CPacketSink;

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
  // What of the note on the sign the sign does not show, one quiet line
  // under the form; empty when the whole note reached it or no note shows.
  std::string noteNotice;
  // The kept game could not be read at start-up, or the game cannot be kept
  // now: one quiet line, in the system's encoding since it names a file.
  std::string keptGameNotice;
  bool gameControlsEnabled = false;
  bool abbreviationBoxesEnabled = true;
};

// What the game flow needs from whatever shows the form.
class CFormView {
 public:
  virtual ~CFormView() = default;
  // Copy the game's form state into the controls (the form's UpdateData(FALSE)).
  virtual void RefreshControls() = 0;
  virtual void FocusAbbreviation(int team) = 0;
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
  ~CScoreboardGame() override;
  CScoreboardGame(const CScoreboardGame&) = delete;
  CScoreboardGame& operator=(const CScoreboardGame&) = delete;

  // The game half of the form's start-up: history emptied, the note lists
  // selected from the document, every box emptied, game controls disabled.
  // Reading the saved settings and clearing the sign are the caller's.
  void ResetForm();

  // Typing into a box: the text the box now holds (cut to the box's limit).
  // Like the score buttons, a disabled box or list takes no input. An
  // abbreviation box refuses text with a character the sign cannot show
  // (false, and the box keeps its text). charactersLost: characters the note
  // box holds that the document's code page lacks, so that Send Note can
  // count them among those left out.
  bool TypeTeam1(const std::string& text);
  bool TypeTeam2(const std::string& text);
  void TypeNote(const std::string& text, int charactersLost = 0);
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
  // New Game asks before it discards a game whose score is not 0-0.
  void SendScore();
  void NewGame();
  void SendNote();
  void ClearNote();
  void ClearSign();
  // File > New: the document starts afresh (reading the settings or asking
  // for them), then afterReset brings the form up to it. Chosen while a
  // send lets window events through, it waits until that send has ended
  // rather than emptying the game under it.
  void NewDocument(std::function<void()> afterReset);
  // Score Board Options ended with OK: the colours of the next scoreboard.
  void SetTeamColors(const std::string& team1Name, const std::string& team1Score,
                     const std::string& team2Name, const std::string& team2Score);

  // Keeping the game on disk, for the front end that wants it (the desktop
  // program; the command line keeps nothing). From now on every change of
  // the game (a score press, New Game, Send Score, a note sent, new colours,
  // Clear LED Sign) is written to kept before anything is sent, so a send
  // that hangs to its deadline cannot lose it; File > New's clearing of the
  // sign starts a new kept game. A write that fails is told once in the
  // quiet line, and the game goes on. clock gives the time of each change.
  void KeepGameIn(const CKeptGame* kept,
                  std::function<std::tm()> clock = CRavelleDoc::SystemLocalTime);
  // Start-up, once the connection settings are read; only the first call
  // does anything. A kept game worth it is offered back with Yes the
  // default. Yes puts it in the document and the form, enables the game
  // controls and sends what was on the sign (true: the sign needs no
  // clearing). No removes it. A kept file that cannot be used is moved
  // aside and told in the quiet line; nothing of it is applied.
  bool OfferKeptGame();

  // Every action that sends runs through here. The USB road lets window
  // events through between packets; an action that arrives that way, while
  // another is sending, waits until that one has ended, then runs in order
  // of arrival. A sequence is never interleaved with another.
  void Perform(std::function<void()> action);
  // Called as each performed action begins and ends, deferred ones too.
  std::function<void()> onActionBegin;
  std::function<void()> onActionEnd;

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
  // True when an abbreviation box is empty: the operator is told and the
  // focus goes to the empty box (team 1's when both are).
  bool RefuseEmptyAbbreviation();
  // newGame: the history is emptied once the scoreboard is out, so the
  // game is kept with none.
  void SendCheckedScoreboard(bool newGame);
  void KeepGame(bool historyEmptied = false);
  void Resume(const CKeptGameRecord& game);
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
  int noteCharactersLost_ = 0;
  CShowing showing_ = CShowing::Nothing;
  CShownNote shownNote_;
  const CKeptGame* kept_ = nullptr;
  std::function<std::tm()> keptClock_;
  bool keptGameOffered_ = false;
  bool keepingFails_ = false;
  bool resuming_ = false;
  bool performing_ = false;
  std::deque<std::function<void()>> waiting_;
};
