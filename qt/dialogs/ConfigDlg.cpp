#include "qt/dialogs/ConfigDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "qt/framework/ComboEntries.h"
#include "qt/framework/GroupFrame.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"

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

  QComboBox* team1Name = AddColorList(ColorList::Team1Name, 1016, 83, 99);
  layout.Place(*new QLabel(QStringLiteral("Name Color:"), this), 0, 20, 100, 49, 11);
  QComboBox* team2Name = AddColorList(ColorList::Team2Name, 1017, 219, 99);
  layout.Place(*new QLabel(QStringLiteral("Name Color:"), this), 0, 160, 100, 49, 11);
  QComboBox* team1Score = AddColorList(ColorList::Team1Score, 1018, 83, 134);
  layout.Place(*new QLabel(QStringLiteral("Score Color:"), this), 0, 20, 135, 49, 11);
  QComboBox* team2Score = AddColorList(ColorList::Team2Score, 1019, 219, 134);
  layout.Place(*new QLabel(QStringLiteral("Score Color:"), this), 0, 160, 135, 49, 11);

  setTabOrder(ok, cancel);
  setTabOrder(cancel, team1Name);
  setTabOrder(team1Name, team2Name);
  setTabOrder(team2Name, team1Score);
  setTabOrder(team1Score, team2Score);
}

QComboBox* CConfigDlg::AddColorList(ColorList which, int id, int x, int y) {
  auto* list = new QComboBox(this);
  QStringList names;
  for (const std::string& name : Entries()) names << FromWindows1252(name);
  FillComboEntries(*list, names, false);
  CTemplateLayout(*this).PlaceCombo(*list, id, x, y, 52, 138);
  lists_[static_cast<int>(which)] = list;
  connect(list, &QComboBox::activated, this, [this, which, list](int index) {
    Choose(which, ToWindows1252(list->itemText(index)));
    RefreshLists();
  });
  return list;
}

void CConfigDlg::OnInitDialog() {
  Open();
  RefreshLists();
}

void CConfigDlg::RefreshLists() {
  for (int i = 0; i < kColorListCount; ++i) {
    const std::string& selection = Selection(static_cast<ColorList>(i));
    const int index = selection.empty() ? -1 : lists_[i]->findText(FromWindows1252(selection));
    if (lists_[i]->currentIndex() != index) lists_[i]->setCurrentIndex(index);
  }
}
