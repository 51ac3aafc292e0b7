// The application shell: the fixed main window and its commands, File > New
// on the same objects, the keyboard, and the link buttons.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/HyperlinkButton.h"
#include "app/LinkAddresses.h"
#include "app/MainFrame.h"
#include "app/RavelleApp.h"
#include "dialogs/CommSettingsDlg.h"
#include "game/RavelleView.h"
#include "tests/support/RecordingSink.h"
#include "tests/ui/UiTestSupport.h"

namespace {

// Collects the addresses the link buttons ask the desktop to open.
class CUrlRecorder : public QObject {
  Q_OBJECT
 public:
  CUrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open"); }
  ~CUrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
  QStringList opened;
 public slots:
  void Open(const QUrl& url) { opened << url.toString(); }
};

class AppTest : public CUiTest {
 protected:
  void Command(int id) { app.Frame().Command(id)->trigger(); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(app.View(), id); }
  QPushButton* Button(int id) { return Control<QPushButton>(app.View(), id); }

  CRecordingSink sink;
  CRavelleApp app{&sink};
};

TEST_F(AppTest, WithoutSavedSettingsEveryNewDocumentAsksAndStartsAfresh) {
  ExpectDialogOf<CCommSettingsDlg>([this](CCommSettingsDlg& dialog) {
    EXPECT_FALSE(app.Frame().isVisible()) << "asked before the window is shown";
    Choose(Control<QComboBox>(dialog, 1038), "serial port - custom settings");
    Choose(Control<QComboBox>(dialog, 1032), "3");
    return Press(dialog, 1);
  });
  ASSERT_TRUE(app.InitInstance());
  CRavelleView& view = app.View();
  Type(Box(1001), "HOM");
  Type(Box(1003), "VIS");
  Click(Button(1029));
  Click(Button(1000));
  Choose(Control<QComboBox>(view, 1019), "Giant");
  sink.packets.clear();

  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    EXPECT_EQ(dialog.connection, "") << "read again from the store, where nothing was saved";
    EXPECT_EQ(dialog.comPort, 3) << "the other settings keep their values";
    return Press(dialog, 2);
  });
  Command(CMainFrame::kFileNew);
  EXPECT_EQ(app.Document().team1Score, 0);
  EXPECT_EQ(app.Document().history, "");
  EXPECT_EQ(Text(Box(1001)), "");
  EXPECT_EQ(Text(Box(1027)), "") << "blank, not 0";
  EXPECT_EQ(Control<QComboBox>(view, 1019)->currentText(), "Normal");
  EXPECT_FALSE(Button(1000)->isEnabled());
  EXPECT_EQ(sink.packets.size(), 3u) << "the sign is blanked again";
  EXPECT_EQ(&view, &app.View()) << "the same form";
  EXPECT_EQ(app.Frame().windowTitle(), "Ravelle");
}

TEST_F(AppTest, TheFixedWindowTakesMenuCommandsButNoShortcutKeys) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  CMainFrame& frame = app.Frame();
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize()) << "no sizing border";
  EXPECT_FALSE(frame.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  Type(Box(1001), "AB");
  for (int key : {Qt::Key_N, Qt::Key_O, Qt::Key_S}) {
    QTest::keyClick(frame.windowHandle(), Qt::Key(key), Qt::ControlModifier);
  }
  EXPECT_EQ(Text(Box(1001)), "AB") << "no File > New ran";

  app.Document().history = "  09:05:03 -- XY ::  6\n";
  for (const auto& [command, title] :
       {std::pair{CMainFrame::kAppAbout, "About Ravelle"},
        std::pair{CMainFrame::kScoreBoardOptions, "Configuration"},
        std::pair{CMainFrame::kCommunicationSettings, "Communication Settings..."}}) {
    ExpectDialogOf([title](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), title);
      return int(QDialog::Rejected);
    });
    Command(command);
  }
  // The history is read-only but copyable.
  ExpectDialogOf([](QDialog& dialog) {
    auto* box = Control<QPlainTextEdit>(dialog, 1022);
    QTest::keyClick(box, Qt::Key_X);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "  09:05:03 -- XY ::  6\n");
    return Press(dialog, 1);
  });
  Command(CMainFrame::kShowScoringHistory);
  sink.packets.clear();
  Command(CMainFrame::kClearSign);
  EXPECT_EQ(sink.packets.size(), 3u);
  Click(Button(1029));  // New Game with empty boxes: a real message box
  EXPECT_EQ(qtBoxes, std::vector<std::string>{"Entry Required: Enter Team Abbreviations"});
}

TEST_F(AppTest, TheAboutBoxAndTheFormOpenTheirLinks) {
  SaveSerialSettings();
  ASSERT_TRUE(app.InitInstance());
  CUrlRecorder urls;
  ExpectDialogOf([](QDialog& dialog) {
    EXPECT_EQ(Control<QLineEdit>(dialog, 1024)->text(), kContactAddress);
    for (int id : {1025, 1026}) Click(Control<CHyperlinkButton>(dialog, id));
    return Press(dialog, 1);
  });
  Command(CMainFrame::kAppAbout);
  for (int id : {1031, 1030, 1033}) Click(Control<CHyperlinkButton>(app.View(), id));
  EXPECT_EQ(urls.opened, QStringList({kUpdatePageAddress, kHomePageAddress, kHomePageAddress,
                                      kGuidePageAddress, kShopAddress}));
}

}  // namespace

#include "AppTest.moc"
