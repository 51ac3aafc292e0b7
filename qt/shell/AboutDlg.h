#pragma once

#include <string>

#include "qt/framework/ModalDialog.h"

class QLineEdit;

// About Ravelle: the version, the contact address and two links.
class CAboutDlg : public CModalDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  std::string contactAddress;

 protected:
  void OnInitDialog() override;

 private:
  QLineEdit* contactBox_;
};
