#pragma once

#include <string>

#include "qt/framework/ModalDialog.h"

class QPlainTextEdit;
class QPushButton;

// The scoring history, read-only: the operator can scroll, select and copy
// but not change it.
class CHistoryDlg : public CModalDialog {
  Q_OBJECT
 public:
  explicit CHistoryDlg(QWidget* parent = nullptr);

  std::string historyText;

 protected:
  void OnInitDialog() override;

 private:
  QPushButton* okButton_;
  QPlainTextEdit* historyBox_;
};
