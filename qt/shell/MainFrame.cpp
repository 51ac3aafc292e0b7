#include "qt/shell/MainFrame.h"

#include <QAction>
#include <QMenuBar>

#include "qt/framework/DialogUnits.h"
#include "qt/shell/AppIcon.h"

namespace {

// The text after the tab shows the shortcut key beside the item without
// binding it: the form takes every keystroke, so the key issues no command.
QAction* AddCommand(QMenu& menu, const char* text, int id) {
  QAction* action = menu.addAction(QString::fromLatin1(text));
  action->setData(id);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  return action;
}

}  // namespace

CMainFrame::CMainFrame() {
  // Title bar, system menu and minimise box: no sizing border, no maximise
  // box, and the caption does not take the document's name.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Ravelle"));
  setWindowIcon(ApplicationIcon());
  menuBar()->setFont(CDialogUnits::FormFont());

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  AddCommand(*file, "&New\tCtrl+N", kFileNew);
  AddCommand(*file, "E&xit", kAppExit);
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  AddCommand(*options, "&Clear LED Sign", kClearSign);
  AddCommand(*options, "Show Scoring &History", kShowScoringHistory);
  AddCommand(*options, "Score Board &Options", kScoreBoardOptions);
  AddCommand(*options, "Communication &Settings", kCommunicationSettings);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(*help, "&About Ravelle...", kAppAbout);
}

QAction* CMainFrame::Command(int id) const {
  return findChild<QAction*>(QStringLiteral("command%1").arg(id));
}
