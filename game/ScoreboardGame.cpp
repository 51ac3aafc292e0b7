#include "game/ScoreboardGame.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "game/RavelleDoc.h"
#include "link/MessageBoxSeam.h"
#include "sign/SignText.h"

namespace {

// The entries of the note lists, in the order the sorted lists show them.
constexpr std::array<std::string_view, 8> kNoteColorEntries = {
    "Amber", "Brown", "Dim Green", "Dim Red", "Green", "Orange", "Red", "Yellow"};
constexpr std::array<std::string_view, 2> kNoteSizeEntries = {"Giant", "Normal"};

// The longest spacer the view keeps: a 10-byte buffer with its zero.
constexpr std::size_t kSpacerLimit = 9;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

// The list's prefix search: the first entry that begins with value, compared
// without regard to case. When none does the selection stays as it was.
template <std::size_t N>
void SelectByPrefix(const std::array<std::string_view, N>& entries, const std::string& value,
                    std::string& selection) {
  for (std::string_view entry : entries) {
    if (StartsWithIgnoringCase(entry, value)) {
      selection = entry;
      return;
    }
  }
}

template <std::size_t N>
bool IsEntry(const std::array<std::string_view, N>& entries, const std::string& name) {
  return std::find(entries.begin(), entries.end(), name) != entries.end();
}

std::string CutTo(const std::string& text, int limit) {
  return text.substr(0, static_cast<std::size_t>(limit));
}

// An abbreviation reaches the sign whole or not at all: a character the
// sign cannot show would silently vanish from the scoreboard.
bool TakeAbbreviation(bool boxEnabled, const std::string& text, std::string& box) {
  if (!boxEnabled) return false;
  const std::string cut = CutTo(text, CScoreboardGame::kAbbreviationLimit);
  if (!std::all_of(cut.begin(), cut.end(),
                   [](char c) { return SignCanShow(static_cast<unsigned char>(c)); })) {
    return false;
  }
  box = cut;
  return true;
}

constexpr const char* kNewGameQuestion =
    "Start a new game? The scores and the scoring history of this game will be cleared.";

}  // namespace

CScoreboardGame::CScoreboardGame(CRavelleDoc& doc, CPacketSink& sink, CMessageBoxSeam& messages,
                                 CFormView& form)
    : doc_(doc), messageBoxes_(messages), form_(form), messages_(doc, sink, *this) {
  // A note's line is in the history before its packets go out: the game is
  // kept there, with the note on the sign.
  doc_.onNoteRecorded = [this] {
    if (!resuming_) KeepGame();
  };
}

CScoreboardGame::~CScoreboardGame() { doc_.onNoteRecorded = nullptr; }

void CScoreboardGame::ResetForm() {
  doc_.history = "";
  SelectByPrefix(kNoteColorEntries, doc_.noteColor, state_.noteColorSelection);
  SelectByPrefix(kNoteSizeEntries, doc_.noteSize, state_.noteSizeSelection);
  state_.team1Box.clear();
  state_.team2Box.clear();
  state_.team1ScoreBox.clear();
  state_.team2ScoreBox.clear();
  state_.noteBox.clear();
  // The note follows its box; an emptied box must not leave an old note
  // behind to be sent.
  doc_.noteText = "";
  noteCharactersLost_ = 0;
  state_.noteNotice.clear();
  state_.nowShowing.clear();
  state_.abbreviationBoxesEnabled = true;
  showing_ = CShowing::Nothing;
  shownNote_ = {};
  DisableGameControls();
}

bool CScoreboardGame::TypeTeam1(const std::string& text) {
  return TakeAbbreviation(state_.abbreviationBoxesEnabled, text, state_.team1Box);
}

bool CScoreboardGame::TypeTeam2(const std::string& text) {
  return TakeAbbreviation(state_.abbreviationBoxesEnabled, text, state_.team2Box);
}

void CScoreboardGame::TypeNote(const std::string& text, int charactersLost) {
  if (!state_.gameControlsEnabled) return;
  state_.noteBox = CutTo(text, kNoteLimit);
  doc_.noteText = "";
  doc_.noteText = state_.noteBox;
  noteCharactersLost_ = charactersLost;
}

void CScoreboardGame::SelectNoteColor(const std::string& name) {
  if (!state_.gameControlsEnabled || !IsEntry(kNoteColorEntries, name)) return;
  state_.noteColorSelection = name;
  doc_.noteColor = name;
}

void CScoreboardGame::SelectNoteSize(const std::string& name) {
  if (!state_.gameControlsEnabled || !IsEntry(kNoteSizeEntries, name)) return;
  state_.noteSizeSelection = name;
  doc_.noteSize = name;
}

void CScoreboardGame::PressAdd(int team, int amount) {
  if (!state_.gameControlsEnabled) return;
  Perform([this, team, amount] { AddScore(team, amount); });
}

void CScoreboardGame::PressSubtract(int team, int amount) {
  if (!state_.gameControlsEnabled) return;
  Perform([this, team, amount] { SubtractScore(team, amount); });
}

