#pragma once

#include <array>

#include "dialogs/ColorOptionsEditor.h"
#include "qt/framework/ModalDialog.h"

class QComboBox;

// Score Board Options: the colour of each team's name and score on the sign.
// A Qt view of CColorOptionsEditor, whose four fields are private copies
// the caller takes back only after OK.
class CConfigDlg : public CModalDialog, public CColorOptionsEditor {
  Q_OBJECT
 public:
  explicit CConfigDlg(QWidget* parent = nullptr);

 protected:
  void OnInitDialog() override;

 private:
  QComboBox* AddColorList(ColorList which, int id, int x, int y);
  // Shows the editor's selections in the lists.
  void RefreshLists();

  std::array<QComboBox*, kColorListCount> lists_{};
};
