// The scoreboard form through its real widgets: start-up, whole games, the
// limits, notes, the colour exchange, the keyboard, and the quiet sign of a
// failed serial send.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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
#include "game/RavelleDoc.h"
#include "game/RavelleView.h"
#include "tests/support/RecordingSink.h"
#include "tests/ui/UiTestSupport.h"

namespace {

// The nineteen game controls, disabled and enabled together.
const int kGameControls[] = {1010, 1008, 1006, 1004, 1000, 1027, 1011, 1009, 1007, 1005,
                             1002, 1028, 1014, 1017, 1021, 1019, 1012, 1018, 1015};

// The text of a STRING file packet, or "" for any other packet.
std::string StringFileText(const std::vector<unsigned char>& packet, char label) {
  if (packet.size() < 28 || packet[25] != 'G' || packet[26] != label) return "";
  return std::string(packet.begin() + 27, packet.end() - 1);
}

int CountLines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class ViewTest : public CUiTest {
 protected:
  // Shows the form and runs its start-up, as the first display does.
  void Start(CPacketSink* packetSink) {
    view = std::make_unique<CRavelleView>(doc, boxes, packetSink);
    view->show();
    view->OnInitialUpdate();
  }
  void Start() { Start(&sink); }

  QPushButton* Button(int id) { return Control<QPushButton>(*view, id); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(*view, id); }
  QPlainTextEdit* NoteBox() { return Control<QPlainTextEdit>(*view, 1015); }

  // Both abbreviations typed and New Game pressed; the packets so far are dropped.
  void BeginGame(const QString& team1, const QString& team2) {
    Type(Box(1001), team1);
    Type(Box(1003), team2);
    Click(Button(1029));
    sink.packets.clear();
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

TEST_F(ViewTest, StartUpReadsTheSavedSettingsAndBlanksTheSign) {
  WriteString("Connection", "serial port - custom settings");
  WriteInteger("ComPort", 3);
  WriteInteger("BaudRate", 19200);
  WriteInteger("ByteSize", 8);
  WriteString("Parity", "odd");
  WriteInteger("StopBits", 2);
  WriteString("Protocol", "beta");

  Start();

  EXPECT_EQ(doc.connection, "serial port - custom settings");
  EXPECT_EQ(doc.comPort, 3);
  EXPECT_EQ(doc.baudRate, 19200);
  EXPECT_EQ(doc.byteSize, 8);
  EXPECT_EQ(doc.parity, "odd");
  EXPECT_EQ(doc.stopBits, 2);
  EXPECT_EQ(doc.protocol, "alpha") << "the protocol is never read back";
  EXPECT_EQ(sink.packets.size(), 3u) << "memory configuration, empty TEXT file, run sequence";
  EXPECT_EQ(dialogsRun, 0);

  ExpectGameControlsEnabled(false);
  EXPECT_TRUE(Box(1001)->isEnabled());
  EXPECT_TRUE(Box(1003)->isEnabled());
  EXPECT_TRUE(Button(1029)->isEnabled());
  EXPECT_EQ(Text(Box(1027)), "") << "score boxes start blank, not at 0";
  EXPECT_EQ(Text(Box(1028)), "");
  EXPECT_EQ(Control<QComboBox>(*view, 1018)->currentText(), "Red");
  EXPECT_EQ(Control<QComboBox>(*view, 1019)->currentText(), "Normal");
}

TEST_F(ViewTest, StartUpWithoutSavedSettingsOpensCommSettingsBeforeBlankingTheSign) {
  ExpectDialogOf<CCommSettingsDlg>([this](CCommSettingsDlg& dialog) {
    EXPECT_TRUE(sink.packets.empty()) << "the sign is blanked only after the dialog";
    EXPECT_EQ(dialog.connection, "");
    EXPECT_EQ(Control<QComboBox>(dialog, 1038)->currentIndex(), -1);
    Choose(Control<QComboBox>(dialog, 1038), "serial port - betabrite classic");
    Click(Control<QPushButton>(dialog, 1));
    return dialog.result();
  });
  Start();
  EXPECT_EQ(doc.connection, "serial port - betabrite classic");
  EXPECT_EQ(sink.packets.size(), 3u);
}

TEST_F(ViewTest, CancellingTheFirstSettingsLeavesNoConnectionAndStillBlanksTheSign) {
  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1038), "usb - betabrite prism");
    Click(Control<QPushButton>(dialog, 2));
    return dialog.result();
  });
  Start();
  EXPECT_EQ(doc.connection, "");
  EXPECT_EQ(doc.comPort, 1);
  EXPECT_EQ(sink.packets.size(), 3u);
}

