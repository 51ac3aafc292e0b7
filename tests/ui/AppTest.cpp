// The application shell: the fixed main window, its menus and commands,
// File > New on the same objects, the keyboard, the framework's own settings.

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/RavelleApp.h"
#include "dialogs/CommSettingsDlg.h"
#include "game/RavelleView.h"
#include "tests/support/RecordingSink.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class AppTest : public CUiTest {
 protected:
  void Command(int id) { app.Frame().Command(id)->trigger(); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(app.View(), id); }

  CRecordingSink sink;
  CRavelleApp app{&sink};
};

TEST_F(AppTest, TheMainWindowHasAFixedSizeAndTheCaptionRavelle) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  CMainFrame& frame = app.Frame();
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize()) << "no sizing border";
  EXPECT_GE(frame.height(), app.View().height() + frame.menuBar()->height());
  const Qt::WindowFlags flags = frame.windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_EQ(frame.windowTitle(), "Ravelle");
  EXPECT_EQ(sink.packets.size(), 3u) << "the sign is blanked at start-up";

  frame.showMinimized();
  EXPECT_TRUE(frame.isMinimized());
  frame.showNormal();
  Command(CMainFrame::kFileNew);
  EXPECT_EQ(frame.windowTitle(), "Ravelle");
}

TEST_F(AppTest, MenusCarryTheirTextsAndCommandIds) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  const struct {
    int menu;
    const char* text;
    int id;
  } rows[] = {{0, "&New\tCtrl+N", 57600},         {0, "E&xit", 57665},
              {1, "&Clear LED Sign", 32772},      {1, "Show Scoring &History", 32774},
              {1, "Score Board &Options", 32773}, {1, "Communication &Settings", 32775},
              {2, "&About Ravelle...", 57664}};
  const QList<QAction*> menus = app.Frame().menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&Options");
  EXPECT_EQ(menus[2]->text(), "&Help");
  std::vector<int> position(3, 0);
  for (const auto& row : rows) {
    const QList<QAction*> items = menus[row.menu]->menu()->actions();
    ASSERT_LT(position[row.menu], items.size());
    QAction* item = items[position[row.menu]++];
    EXPECT_EQ(item->text(), row.text);
    EXPECT_EQ(item->data().toInt(), row.id);
    EXPECT_TRUE(item->shortcut().isEmpty()) << row.text << ": keys reach the form instead";
  }
}

TEST_F(AppTest, FileNewResetsTheGameAndRunsTheStartUpAgain) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  CRavelleView& view = app.View();
  Type(Box(1001), "HOM");
  Type(Box(1003), "VIS");
  Click(Control<QPushButton>(view, 1029));
  Click(Control<QPushButton>(view, 1000));
  Choose(Control<QComboBox>(view, 1018), "Amber");
  Choose(Control<QComboBox>(view, 1019), "Giant");
  app.Document().team1NameColor = "Green";
  app.Document().comPort = 1;
  sink.packets.clear();

  Command(CMainFrame::kFileNew);

  const CRavelleDoc& doc = app.Document();
  EXPECT_EQ(doc.team1Score, 0);
  EXPECT_EQ(doc.team1NameColor, "Red");
  EXPECT_EQ(doc.history, "");
  EXPECT_EQ(doc.connection, "serial port - betabrite classic") << "read again from the store";
  EXPECT_EQ(Text(Box(1001)), "");
  EXPECT_EQ(Text(Box(1027)), "") << "blank, not 0";
  EXPECT_EQ(Control<QComboBox>(view, 1018)->currentText(), "Red");
  EXPECT_EQ(Control<QComboBox>(view, 1019)->currentText(), "Normal");
  EXPECT_FALSE(Control<QPushButton>(view, 1000)->isEnabled());
  EXPECT_EQ(sink.packets.size(), 3u) << "the sign is blanked again";
  EXPECT_EQ(&view, &app.View()) << "the same form";
}

