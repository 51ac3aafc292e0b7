#include "qt/dialogs/ConfigDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "qt/framework/ComboEntries.h"
#include "qt/framework/GroupFrame.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"

namespace {

const QStringList kColorNames = {"Amber", "Brown",  "Dim Green", "Dim Red",
                                 "Green", "Orange", "Red",       "Yellow"};

}  // namespace

CConfigDlg::CConfigDlg(QWidget* parent) : CModalDialog(parent) {
  setWindowTitle(QStringLiteral("Configuration"));
  CTemplateLayout layout(*this);
  layout.SetTemplateSize(306, 177);

  // The frames first, so that they lie beneath the lists they surround.
  layout.Place(*new CGroupFrame(QStringLiteral("Team 1"), this), 0, 15, 72, 128, 88);
  layout.Place(*new CGroupFrame(QStringLiteral("Team 2"), this), 0, 154, 72, 128, 88);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  layout.Place(*ok, 1, 249, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  layout.Place(*cancel, 2, 249, 24, 50, 14);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  team1NameList_ = AddColorList(1016, 83, 99, team1NameColor);
  layout.Place(*new QLabel(QStringLiteral("Name Color:"), this), 0, 20, 100, 49, 11);
  team2NameList_ = AddColorList(1017, 219, 99, team2NameColor);
  layout.Place(*new QLabel(QStringLiteral("Name Color:"), this), 0, 160, 100, 49, 11);
  team1ScoreList_ = AddColorList(1018, 83, 134, team1ScoreColor);
  layout.Place(*new QLabel(QStringLiteral("Score Color:"), this), 0, 20, 135, 49, 11);
  team2ScoreList_ = AddColorList(1019, 219, 134, team2ScoreColor);
  layout.Place(*new QLabel(QStringLiteral("Score Color:"), this), 0, 160, 135, 49, 11);

  setTabOrder(ok, cancel);
  setTabOrder(cancel, team1NameList_);
  setTabOrder(team1NameList_, team2NameList_);
  setTabOrder(team2NameList_, team1ScoreList_);
  setTabOrder(team1ScoreList_, team2ScoreList_);
}

QComboBox* CConfigDlg::AddColorList(int id, int x, int y, std::string& field) {
  auto* list = new QComboBox(this);
  FillComboEntries(*list, kColorNames, true);
  CTemplateLayout(*this).PlaceCombo(*list, id, x, y, 52, 138);
  // The operator's choice, the newly selected colour name, goes to the field
  // this list edits.
  connect(list, &QComboBox::activated, this,
          [list, &field](int) { field = ToWindows1252(list->currentText()); });
  return list;
}

void CConfigDlg::OnInitDialog() {
  SelectEntryByPrefix(*team1NameList_, FromWindows1252(team1NameColor));
  SelectEntryByPrefix(*team2NameList_, FromWindows1252(team2NameColor));
  SelectEntryByPrefix(*team1ScoreList_, FromWindows1252(team1ScoreColor));
  SelectEntryByPrefix(*team2ScoreList_, FromWindows1252(team2ScoreColor));
}
