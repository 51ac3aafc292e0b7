#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "sign/GameFields.h"

// What the sign showed when the game was last kept.
enum class CShowing { Nothing, Scoreboard, Note };

// The note on the sign as Send Note sent it; the note box and its lists may
// have moved on since, and the sign still shows this one.
struct CShownNote {
  std::string text;
  std::string color = "Red";
  std::string size = "Normal";
  bool operator==(const CShownNote&) const = default;
};

// Everything kept of a game in progress, enough to put it back on the form
// and on the sign after the program ended without warning. Texts are
// Windows-1252, as in the document.
struct CKeptGameRecord {
  CGameFields fields;
  CShowing showing = CShowing::Nothing;
  CShownNote shownNote;
  std::tm lastChange{};  // local time; only the date and the time of day count
};

// The kept game's file is the settings file's format, the registry editor's
// export, so a person can read it:
//
//   [Game]
//   "Team 1"="HOM"
//   "Team 1 score"=dword:00000015
//   ...
//   [Game\History]
//   "1"="  20:15:07 -- HOM ::  6"
//   "2"=""
//
// A text that may hold line feeds (the note, the shown note, the history) is
// a key of its own whose values "1", "2", ... are its pieces between line
// feeds, so the history's lines read one a line and a text with a line feed
// at its end has an empty last piece. A piece with a byte outside printable
// ASCII is written as the format writes such a text, a hex list, so every
// Windows-1252 text comes back exactly.
std::string FormatKeptGame(const CKeptGameRecord& game);

// Nothing unless the text is a whole kept game with every value one the form
// could hold (scores 0 to 999, abbreviations the abbreviation boxes take,
// the sign's colours, Normal or Giant, notes within the note box's limit);
// problem (when given) then says what is wrong.
std::optional<CKeptGameRecord> ParseKeptGame(std::string_view text, std::string* problem = nullptr);

// A game worth asking about: a score other than 0 or a line of history.
bool IsWorthOffering(const CKeptGameRecord& game);

// "Resume the game HOM 21 – VIS 14 (last change Saturday 20:15)?", in
// Windows-1252.
std::string ResumeQuestion(const CKeptGameRecord& game);

// The current user's kept game: $XDG_STATE_HOME/ravelle/game on Linux
// (~/.local/state when the variable is unset or not an absolute path),
// %LOCALAPPDATA%\Ravelle\game on Windows. Nothing when no such folder is
// known.
std::optional<std::filesystem::path> UserKeptGamePath();

// The kept game's file. Writes replace it whole and atomically; a file that
// cannot be used is never applied in part and never deleted.
class CKeptGame {
 public:
  // A long game with many notes stays far below this; a file past it is
  // not one this program wrote.
  static constexpr std::size_t kMaxFileSize = std::size_t{8} << 20;

  explicit CKeptGame(std::filesystem::path file);

  const std::filesystem::path& File() const { return file_; }
  // Where a file that cannot be used is moved: game.unreadable beside it.
  std::filesystem::path AsideFile() const;

  struct CFound {
    std::optional<CKeptGameRecord> game;  // nothing when no game is kept
    // For the form's quiet line: the file could not be used, was moved
    // aside (or why it could not be), naming the file; empty when all is
    // well.
    std::string problem;
  };
  CFound Load() const;

  // False, with the reason for the quiet line, when the file or its folder
  // cannot be written; the file then holds what it held before.
  bool Keep(const CKeptGameRecord& game, std::string& problem) const;

  // Removes the kept game; false, with the reason, when it stays.
  bool Discard(std::string& problem) const;

 private:
  std::filesystem::path file_;
};
