#pragma once

#include <string>

#include "win32/framework/ModalDialog.h"

// The scoring history (template 131), in a read-only rich edit box: the
// operator can scroll, select and copy but not change it.
class CHistoryDlg : public CModalDialog {
 public:
  CHistoryDlg();

  std::string historyText;

 protected:
  void OnInitDialog() override;
};
