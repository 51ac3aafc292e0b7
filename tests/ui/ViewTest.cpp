// The scoreboard form through its real widgets: start-up, games, the limits,
// notes, the colour and settings exchanges, and the quiet sign of a failed
// serial send. The game's rules are proved on the core; these cases prove
// that the form carries them to the sign and back.

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app/DialogUnits.h"
#include "dialogs/CommSettingsDlg.h"
#include "dialogs/ConfigDlg.h"
#include "game/RavelleView.h"
#include "tests/support/RecordingSink.h"
#include "tests/ui/UiTestSupport.h"

namespace {

// The nineteen game controls, disabled and enabled together.
const int kGameControls[] = {1010, 1008, 1006, 1004, 1000, 1027, 1011, 1009, 1007, 1005,
                             1002, 1028, 1014, 1017, 1021, 1019, 1012, 1018, 1015};

class ViewTest : public CUiTest {
 protected:
  // Shows the form and runs its start-up, as the first display does.
  void Start(CPacketSink* packetSink) {
    view = std::make_unique<CRavelleView>(doc, boxes, packetSink);
    view->show();
    view->OnInitialUpdate();
  }

  // Started on saved settings, team 2 typed as given and New Game pressed.
  void StartGame(const QString& team2 = QStringLiteral("VIS")) {
    SaveSerialSettings();
    Start(&sink);
    Type(Box(1001), "HOM");
    Type(Box(1003), team2);
    Click(Button(1029));
  }

  QPushButton* Button(int id) { return Control<QPushButton>(*view, id); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(*view, id); }
  QComboBox* List(int id) { return Control<QComboBox>(*view, id); }

  // The last packet's body between its header and its end: "G1 2" is team
  // 1's score " 2" (STRING file 1).
  std::string LastBody() const {
    if (sink.packets.empty()) return "<nothing sent>";
    return std::string(sink.packets.back().bytes.begin() + 25, sink.packets.back().bytes.end() - 1);
  }

