#pragma once

#include <QMainWindow>

class QAction;

// The main window: a fixed-size frame around the scoreboard form, with the
// menu bar and no tool or status bar. Its caption is always "Ravelle".
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // The menu commands, by the ids the framework gives them.
  enum CommandId {
    kFileNew = 57600,
    kAppExit = 57665,
    kClearSign = 32772,
    kScoreBoardOptions = 32773,
    kShowScoringHistory = 32774,
    kCommunicationSettings = 32775,
    kAppAbout = 57664,
  };

  CMainFrame();

  // The menu item with that command id.
  QAction* Command(int id) const;
};