TEST_F(AppTest, WithoutSavedSettingsEveryNewDocumentAsksForTheConnection) {
  ExpectDialogOf<CCommSettingsDlg>([this](CCommSettingsDlg& dialog) {
    EXPECT_FALSE(app.Frame().isVisible()) << "asked before the window is shown";
    Choose(Control<QComboBox>(dialog, 1038), "serial port - custom settings");
    Choose(Control<QComboBox>(dialog, 1032), "3");
    Click(Control<QPushButton>(dialog, 1));
    return dialog.result();
  });
  ASSERT_TRUE(app.InitInstance());
  EXPECT_EQ(app.Document().comPort, 3);

  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    EXPECT_EQ(dialog.connection, "") << "nothing was saved";
    EXPECT_EQ(dialog.comPort, 3) << "the other settings keep their values";
    Click(Control<QPushButton>(dialog, 2));
    return dialog.result();
  });
  Command(CMainFrame::kFileNew);
}

TEST_F(AppTest, ShortcutKeysReachTheFocusedControlAndIssueNoCommand) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  Type(Box(1001), "AB");
  EXPECT_TRUE(app.Frame().findChildren<QShortcut*>().isEmpty());
  QWindow* window = app.Frame().windowHandle();
  ASSERT_NE(window, nullptr);
  Box(1001)->setFocus();
  for (const auto& [key, modifiers] :
       {std::pair{Qt::Key_N, Qt::ControlModifier}, std::pair{Qt::Key_O, Qt::ControlModifier},
        std::pair{Qt::Key_S, Qt::ControlModifier}, std::pair{Qt::Key_F6, Qt::NoModifier}}) {
    QTest::keyClick(window, key, modifiers);
  }
  EXPECT_EQ(Text(Box(1001)), "AB") << "no File > New ran";
  EXPECT_EQ(dialogsRun, 0);
}

TEST_F(AppTest, OptionsAndHelpCommandsOpenTheirDialogs) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  ExpectDialogOf<CAboutDlg>([](CAboutDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "About Ravelle");
    return int(QDialog::Accepted);
  });
  Command(CMainFrame::kAppAbout);
  ExpectDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Scoring History");
    return int(QDialog::Accepted);
  });
  Command(CMainFrame::kShowScoringHistory);
  ExpectDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    return int(QDialog::Rejected);
  });
  Command(CMainFrame::kScoreBoardOptions);
  ExpectDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Communication Settings...");
    return int(QDialog::Rejected);
  });
  Command(CMainFrame::kCommunicationSettings);

  sink.packets.clear();
  Command(CMainFrame::kClearSign);
  EXPECT_EQ(sink.packets.size(), 3u);
}

TEST_F(AppTest, EnterTeamAbbreviationsIsARealMessageBoxWithItsCaption) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  Click(Control<QPushButton>(app.View(), 1029));
  ASSERT_EQ(qtBoxes.size(), 1u);
  EXPECT_EQ(qtBoxes[0].text, "Enter Team Abbreviations");
  EXPECT_EQ(qtBoxes[0].caption, "Entry Required");
}

TEST_F(AppTest, TheFrameworkKeepsUpToFourRecentFilesInTheSameStore) {
  SaveSerialSettings();
  CRegistryAccess registry;
  const std::string key =
      "Software\\Local AppWizard-Generated Applications\\Ravelle\\Recent File List";
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "File" + std::to_string(i);
    const std::string file = "/home/op/game" + std::to_string(i) + ".rav";
    ASSERT_TRUE(registry.WriteValue(file.c_str(), REG_SZ, file.size() + 1, HKEY_CURRENT_USER,
                                    key.c_str(), name.c_str()));
  }
  ASSERT_TRUE(app.InitInstance());
  ASSERT_EQ(app.Profile().RecentFiles().size(), 4u);
  EXPECT_EQ(app.Profile().RecentFiles()[3], "/home/op/game4.rav");
  app.ExitInstance();
  char buffer[1000] = {};
  ASSERT_TRUE(
      registry.ReadValue(buffer, nullptr, sizeof buffer, HKEY_CURRENT_USER, key.c_str(), "File1"));
  EXPECT_STREQ(buffer, "/home/op/game1.rav");
}

}  // namespace
