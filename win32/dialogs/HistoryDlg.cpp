#include "win32/dialogs/HistoryDlg.h"

#include "win32/dialogs/DialogIds.h"
#include "win32/framework/ControlText.h"

CHistoryDlg::CHistoryDlg() : CModalDialog(IDD_SCORING_HISTORY) {}

void CHistoryDlg::OnInitDialog() {
  // The box breaks lines at carriage return and line feed.
  std::string text;
  for (char c : historyText) {
    if (c == '\n') text += '\r';
    text += c;
  }
  SetControlText(Window(), IDC_HISTORY_TEXT, text);
}
