#include "qt/framework/ModalDialog.h"

#include "qt/framework/DialogUnits.h"

namespace {

CModalDialog::Runner& CurrentRunner() {
  static CModalDialog::Runner runner;
  return runner;
}

}  // namespace

CModalDialog::CModalDialog(QWidget* parent) : QDialog(parent) {
  // A modal frame with title bar and system menu: no sizing, no help button.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(CDialogUnits::FormFont());
}

int CModalDialog::DoModal() {
  OnInitDialog();
  return RunModal(*this);
}

int CModalDialog::RunModal(QDialog& dialog) {
  if (CurrentRunner()) return CurrentRunner()(dialog);
  return dialog.exec();
}

void CModalDialog::SetRunner(Runner runner) { CurrentRunner() = std::move(runner); }
