#include <QApplication>
#include <iostream>

#include "app/StartOptions.h"
#include "qt/shell/AppIcon.h"
#include "qt/shell/RavelleApp.h"
#include "res/Version.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so they work where no display is reachable.
  const CStartRequest request = StartRequestFromArguments(argc, argv);
  if (request != CStartRequest::RunProgram) {
    PrintStartInformation(request, std::cout);
    return 0;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
  QApplication::setApplicationVersion(QString::fromLatin1(kRavelleVersion));
  QApplication::setDesktopFileName(QString::fromLatin1(kRavelleAppId));
  QApplication::setWindowIcon(ApplicationIcon());

  CRavelleApp ravelle;
  if (!ravelle.InitInstance()) return 1;
  const int result = QApplication::exec();
  ravelle.ExitInstance();
  return result;
}
