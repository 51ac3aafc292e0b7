#include "qt/framework/QtMessageBox.h"

#include <QMessageBox>
#include <cstdio>

#include "qt/framework/ModalDialog.h"
#include "qt/framework/Windows1252Text.h"

void CQtMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  FromWindows1252(caption), FromWindows1252(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  CModalDialog::RunModal(box);
}

bool CQtMessageBox::AskYesNo(const std::string& text, const std::string& caption) {
  return Ask(text, caption, false);
}

bool CQtMessageBox::AskYesNoDefaultYes(const std::string& text, const std::string& caption) {
  return Ask(text, caption, true);
}

bool CQtMessageBox::Ask(const std::string& text, const std::string& caption, bool yesIsDefault) {
  const QByteArray testAnswer = qgetenv("RAVELLE_TEST_ANSWER");
  if (testAnswer == "yes" || testAnswer == "no") {
    std::fprintf(stderr, "question: %s\n", FromWindows1252(text).toUtf8().constData());
    return testAnswer == "yes";
  }
  QMessageBox box(QMessageBox::Question, FromWindows1252(caption), FromWindows1252(text),
                  QMessageBox::Yes | QMessageBox::No);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return CModalDialog::RunModal(box) == QMessageBox::Yes;
}