void CScoreboardGame::AddScore(int team, int amount) {
  int& score = team == 1 ? doc_.team1Score : doc_.team2Score;
  if (score + amount < 1000) {
    score += amount;
    (team == 1 ? state_.team1ScoreBox : state_.team2ScoreBox) = std::to_string(score);
    form_.RefreshControls();
    doc_.AppendScoreHistory(team == 1 ? doc_.team1Abbrev : doc_.team2Abbrev, amount);
    KeepGame();
  }
  // A refused press still resends the unchanged score.
  messages_.SendTeamScore(team, score);
}

void CScoreboardGame::SubtractScore(int team, int amount) {
  int& score = team == 1 ? doc_.team1Score : doc_.team2Score;
  if (score - amount >= 0) {
    score -= amount;
    (team == 1 ? state_.team1ScoreBox : state_.team2ScoreBox) = std::to_string(score);
    form_.RefreshControls();
    doc_.AppendScoreHistory(team == 1 ? doc_.team1Abbrev : doc_.team2Abbrev, -amount);
    KeepGame();
  }
  messages_.SendTeamScore(team, score);
}

bool CScoreboardGame::RefuseEmptyAbbreviation() {
  const int emptyTeam = state_.team1Box.empty() ? 1 : state_.team2Box.empty() ? 2 : 0;
  if (emptyTeam == 0) return false;
  messageBoxes_.Show("Enter Team Abbreviations", "Entry Required", CMessageBoxSeam::Icon::None);
  form_.FocusAbbreviation(emptyTeam);
  return true;
}

void CScoreboardGame::SendCheckedScoreboard(bool newGame) {
  // The abbreviations reach the document only with the scoreboard that shows
  // them, so the history and Now Showing name what the sign shows.
  doc_.team1Abbrev = state_.team1Box;
  doc_.team2Abbrev = state_.team2Box;
  state_.noteNotice.clear();
  showing_ = CShowing::Scoreboard;
  KeepGame(newGame);
  messages_.SendScoreboard();
}

// A refused Send Score or New Game changes nothing: the game on the sign can
// go on as it was.
void CScoreboardGame::SendScore() {
  if (!state_.gameControlsEnabled) return;
  Perform([this] {
    if (RefuseEmptyAbbreviation()) return;
    DisableGameControls();
    SetAbbreviationBoxesEnabled(false);
    scoreMode_ = 1;
    lastSpacer_.clear();
    SendCheckedScoreboard(false);
    EnableGameControls();
    SetAbbreviationBoxesEnabled(true);
  });
}

void CScoreboardGame::NewGame() {
  Perform([this] {
    if (RefuseEmptyAbbreviation()) return;
    const bool gameInProgress = doc_.team1Score != 0 || doc_.team2Score != 0;
    if (gameInProgress && !messageBoxes_.AskYesNo(kNewGameQuestion, kApplicationName)) return;
    DisableGameControls();
    scoreMode_ = 1;
    lastSpacer_.clear();
    doc_.team1Score = 0;
    doc_.team2Score = 0;
    state_.team1ScoreBox = "0";
    state_.team2ScoreBox = "0";
    form_.RefreshControls();
    SendCheckedScoreboard(true);
    // Emptied only once the new game's scoreboard has gone out.
    doc_.history = "";
    // A kept game that could not be read was told; a new game is under way.
    if (!keepingFails_) state_.keptGameNotice.clear();
    EnableGameControls();
  });
}

void CScoreboardGame::SendNote() {
  if (!state_.gameControlsEnabled) return;
  Perform([this] {
    DisableGameControls();
    SetAbbreviationBoxesEnabled(false);
    scoreMode_ = 0;
    showing_ = CShowing::Note;
    shownNote_ = {doc_.noteText, doc_.noteColor, doc_.noteSize};
    CNoteFit fit = messages_.SendNote();
    fit.charactersLeftOut += noteCharactersLost_;
    state_.noteNotice = NoteFitNotice(fit);
    EnableGameControls();
    SetAbbreviationBoxesEnabled(true);
  });
}

void CScoreboardGame::ClearNote() {
  if (!state_.gameControlsEnabled) return;
  state_.noteBox.clear();
  // Emptying the box by program raises no change notification, so the note
  // is emptied here too; otherwise the next Send Note would send the note
  // the operator just cleared.
  doc_.noteText = "";
  noteCharactersLost_ = 0;
  form_.RefreshControls();
  form_.FocusNoteBox();
}

void CScoreboardGame::ClearSign() {
  Perform([this] {
    // The blank sign shows no score: in note mode score presses leave Now
    // Showing alone, so it stays empty until a scoreboard or a note is sent.
    scoreMode_ = 0;
    state_.noteNotice.clear();
    showing_ = CShowing::Nothing;
    KeepGame();
    messages_.ClearSign();
  });
}

void CScoreboardGame::NewDocument(std::function<void()> afterReset) {
  Perform([this, afterReset = std::move(afterReset)] {
    // The document is never modified, so there is nothing to offer to save.
    if (!doc_.OnNewDocument()) return;
    afterReset();
  });
}

