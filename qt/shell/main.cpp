#include <QApplication>
#include <iostream>

#include "app/StartOptions.h"
#include "game/KeptGame.h"
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

  // The desktop program keeps the game in progress, so that it survives a
  // crash; the command line keeps none.
  CRavelleApp ravelle(nullptr, UserKeptGamePath());
  if (!ravelle.InitInstance()) return 1;
  const int result = QApplication::exec();
  ravelle.ExitInstance();
  return result;
}
