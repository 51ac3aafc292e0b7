#include "win32/dialogs/ConfigDlg.h"

#include <array>
#include <utility>

#include "win32/dialogs/DialogIds.h"
#include "win32/framework/ControlText.h"

namespace {

constexpr std::array<std::pair<ColorList, int>, kColorListCount> kListControls = {{
    {ColorList::Team1Name, IDC_TEAM1_NAME_COLOR},
    {ColorList::Team2Name, IDC_TEAM2_NAME_COLOR},
    {ColorList::Team1Score, IDC_TEAM1_SCORE_COLOR},
    {ColorList::Team2Score, IDC_TEAM2_SCORE_COLOR},
}};

}  // namespace

CConfigDlg::CConfigDlg() : CModalDialog(IDD_SCORE_BOARD_OPTIONS) {}

void CConfigDlg::OnInitDialog() {
  std::vector<const char*> entries;
  for (const std::string& entry : Entries()) entries.push_back(entry.c_str());
  Open();
  for (const auto& [list, id] : kListControls) {
    FillComboEntries(Window(), id, entries);
    SelectExactEntry(Window(), id, Selection(list));
  }
}

bool CConfigDlg::OnCommand(int id, int notification) {
  if (notification != CBN_SELCHANGE) return false;
  for (const auto& [list, control] : kListControls) {
    std::string entry;
    if (control == id && SelectedEntry(Window(), id, entry)) Choose(list, entry);
  }
  return true;
}