TEST_F(ViewTest, AWholeGameRunsFromTheForm) {
  SaveSerialSettings();
  Start();
  sink.packets.clear();

  Type(Box(1001), "HOM");
  Type(Box(1003), "VISITORS");
  EXPECT_EQ(Text(Box(1003)), "VIS") << "abbreviations hold three characters";
  Click(Button(1029));
  EXPECT_EQ(sink.packets.size(), 9u) << "the full scoreboard";
  ExpectGameControlsEnabled(true);
  EXPECT_EQ(Text(Box(1027)), "0");
  EXPECT_EQ(Text(Box(1028)), "0");
  EXPECT_EQ(Text(Box(1012)), "HOM 0  VIS 0");
  EXPECT_EQ(doc.history, "");

  sink.packets.clear();
  Click(Button(1004));  // team 1 +3
  Click(Button(1002));  // team 2 +6
  Click(Button(1010));  // team 1 -1
  EXPECT_EQ(Text(Box(1027)), "2");
  EXPECT_EQ(Text(Box(1028)), "6");
  EXPECT_EQ(Text(Box(1012)), "HOM 2  VIS 6");
  ASSERT_EQ(CountLines(doc.history), 3);
  EXPECT_NE(doc.history.find("-- HOM ::  3\n"), std::string::npos) << doc.history;
  EXPECT_NE(doc.history.find("-- VIS ::  6\n"), std::string::npos) << doc.history;
  EXPECT_NE(doc.history.find("-- HOM :: -1\n"), std::string::npos) << doc.history;
  EXPECT_EQ(StringFileText(sink.packets.back().bytes, '1'), " 2");

  sink.packets.clear();
  Click(Button(1014));  // Send Score
  EXPECT_EQ(sink.packets.size(), 9u);
  ExpectGameControlsEnabled(true);
  EXPECT_TRUE(Box(1001)->isEnabled());
  EXPECT_EQ(CountLines(doc.history), 3) << "Send Score keeps the history";
}

TEST_F(ViewTest, NewGameWithAnEmptyBoxAsksForBothAbbreviations) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Click(Button(1000));
  const std::string history = doc.history;
  ASSERT_EQ(CountLines(history), 1);

  Box(1003)->selectAll();
  QTest::keyClick(Box(1003), Qt::Key_Delete);
  sink.packets.clear();
  Click(Button(1029));

  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Enter Team Abbreviations");
  EXPECT_EQ(boxes.shown[0].caption, "Entry Required");
  EXPECT_EQ(view->focusWidget(), Box(1001)) << "the focus goes to team 1's box";
  EXPECT_EQ(Text(Box(1027)), "0");
  EXPECT_EQ(Text(Box(1028)), "0");
  EXPECT_EQ(doc.team2Abbrev, "");
  EXPECT_EQ(doc.history, history);
  EXPECT_TRUE(sink.packets.empty());
  ExpectGameControlsEnabled(false);
}

TEST_F(ViewTest, SendScoreWithAnEmptyBoxAsksAndThenReenablesEverything) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Box(1001)->selectAll();
  QTest::keyClick(Box(1001), Qt::Key_Backspace);
  Click(Button(1014));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(doc.team1Abbrev, "");
  ExpectGameControlsEnabled(true);
  Click(Button(1000));
  EXPECT_NE(doc.history.find(" --  ::  6\n"), std::string::npos) << doc.history;
}

TEST_F(ViewTest, MinusOneAtZeroChangesNothingButResendsTheScore) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Click(Button(1011));  // team 2 -1 at 0
  EXPECT_EQ(Text(Box(1028)), "0");
  EXPECT_EQ(doc.history, "");
  ASSERT_FALSE(sink.packets.empty());
  EXPECT_EQ(StringFileText(sink.packets.back().bytes, '2'), " 0");
}

TEST_F(ViewTest, Team1ReachesTheTopScoreOnlyFromBelow) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  for (int i = 0; i < 166; ++i) Click(Button(1000));
  Click(Button(1006));
  ASSERT_EQ(Text(Box(1027)), "998");
  const int lines = CountLines(doc.history);
  sink.packets.clear();
  Click(Button(1006));  // +2: 1000 is out of reach
  EXPECT_EQ(Text(Box(1027)), "998");
  EXPECT_EQ(CountLines(doc.history), lines);
  ASSERT_FALSE(sink.packets.empty());
  EXPECT_EQ(StringFileText(sink.packets.back().bytes, '1'), "998");
  Click(Button(1008));  // +1 still fits
  EXPECT_EQ(Text(Box(1027)), "999");
}

struct NoteCase {
  const char* name;
  const char* note;
  const char* nowShowing;
};

class NoteTest : public ViewTest, public testing::WithParamInterface<NoteCase> {};

