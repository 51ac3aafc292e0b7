#include <QApplication>

#include "app/AppIcon.h"
#include "app/RavelleApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
  QApplication::setDesktopFileName(QStringLiteral("ravelle"));
  QApplication::setWindowIcon(ApplicationIcon());

  CRavelleApp ravelle;
  if (!ravelle.InitInstance()) return 1;
  const int result = QApplication::exec();
  ravelle.ExitInstance();
  return result;
}
