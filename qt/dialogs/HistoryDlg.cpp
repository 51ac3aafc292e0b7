#include "qt/dialogs/HistoryDlg.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"

CHistoryDlg::CHistoryDlg(QWidget* parent) : CModalDialog(parent) {
  setWindowTitle(QStringLiteral("Scoring History"));
  CTemplateLayout layout(*this);
  layout.SetTemplateSize(320, 180);

  okButton_ = new QPushButton(QStringLiteral("OK"), this);
  okButton_->setDefault(true);
  layout.Place(*okButton_, 1, 263, 7, 50, 14);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  historyBox_ = new QPlainTextEdit(this);
  layout.Place(*historyBox_, 1022, 7, 34, 306, 139);
  historyBox_->setReadOnly(true);
  historyBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Lines scroll sideways with the caret; only the vertical bar is shown.
  historyBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
  historyBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  historyBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  historyBox_->setTabChangesFocus(true);

  setTabOrder(okButton_, historyBox_);
}

void CHistoryDlg::OnInitDialog() {
  historyBox_->setPlainText(FromWindows1252(historyText));
  // The default focus: the OK button, the first tab stop.
  okButton_->setFocus();
}
