#include "qt/framework/QtMessageBox.h"

#include <QMessageBox>

#include "qt/framework/ModalDialog.h"
#include "qt/framework/Windows1252Text.h"

void CQtMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  FromWindows1252(caption), FromWindows1252(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  CModalDialog::RunModal(box);
}

bool CQtMessageBox::AskYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, FromWindows1252(caption), FromWindows1252(text),
                  QMessageBox::Yes | QMessageBox::No);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return CModalDialog::RunModal(box) == QMessageBox::Yes;
}
