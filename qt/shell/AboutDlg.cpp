#include "qt/shell/AboutDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qt/framework/HyperlinkButton.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"
#include "qt/shell/AppIcon.h"
#include "res/LinkAddresses.h"
#include "res/Version.h"

namespace {

constexpr int kContactBoxId = 1024;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CModalDialog(parent), contactAddress(kContactAddress) {
  setWindowTitle(QStringLiteral("About Ravelle"));
  CTemplateLayout layout(*this);
  layout.SetTemplateSize(305, 161);

  auto* icon = new QLabel(this);
  layout.Place(*icon, 0, 11, 17, 21, 20);
  icon->setPixmap(ApplicationIcon().pixmap(32, 32));

  auto* version = new QLabel(
      QStringLiteral("Ravelle Version %1").arg(QString::fromLatin1(kRavelleReleaseName)), this);
  version->setTextFormat(Qt::PlainText);
  layout.Place(*version, 0, 40, 10, 201, 8);
  layout.Place(*new QLabel(QStringLiteral("Questions and suggestions are welcome."), this), 0, 123,
               41, 175, 8);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  layout.Place(*ok, 1, 248, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  layout.Place(*new QLabel(QStringLiteral("Write to us at:"), this), 0, 40, 41, 63, 8);
  contactBox_ = new QLineEdit(this);
  contactBox_->setReadOnly(true);
  layout.Place(*contactBox_, kContactBoxId, 40, 54, 258, 14);

  layout.Place(*new QLabel(QStringLiteral("Check for Updates:"), this), 0, 40, 79, 62, 8);
  layout.Place(*new QLabel(QStringLiteral("Find other things at:"), this), 0, 40, 112, 63, 8);

  auto* updates = new CHyperlinkButton(QString::fromLatin1(kUpdatePageAddress),
                                       QString::fromLatin1(kUpdatePageAddress), this);
  layout.Place(*updates, 1025, 40, 91, 246, 14);
  auto* home = new CHyperlinkButton(QString::fromLatin1(kHomePageAddress),
                                    QString::fromLatin1(kHomePageAddress), this);
  layout.Place(*home, 1026, 40, 123, 188, 14);

  layout.Place(*new QLabel(QStringLiteral("for Betabrite and Alpha LED signs"), this), 0, 118, 20,
               122, 12);

  setTabOrder(ok, contactBox_);
  setTabOrder(contactBox_, updates);
  setTabOrder(updates, home);
}

void CAboutDlg::OnInitDialog() { contactBox_->setText(FromWindows1252(contactAddress)); }
