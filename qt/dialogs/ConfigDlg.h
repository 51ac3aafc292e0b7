#pragma once

#include <string>

#include "qt/framework/ModalDialog.h"

class QComboBox;

// Score Board Options: the colour of each team's name and score on the sign.
// Edits private copies; the caller takes them back only after OK.
class CConfigDlg : public CModalDialog {
  Q_OBJECT
 public:
  explicit CConfigDlg(QWidget* parent = nullptr);

  std::string team1NameColor;
  std::string team2NameColor;
  std::string team1ScoreColor;
  std::string team2ScoreColor;

 protected:
  void OnInitDialog() override;

 private:
  QComboBox* AddColorList(int id, int x, int y, std::string& field);

  QComboBox* team1NameList_;
  QComboBox* team2NameList_;
  QComboBox* team1ScoreList_;
  QComboBox* team2ScoreList_;
};
