// The first half of the kept game's end-to-end test: the desktop program as
// `ravelle` runs it (the same application, keeping the game where `ravelle`
// keeps it), with an operator's clicks played through its widgets, since a
// separate process cannot reach them. It plays HOM 21 - VIS 14, writes
// "played" and goes on running until it is killed.

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "game/KeptGame.h"
#include "qt/form/RavelleView.h"
#include "qt/shell/RavelleApp.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  CRavelleApp ravelle(nullptr, UserKeptGamePath());
  if (!ravelle.InitInstance()) return 1;
  CRavelleView& view = ravelle.View();
  const auto control = [&view](int id) {
    return view.findChild<QWidget*>(QStringLiteral("control%1").arg(id));
  };
  QTest::keyClicks(control(1001), QStringLiteral("HOM"));
  QTest::keyClicks(control(1003), QStringLiteral("VIS"));
  // New Game; team 1 +6 +6 +6 +3; team 2 +6 +6 +2.
  for (int button : {1029, 1000, 1000, 1000, 1004, 1002, 1002, 1007})
    QTest::mouseClick(control(button), Qt::LeftButton);
  std::printf("played\n");
  std::fflush(stdout);
  return QApplication::exec();
}