TEST_P(NoteTest, NowShowingTakesFourteenCharactersOfTheNote) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Type(NoteBox(), QString::fromLatin1(GetParam().note));
  Click(Button(1017));
  EXPECT_EQ(Text(Box(1012)), GetParam().nowShowing);
  EXPECT_NE(doc.history.find(std::string("-- Note :: ") + GetParam().note + "\n"),
            std::string::npos)
      << doc.history;
  ASSERT_EQ(sink.packets.size(), 3u) << "memory configuration, note, run sequence";
  ExpectGameControlsEnabled(true);
}

INSTANTIATE_TEST_SUITE_P(Lengths, NoteTest,
                         testing::Values(NoteCase{"Fourteen", "Half time, 2-1", "Half time, 2-1"},
                                         NoteCase{"Fifteen", "Half time, 21-7",
                                                  "Half time, 21-..."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewTest, ScoresChangeUnderANoteWithoutTouchingNowShowing) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Type(NoteBox(), "Go team");
  Click(Button(1017));
  sink.packets.clear();
  Click(Button(1005));  // team 2 +3
  EXPECT_EQ(Text(Box(1028)), "3");
  EXPECT_EQ(Text(Box(1012)), "Go team");
  EXPECT_EQ(StringFileText(sink.packets.back().bytes, '2'), " 3");
  Click(Button(1014));  // the scoreboard comes back
  EXPECT_EQ(Text(Box(1012)), "HOM 0  VIS 3");
}

TEST_F(ViewTest, NoteListsAndSizeReachTheNotePacket) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Choose(Control<QComboBox>(*view, 1018), "Green");
  Choose(Control<QComboBox>(*view, 1019), "Giant");
  Type(NoteBox(), "Hello");
  Click(Button(1017));
  ASSERT_EQ(sink.packets.size(), 3u);
  const std::vector<unsigned char>& note = sink.packets[1].bytes;
  ASSERT_EQ(note.size(), 40u);
  EXPECT_EQ(note[31], '2') << "Green";
  EXPECT_EQ(note[32], 0x12) << "wide characters on";
}

TEST_F(ViewTest, ClearNoteEmptiesTheBoxAndTakesTheFocus) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  Type(NoteBox(), "Old note");
  Click(Button(1021));
  EXPECT_EQ(NoteBox()->toPlainText(), "");
  EXPECT_EQ(doc.noteText, "");
  EXPECT_EQ(view->focusWidget(), NoteBox());
}

TEST_F(ViewTest, ColourOptionsTakeEffectOnOkAndOnlyWithTheNextScoreboard) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");

  ExpectDialogOf<CConfigDlg>([](CConfigDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1016), "Green");
    Choose(Control<QComboBox>(dialog, 1019), "Yellow");
    Click(Control<QPushButton>(dialog, 2));  // Cancel
    return dialog.result();
  });
  view->OnScoreBoardOptions();
  EXPECT_EQ(doc.team1NameColor, "Red");
  EXPECT_EQ(doc.team2ScoreColor, "Red");

  ExpectDialogOf<CConfigDlg>([](CConfigDlg& dialog) {
    EXPECT_EQ(Control<QComboBox>(dialog, 1016)->currentText(), "Red");
    Choose(Control<QComboBox>(dialog, 1016), "Green");
    Choose(Control<QComboBox>(dialog, 1019), "Yellow");
    Click(Control<QPushButton>(dialog, 1));  // OK
    return dialog.result();
  });
  view->OnScoreBoardOptions();
  EXPECT_EQ(doc.team1NameColor, "Green");
  EXPECT_EQ(doc.team2NameColor, "Red");
  EXPECT_EQ(doc.team1ScoreColor, "Red");
  EXPECT_EQ(doc.team2ScoreColor, "Yellow");
  EXPECT_TRUE(sink.packets.empty()) << "the dialog sends nothing";

  Click(Button(1014));
  ASSERT_EQ(sink.packets.size(), 9u);
  const std::vector<unsigned char>& board = sink.packets[7].bytes;
  EXPECT_EQ(board[33], '2') << "team 1 name in green";
  EXPECT_EQ(board[board.size() - 4], '8') << "team 2 score in yellow";
}

