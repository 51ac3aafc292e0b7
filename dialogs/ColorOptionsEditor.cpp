#include "dialogs/ColorOptionsEditor.h"

#include <algorithm>

#include "dialogs/DialogBox.h"
#include "game/ScoreboardGame.h"

const std::vector<std::string>& CColorOptionsEditor::Entries() {
  static const std::vector<std::string> names = {"Amber", "Brown",  "Dim Green", "Dim Red",
                                                 "Green", "Orange", "Red",       "Yellow"};
  return names;
}

void CColorOptionsEditor::Open() {
  for (int list = 0; list < kColorListCount; ++list) {
    const std::string* entry = FindEntryByPrefix(Entries(), Field(static_cast<ColorList>(list)));
    selections_[list] = entry != nullptr ? *entry : "";
  }
}

void CColorOptionsEditor::Choose(ColorList list, const std::string& entry) {
  if (std::find(Entries().begin(), Entries().end(), entry) == Entries().end()) return;
  selections_[static_cast<int>(list)] = entry;
  Field(list) = entry;
}

std::string& CColorOptionsEditor::Field(ColorList list) {
  switch (list) {
    case ColorList::Team1Name:
      return team1NameColor;
    case ColorList::Team2Name:
      return team2NameColor;
    case ColorList::Team1Score:
      return team1ScoreColor;
    case ColorList::Team2Score:
      break;
  }
  return team2ScoreColor;
}

void CColorOptionsEditor::CopyColorsFrom(const CGameFields& game) {
  team1NameColor = game.team1NameColor;
  team2NameColor = game.team2NameColor;
  team1ScoreColor = game.team1ScoreColor;
  team2ScoreColor = game.team2ScoreColor;
}

void CColorOptionsEditor::ApplyColorsTo(CScoreboardGame& game) const {
  game.SetTeamColors(team1NameColor, team1ScoreColor, team2NameColor, team2ScoreColor);
}