  void ExpectGameControlsEnabled(bool enabled) {
    for (int id : kGameControls) {
      EXPECT_EQ(Control<QWidget>(*view, id)->isEnabled(), enabled) << "control " << id;
    }
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CRecordingMessageBoxes boxes;
  std::unique_ptr<CRavelleView> view;
};

// Saved settings are read without a dialog. Without a saved connection, or
// with a store file that cannot be read, the settings dialog comes first;
// either way the sign is blanked after it and only New Game can be used.
TEST_F(ViewTest, StartUpReadsTheSettingsOrAsksThenBlanksTheSign) {
  enum Store { kSaved, kEmpty, kCorrupt };
  const struct {
    Store store;
    int button;
    const char* connection;
  } rows[] = {{kEmpty, 1, "serial port - betabrite classic"},
              {kEmpty, 2, ""},
              {kSaved, 0, "serial port - custom settings"},
              {kCorrupt, 2, ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "store " << row.store << " button " << row.button);
    if (row.store == kCorrupt) {
      const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/ravelle");
      QDir().mkpath(folder);
      QFile store(folder + QStringLiteral("/settings.reg"));
      ASSERT_TRUE(store.open(QIODevice::WriteOnly));
      store.write(QByteArray("\xff\xfe[HKEY_CURRENT_USER\\Software\\Norv\0ane]\n", 38) +
                  "\"Connection\"=hex:zz,\n\"ComPort\"=dword:xyz\n[[[\n");
    }
    if (row.store == kSaved) Save({"beta", row.connection, 3, 19200, 8, "odd", 2});
    sink.packets.clear();
    if (row.store != kSaved) {
      ExpectDialogOf<CCommSettingsDlg>([this, &row](CCommSettingsDlg& dialog) {
        EXPECT_TRUE(sink.packets.empty()) << "the sign is blanked only after the dialog";
        Choose(Control<QComboBox>(dialog, 1038), "serial port - betabrite classic");
        return Press(dialog, row.button);
      });
    }
    Start(&sink);
    EXPECT_EQ(doc.connection, row.connection);
    EXPECT_EQ(doc.protocol, "alpha") << "the protocol is never read back";
    EXPECT_EQ(sink.packets.size(), 3u) << "memory configuration, empty TEXT file, run sequence";
    ExpectGameControlsEnabled(false);
    EXPECT_TRUE(Button(1029)->isEnabled());
    EXPECT_EQ(Text(Box(1027)), "") << "score boxes start blank, not at 0";
  }
}

TEST_F(ViewTest, AGameWithANoteWhileTheScoresChange) {
  StartGame("VISITORS");
  EXPECT_EQ(sink.packets.size(), 3u + 9u) << "the blank sign, then the full scoreboard";
  ExpectGameControlsEnabled(true);
  Click(Button(1004));  // team 1 +3
  Type(Control<QPlainTextEdit>(*view, 1015), "Go team");
  Click(Button(1017));
  Click(Button(1002));  // team 2 +6 leaves the note showing
  EXPECT_EQ(Text(Box(1028)), "6");
  EXPECT_EQ(Text(Box(1012)), "Go team");
  EXPECT_EQ(LastBody(), "G2 6");

  sink.packets.clear();
  Click(Button(1014));  // Send Score brings the scoreboard back
  EXPECT_EQ(sink.packets.size(), 9u);
  EXPECT_EQ(Text(Box(1012)), "HOM 3  VIS 6") << "abbreviations hold three characters";
  for (const char* line : {"-- HOM ::  3\n", "-- Note :: Go team\n", "-- VIS ::  6\n"}) {
    EXPECT_NE(doc.history.find(line), std::string::npos) << doc.history;
  }
}

TEST_F(ViewTest, AnEmptyAbbreviationIsAskedFor) {
  StartGame();
  Box(1003)->selectAll();
  QTest::keyClick(Box(1003), Qt::Key_Delete);
  Click(Button(1014));  // Send Score asks, then the game goes on
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Entry Required: Enter Team Abbreviations"});
  Click(Button(1002));
  EXPECT_NE(doc.history.find(" --  ::  6\n"), std::string::npos) << doc.history;

  const std::string history = doc.history;
  sink.packets.clear();
  Click(Button(1029));  // New Game asks, shows 0 to 0 and sends nothing
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(view->focusWidget(), Box(1001)) << "the focus goes to team 1's box";
  EXPECT_EQ(Text(Box(1028)), "0");
  EXPECT_EQ(doc.history, history);
  EXPECT_TRUE(sink.packets.empty());
  ExpectGameControlsEnabled(false);
}

TEST_F(ViewTest, RefusedScorePressesChangeNothingButResendTheScore) {
  StartGame();
  Click(Button(1011));  // team 2 -1 at 0
  EXPECT_EQ(Text(Box(1028)), "0");
  EXPECT_EQ(doc.history, "");
  EXPECT_EQ(LastBody(), "G2 0");
  for (int i = 0; i < 166; ++i) Click(Button(1000));
  Click(Button(1006));
  ASSERT_EQ(Text(Box(1027)), "998");
  sink.packets.clear();
  Click(Button(1006));  // +2: 1000 is out of reach
  EXPECT_EQ(Text(Box(1027)), "998");
  EXPECT_EQ(LastBody(), "G1998");
  Click(Button(1008));  // +1 still fits
  EXPECT_EQ(Text(Box(1027)), "999");
}

TEST_F(ViewTest, NowShowingTakesFourteenCharactersAndClearNoteEmptiesTheNote) {
  StartGame();
  Choose(List(1018), "Green");
  Choose(List(1019), "Giant");
  auto* noteBox = Control<QPlainTextEdit>(*view, 1015);
  for (const auto& [note, nowShowing] : {std::pair{"Half time, 2-1", "Half time, 2-1"},
                                         std::pair{"Half time, 21-7", "Half time, 21-..."}}) {
    noteBox->clear();
    Type(noteBox, note);
    sink.packets.clear();
    Click(Button(1017));
    EXPECT_EQ(Text(Box(1012)), nowShowing);
    ASSERT_EQ(sink.packets.size(), 3u) << "memory configuration, note, run sequence";
    EXPECT_EQ(sink.packets[1].bytes[31], '2') << "green";
    EXPECT_EQ(sink.packets[1].bytes[32], 0x12) << "wide characters on";
  }
  Click(Button(1021));
  EXPECT_EQ(noteBox->toPlainText(), "");
  EXPECT_EQ(doc.noteText, "");
  EXPECT_EQ(view->focusWidget(), noteBox);
}

// The colour lists select by case-insensitive prefix and hand an unknown
// colour back untouched; only OK takes the choice, and only the next
// scoreboard shows it.
TEST_F(ViewTest, ColourOptionsTakeEffectOnOkWithTheNextScoreboard) {
  StartGame();
  doc.team2NameColor = "dim g";
  doc.team1ScoreColor = "Purple";
  for (int button : {2, 1}) {
    ExpectDialogOf<CConfigDlg>([button](CConfigDlg& dialog) {
      EXPECT_EQ(Control<QComboBox>(dialog, 1016)->currentText(), "Red");
      EXPECT_EQ(Control<QComboBox>(dialog, 1017)->currentText(), "Dim Green");
      Choose(Control<QComboBox>(dialog, 1016), "Green");
      Choose(Control<QComboBox>(dialog, 1019), "Yellow");
      return Press(dialog, button);
    });
    view->OnScoreBoardOptions();
  }
  EXPECT_EQ(doc.team2NameColor, "dim g");
  EXPECT_EQ(doc.team1ScoreColor, "Purple");
  sink.packets.clear();
  Click(Button(1014));
  ASSERT_EQ(sink.packets.size(), 9u);
  const std::vector<unsigned char>& board = sink.packets[7].bytes;
  EXPECT_EQ(board[33], '2') << "team 1 name in green";
  EXPECT_EQ(board[board.size() - 4], '8') << "team 2 score in yellow";
}

TEST_F(ViewTest, SaveThenCancelChangesTheStoreButNotTheGame) {
  StartGame();
  for (int button : {2, 1}) {
    ExpectDialogOf<CCommSettingsDlg>([button](CCommSettingsDlg& dialog) {
      Choose(Control<QComboBox>(dialog, 1032), button == 2 ? "4" : "2");
      if (button == 2) Click(Control<QPushButton>(dialog, 1039));
      return Press(dialog, button);
    });
    sink.packets.clear();
    view->OnCommunicationSettings();
    EXPECT_TRUE(sink.packets.empty()) << "the sign is not cleared or re-sent";
    EXPECT_EQ(doc.comPort, button == 2 ? 1 : 2) << "only OK takes the choice";
  }
  EXPECT_EQ(Saved().comPort, 4) << "the save wrote, OK alone writes nothing";
}

TEST_F(ViewTest, AFailedSendShowsQuietlyUntilASendGetsThrough) {
  SaveSerialSettings();
  Start(nullptr);  // the real sign link; COM1 leads nowhere
  auto* failureLine = view->findChild<QLabel*>(QStringLiteral("sendFailureLine"));
  ASSERT_TRUE(failureLine && failureLine->isVisible());
  const std::string line = failureLine->text().toStdString();
  for (const char* part :
       std::initializer_list<const char*>{"COM1", kMissingPort, std::strerror(ENOENT)}) {
    EXPECT_NE(line.find(part), std::string::npos) << line;
  }
  EXPECT_TRUE(boxes.shown.empty() && qtBoxes.empty()) << "nothing modal";
  const CDialogUnits units(view->font());
  EXPECT_GT(view->height(), units.Y(341)) << "the line shows below the form";

  // A pseudo-terminal stands in for the sign's serial port.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) << strerror(errno);
  qputenv("RAVELLE_COM1", ptsname(master));
  view->OnClearSign();
  EXPECT_FALSE(failureLine->isVisible());
  EXPECT_EQ(view->height(), units.Y(341));
  close(master);
}

}  // namespace