TEST_F(ViewTest, TheNoteBoxEditsLikeAnyEditBox) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  QPlainTextEdit* note = NoteBox();
  Type(note, "Half");
  QTest::keyClick(note, Qt::Key_Return);
  Type(note, "time");
  EXPECT_EQ(note->toPlainText(), "Half\ntime") << "Enter starts a new line";

  QTest::keyClick(note, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(note, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "Half\ntime");
  QTest::keyClick(note, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(note, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(note->toPlainText(), "Half\ntimeHalf\ntime");
  EXPECT_EQ(doc.noteText, "Half\ntimeHalf\ntime");
  QTest::keyClick(note, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(note->toPlainText(), "Half\ntime");
  EXPECT_EQ(doc.noteText, "Half\ntime");

  note->setFocus();
  QTest::keyClick(note, Qt::Key_Tab);
  EXPECT_EQ(note->toPlainText(), "Half\ntime") << "Tab moves on instead of typing";
}

TEST_F(ViewTest, TheNoteBoxHoldsAtMost8000Characters) {
  SaveSerialSettings();
  Start();
  BeginGame("HOM", "VIS");
  QApplication::clipboard()->setText(QString(8005, QLatin1Char('x')));
  QTest::keyClick(NoteBox(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(NoteBox()->toPlainText().size(), 8000);
  EXPECT_EQ(doc.noteText.size(), 8000u);
}

TEST_F(ViewTest, TheFormFollowsItsTemplate) {
  SaveSerialSettings();
  Start();
  const CDialogUnits units(view->font());
  EXPECT_EQ(view->size(), units.ToPixels(314, 341));
  EXPECT_EQ(Button(1029)->geometry(), units.ToPixels(7, 7, 300, 21));
  EXPECT_EQ(Box(1012)->geometry(), units.ToPixels(73, 227, 217, 16));
  EXPECT_EQ(Button(1014)->text(), "/\\       Send Score");
  EXPECT_EQ(Button(1017)->text(), "\\/       Send Note");
  EXPECT_EQ(Box(1001)->maxLength(), 3);

  // Arial in cells of 28 and 24 pixels.
  const QFontMetrics score(Box(1027)->font());
  const QFontMetrics entry(Box(1001)->font());
  EXPECT_LE(score.height(), 28);
  EXPECT_GT(score.height(), 24);
  EXPECT_LE(entry.height(), 24);
  EXPECT_GT(entry.height(), 20);
  EXPECT_EQ(Box(1012)->font(), Box(1001)->font());

  const QColor blue(0, 0, 255);
  EXPECT_EQ(Box(1001)->palette().color(QPalette::Active, QPalette::Text), blue);
  EXPECT_EQ(NoteBox()->palette().color(QPalette::Active, QPalette::Text), blue);
  EXPECT_EQ(Box(1012)->palette().color(QPalette::Active, QPalette::Base), QColor(0, 0, 0));
  EXPECT_EQ(Box(1012)->palette().color(QPalette::Active, QPalette::Text), QColor(255, 255, 255));

  const int tabOrder[] = {1001, 1003, 1015, 1018, 1019, 1000, 1004, 1006, 1008,
                          1010, 1002, 1005, 1007, 1009, 1011, 1014, 1017, 1021,
                          1029, 1012, 1027, 1028, 1030, 1031, 1033};
  std::vector<int> chain;
  QWidget* widget = Box(1001);
  do {
    if (const int id = widget->property("controlId").toInt(); id != 0) chain.push_back(id);
    widget = widget->nextInFocusChain();
  } while (widget != Box(1001) && chain.size() < 40);
  EXPECT_EQ(chain, std::vector<int>(std::begin(tabOrder), std::end(tabOrder)));
}

class SerialFailureTest : public ViewTest {
 protected:
  void TearDown() override {
    if (master_ >= 0) close(master_);
    ViewTest::TearDown();
  }

  // A pseudo-terminal stands in for the sign's serial port.
  std::string OpenPseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(master_, 0) << std::strerror(errno);
    EXPECT_EQ(grantpt(master_), 0);
    EXPECT_EQ(unlockpt(master_), 0);
    return ptsname(master_);
  }

  QLabel* FailureLine() { return view->findChild<QLabel*>(QStringLiteral("sendFailureLine")); }

  int master_ = -1;
};

TEST_F(SerialFailureTest, AFailedSendShowsQuietlyUntilASendGetsThrough) {
  SaveSerialSettings();
  Start(nullptr);  // the real sign link; COM1 leads nowhere

  ASSERT_TRUE(FailureLine()->isVisible());
  const std::string line = FailureLine()->text().toStdString();
  EXPECT_NE(line.find("COM1"), std::string::npos) << line;
  EXPECT_NE(line.find(kMissingPort), std::string::npos) << line;
  EXPECT_NE(line.find(std::strerror(ENOENT)), std::string::npos) << line;
  EXPECT_TRUE(boxes.shown.empty()) << "nothing modal";
  EXPECT_TRUE(qtBoxes.empty());
  const CDialogUnits units(view->font());
  EXPECT_GT(view->height(), units.Y(341)) << "the line shows below the form";

  qputenv("RAVELLE_COM1", QByteArray::fromStdString(OpenPseudoTerminal()));
  view->OnClearSign();
  EXPECT_FALSE(FailureLine()->isVisible());
  EXPECT_EQ(view->height(), units.Y(341));
}

}  // namespace
