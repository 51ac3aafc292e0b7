#pragma once

#include <array>
#include <string>
#include <vector>

#include "sign/GameFields.h"

class CScoreboardGame;

// The four lists of Score Board Options: the colour of each team's name and
// score on the sign.
enum class ColorList { Team1Name, Team2Name, Team1Score, Team2Score };
inline constexpr int kColorListCount = 4;

// Score Board Options without widgets. The four fields are the dialog's
// private copy of the document's colours: the caller copies them in with
// CopyColorsFrom, calls Open as the dialog initialises, and hands them to the
// game with ApplyColorsTo only after OK. Nothing is sent to the sign; the
// colours reach it with the next full scoreboard.
class CColorOptionsEditor {
 public:
  // The eight colour names, in the order every list shows them.
  static const std::vector<std::string>& Entries();

  // Each list selects the first entry that begins with its field; a field
  // that matches no entry leaves its list without a selection, and unless
  // the operator picks a colour there OK returns the field unchanged.
  void Open();
  void CopyColorsFrom(const CGameFields& game);
  void ApplyColorsTo(CScoreboardGame& game) const;
  // The operator picks a colour: it becomes the list's field. A name that
  // is not an entry is ignored.
  void Choose(ColorList list, const std::string& entry);
  // The entry each list has selected, "" for none.
  const std::string& Selection(ColorList list) const { return selections_[static_cast<int>(list)]; }

  std::string team1NameColor;
  std::string team2NameColor;
  std::string team1ScoreColor;
  std::string team2ScoreColor;

 private:
  std::string& Field(ColorList list);

  std::array<std::string, kColorListCount> selections_;
};