void CScoreboardGame::SetTeamColors(const std::string& team1Name, const std::string& team1Score,
                                    const std::string& team2Name, const std::string& team2Score) {
  doc_.team1NameColor = team1Name;
  doc_.team1ScoreColor = team1Score;
  doc_.team2NameColor = team2Name;
  doc_.team2ScoreColor = team2Score;
  KeepGame();
}

void CScoreboardGame::KeepGameIn(const CKeptGame* kept, std::function<std::tm()> clock) {
  kept_ = kept;
  keptClock_ = std::move(clock);
}

void CScoreboardGame::KeepGame(bool historyEmptied) {
  if (kept_ == nullptr) return;
  CKeptGameRecord game{doc_, showing_, shownNote_, keptClock_()};
  if (historyEmptied) game.fields.history.clear();
  std::string problem;
  const bool kept = kept_->Keep(game, problem);
  // Told once while it lasts; the game goes on either way.
  if (kept == !keepingFails_) return;
  keepingFails_ = !kept;
  state_.keptGameNotice = kept ? "" : problem;
  form_.RefreshControls();
}

bool CScoreboardGame::OfferKeptGame() {
  if (kept_ == nullptr || keptGameOffered_) return false;
  keptGameOffered_ = true;
  CKeptGame::CFound found = kept_->Load();
  std::string problem = found.problem;
  bool resumed = false;
  if (found.game && IsWorthOffering(*found.game)) {
    if (messageBoxes_.AskYesNoDefaultYes(ResumeQuestion(*found.game), kApplicationName)) {
      Resume(*found.game);
      resumed = true;
    } else {
      kept_->Discard(problem);
    }
  }
  if (!problem.empty()) {
    state_.keptGameNotice = problem;
    form_.RefreshControls();
  }
  return resumed;
}

void CScoreboardGame::Resume(const CKeptGameRecord& game) {
  Perform([this, game] {
    static_cast<CGameFields&>(doc_) = game.fields;
    state_.team1Box = doc_.team1Abbrev;
    state_.team2Box = doc_.team2Abbrev;
    state_.team1ScoreBox = std::to_string(doc_.team1Score);
    state_.team2ScoreBox = std::to_string(doc_.team2Score);
    state_.noteBox = doc_.noteText;
    state_.noteColorSelection = doc_.noteColor;
    state_.noteSizeSelection = doc_.noteSize;
    noteCharactersLost_ = 0;
    showing_ = game.showing;
    shownNote_ = game.shownNote;
    DisableGameControls();
    SetAbbreviationBoxesEnabled(false);
    // What was on the sign goes back on it; the file already holds this
    // game, so nothing is kept meanwhile.
    if (showing_ == CShowing::Scoreboard) {
      scoreMode_ = 1;
      lastSpacer_.clear();
      messages_.SendScoreboard();
    } else if (showing_ == CShowing::Note) {
      // The note shown, not the one the box may hold since; sending it
      // again is no new line in the history.
      const CShownNote box{doc_.noteText, doc_.noteColor, doc_.noteSize};
      doc_.noteText = shownNote_.text;
      doc_.noteColor = shownNote_.color;
      doc_.noteSize = shownNote_.size;
      resuming_ = true;
      state_.noteNotice = NoteFitNotice(messages_.SendNote());
      resuming_ = false;
      doc_.noteText = box.text;
      doc_.noteColor = box.color;
      doc_.noteSize = box.size;
      doc_.history = game.fields.history;
    } else {
      scoreMode_ = 0;
      messages_.ClearSign();
    }
    EnableGameControls();
    SetAbbreviationBoxesEnabled(true);
  });
}

void CScoreboardGame::Perform(std::function<void()> action) {
  waiting_.push_back(std::move(action));
  if (performing_) return;
  performing_ = true;
  // Whatever an action throws, the game must not stay locked as sending.
  struct Unlock {
    CScoreboardGame& game;
    ~Unlock() {
      game.performing_ = false;
      game.waiting_.clear();
    }
  } unlock{*this};
  while (!waiting_.empty()) {
    std::function<void()> next = std::move(waiting_.front());
    waiting_.pop_front();
    if (onActionBegin) onActionBegin();
    next();
    if (onActionEnd) onActionEnd();
  }
}

void CScoreboardGame::SetLastSpacer(const std::string& spacer) {
  lastSpacer_ = spacer.substr(0, kSpacerLimit);
}

void CScoreboardGame::SetNowShowing(const std::string& text) {
  state_.nowShowing = text;
  form_.RefreshControls();
}

void CScoreboardGame::DisableGameControls() {
  state_.gameControlsEnabled = false;
  form_.RefreshControls();
}

void CScoreboardGame::EnableGameControls() {
  state_.gameControlsEnabled = true;
  form_.RefreshControls();
}

void CScoreboardGame::SetAbbreviationBoxesEnabled(bool enabled) {
  state_.abbreviationBoxesEnabled = enabled;
  form_.RefreshControls();
}
