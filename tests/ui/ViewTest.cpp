// The program through its real widgets and menu commands. The game's and the
// dialogs' rules are proved on the core (tests/game, tests/dialogs); these
// cases prove the wiring: every control reaches the core and every state it
// holds shows in its widget, the dialogs' exchanges, the keyboard, and the
// quiet lines under the form.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/ComPortMap.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "qt/dialogs/ConfigDlg.h"
#include "qt/form/RavelleView.h"
#include "qt/framework/DialogUnits.h"
#include "qt/framework/ModalDialog.h"
#include "qt/shell/MainFrame.h"
#include "qt/shell/RavelleApp.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/RecordingSink.h"

namespace {

// Where RAVELLE_COM1 points unless a test says otherwise: nothing is there,
// so a serial send fails at once.
inline constexpr const char* kMissingPort = "/nonexistent/ravelle-test-port";

// The nineteen game controls, disabled and enabled together.
const int kGameControls[] = {1010, 1008, 1006, 1004, 1000, 1027, 1011, 1009, 1007, 1005,
                             1002, 1028, 1014, 1017, 1021, 1019, 1012, 1018, 1015};

// The control placed with that id below root.
template <class Widget = QWidget>
Widget* Control(const QWidget& root, int id) {
  auto* control = root.findChild<Widget*>(QStringLiteral("control%1").arg(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

void Click(const QWidget& root, int id) {
  QTest::mouseClick(Control<QAbstractButton>(root, id), Qt::LeftButton);
}

// Types any text, as a keyboard whose layout has its characters would;
// QTest's own typing knows ASCII only.
void Type(QWidget* box, const QString& text) {
  for (char32_t character : text.toUcs4()) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                  QString::fromUcs4(&character, 1));
    QCoreApplication::sendEvent(box, &key);
  }
}

// Picks an entry as a click in the dropped list does (the selection moves
// straight to it and the list reports the operator's choice), or types the
// text into a list that takes typing.
void Choose(QComboBox* list, const QString& entry) {
  if (list->isEditable()) {
    list->lineEdit()->clear();
    return Type(list, entry);
  }
  const int index = list->findText(entry);
  ASSERT_GE(index, 0) << entry.toStdString() << " is not an entry";
  list->setCurrentIndex(index);
  emit list->activated(index);
}

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

const CCommSettings kSerial{"alpha", kConnectionSerialClassic, 1, 9600, 7, "even", 1};

// A fresh settings store per test and a runner that answers every modal
// dialog and question from a queue of handlers instead of a real modal loop.
class ViewTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(configHome_.isValid());
    qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
    qputenv("RAVELLE_COM1", kMissingPort);
    qunsetenv("RAVELLE_COM2");
    CModalDialog::SetRunner([this](QDialog& dialog) { return RunDialog(dialog); });
  }
  void TearDown() override {
    CModalDialog::SetRunner({});
    EXPECT_TRUE(handlers_.empty()) << handlers_.size() << " expected dialog(s) never opened";
  }

  // The next dialog or question (Yes and No) is answered by handler, which
  // works its widgets as the operator would; another kind fails the test.
  template <class Dialog = QDialog>
  void Expect(std::type_identity_t<std::function<void(Dialog&)>> handler) {
    handlers_.push_back([handler](QDialog& dialog) { handler(dynamic_cast<Dialog&>(dialog)); });
  }

  static void Save(CCommSettings settings) {
    CRegistryAccess registry;
    SaveCommSettings(settings, registry);
  }

  // Starts the program; packets go to sink, or to the sign's real link.
  void Start(bool realLink = false) {
    app = std::make_unique<CRavelleApp>(realLink ? nullptr : &sink);
    app->InitInstance();
  }

  // Started (unless already running), the teams typed and New Game pressed.
  void StartGame(bool realLink = false) {
    if (!app) Start(realLink);
    Type(Box(1001), "HOM");
    Type(Box(1003), "VIS");
    Click(View(), 1029);
  }

  void Command(int id) { app->Frame().Command(id)->trigger(); }
  CRavelleDoc& Doc() { return app->Document(); }
  CRavelleView& View() { return app->View(); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(View(), id); }
  QComboBox* List(int id) { return Control<QComboBox>(View(), id); }
  QPlainTextEdit* NoteBox() { return Control<QPlainTextEdit>(View(), 1015); }
  int EnabledGameControls() {
    return std::count_if(std::begin(kGameControls), std::end(kGameControls),
                         [this](int id) { return Control(View(), id)->isEnabled(); });
  }
  CRecordingSink sink;
  std::unique_ptr<CRavelleApp> app;
  // Message boxes and questions shown, as "caption: text".
  std::vector<std::string> boxes;

 private:
  int RunDialog(QDialog& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box) boxes.push_back((box->windowTitle() + ": " + box->text()).toStdString());
    if (box && !box->button(QMessageBox::Yes)) return QMessageBox::Ok;
    EXPECT_FALSE(handlers_.empty()) << "unexpected " << dialog.windowTitle().toStdString();
    if (handlers_.empty()) return QDialog::Rejected;
    auto handler = std::move(handlers_.front());
    handlers_.pop_front();
    dialog.show();
    handler(dialog);
    dialog.hide();
    return dialog.result();
  }

  QTemporaryDir configHome_;
  std::deque<std::function<void(QDialog&)>> handlers_;
};

// The first document and each File > New start afresh on the same form.
// Saved settings are read without a dialog; without a saved connection the
// settings dialog comes first (before the window shows, at the start) and
// only its OK takes what it holds. Either way the sign is blanked after it
// and only New Game can be used. The dialog's widgets each show their box
// of the editor and hand it the operator's choices, typing and the save.
TEST_F(ViewTest, EveryNewDocumentReadsTheSettingsOrAsksThenBlanksTheSign) {
  const auto expectNewDocument = [this](const char* connection) {
    EXPECT_EQ(Doc().connection, connection);
    EXPECT_EQ(sink.packets.size(), 3u) << "memory configuration, empty TEXT file, run sequence";
    EXPECT_EQ(EnabledGameControls(), 0);
    EXPECT_EQ(Text(Box(1001)) + Text(Box(1027)) + List(1019)->currentText().toStdString(), "Normal")
        << "blank boxes, the note's size back to its first entry";
    StartGame();  // a game under way, for the next document to clear
    Click(View(), 1000);
    Choose(List(1019), "Giant");
    sink.packets.clear();
  };
  Expect<CCommSettingsDlg>([this](CCommSettingsDlg& dialog) {
    EXPECT_FALSE(app->Frame().isVisible()) << "the first start asks before showing";
    const auto list = [&dialog](int id) { return Control<QComboBox>(dialog, id); };
    // The list of each box, in the editor's order of boxes.
    const int ids[kCommBoxCount] = {1035, 1038, 1032, 1033, 1034, 1036,
                                    1037, 1040, 1041, 1042, 1043};
    const auto expectShown = [&] {
      for (int box = 0; box < kCommBoxCount; ++box) {
        QStringList shown, entries;
        for (int i = 0; i < list(ids[box])->count(); ++i) shown << list(ids[box])->itemText(i);
        for (const std::string& entry : dialog.Entries(CommBox(box))) entries << entry.c_str();
        EXPECT_EQ(shown, entries) << ids[box];
        EXPECT_EQ(list(ids[box])->isEnabled(), dialog.Box(CommBox(box)).enabled) << ids[box];
        EXPECT_EQ(list(ids[box])->currentText().toStdString(), dialog.Box(CommBox(box)).text)
            << ids[box];
      }
    };
    expectShown();
    const int chosen[] = {1038, 1032, 1033, 1034, 1036, 1037, 1040};
    const char* texts[] = {kConnectionSerialCustom, "2", "14400", "8", " ", "2", "/dev/ttyUSB7"};
    for (int i = 0; i < 7; ++i) Choose(list(chosen[i]), texts[i]);
    expectShown();
    Click(dialog, 1039);
    Click(dialog, 1);
  });
  Start();
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  EXPECT_EQ(std::tie(Doc().comPort, Doc().baudRate, Doc().byteSize, Doc().parity, Doc().stopBits),
            std::make_tuple(2, 14400, 8, std::string(" "), 2));
  expectNewDocument(kConnectionSerialCustom);
  Command(CMainFrame::kFileNew);  // reads what the dialog saved
  expectNewDocument(kConnectionSerialCustom);

  ASSERT_TRUE(QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/ravelle/settings.reg"));
  Expect<CCommSettingsDlg>([this](CCommSettingsDlg& dialog) {
    EXPECT_TRUE(sink.packets.empty()) << "the sign is blanked only after the dialog";
    EXPECT_EQ(dialog.connection + std::to_string(dialog.comPort), "2")
        << "the connection read again from the store, the rest kept";
    Choose(Control<QComboBox>(dialog, 1038), kConnectionSerialCustom);
    Click(dialog, 2);
  });
  Command(CMainFrame::kFileNew);
  expectNewDocument("");
  EXPECT_TRUE(boxes.empty());
}

// Each score button, the abbreviation boxes (which refuse, typed or pasted
// whole, a character the sign cannot show), the note's colour and size
// lists, Send Note, Clear Note, Score Board Options (only OK takes the
// colours, only the next scoreboard shows them), the history, and New Game
// with an empty box.
TEST_F(ViewTest, EveryControlAndMenuCommandReachesTheGame) {
  Save(kSerial);
  Start();
  Type(Box(1001), QString::fromUtf8("H\u20ACO\u03A9M"));
  Box(1003)->setFocus();
  for (const char* pasted : {"V\U0001F389S", "\u00C9T\u00CA"}) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(pasted));
    QTest::keyClick(Box(1003), Qt::Key_V, Qt::ControlModifier);
  }
  EXPECT_EQ(Box(1001)->text() + "|" + Box(1003)->text(), QString::fromUtf8("HOM|\u00C9T\u00CA"));
  Click(View(), 1029);
  EXPECT_EQ(EnabledGameControls(), 19);
  const int buttons[][3] = {{1000, 1027, 6},  {1004, 1027, 9}, {1006, 1027, 11}, {1008, 1027, 12},
                            {1010, 1027, 11}, {1002, 1028, 6}, {1005, 1028, 9},  {1007, 1028, 11},
                            {1009, 1028, 12}, {1011, 1028, 11}};
  for (const auto& [button, box, score] : buttons) {
    Click(View(), button);
    EXPECT_EQ(Text(Box(box)), std::to_string(score)) << "button " << button;
  }

  Choose(List(1018), "Green");
  Choose(List(1019), "Giant");
  Type(NoteBox(), "Half time, 21-7");
  Click(View(), 1017);
  EXPECT_EQ(Text(Box(1012)) + "|" + Doc().noteColor + "/" + Doc().noteSize,
            "Half time, 21-...|Green/Giant");

  Doc().team2NameColor = "dim g";
  Doc().team1ScoreColor = "Purple";
  for (int button : {2, 1}) {
    Expect<CConfigDlg>([button](CConfigDlg& dialog) {
      EXPECT_EQ(Control<QComboBox>(dialog, 1016)->currentText(), "Red");
      EXPECT_EQ(Control<QComboBox>(dialog, 1017)->currentText(), "Dim Green");
      Choose(Control<QComboBox>(dialog, 1016), "Green");
      Choose(Control<QComboBox>(dialog, 1019), "Yellow");
      Click(dialog, button);
    });
    Command(CMainFrame::kScoreBoardOptions);
  }
  EXPECT_EQ(Doc().team1NameColor + "/" + Doc().team2NameColor + "/" + Doc().team1ScoreColor + "/" +
                Doc().team2ScoreColor,
            "Green/dim g/Purple/Yellow");
  EXPECT_EQ(Text(Box(1012)), "Half time, 21-...") << "only the next scoreboard shows them";
  Click(View(), 1014);
  EXPECT_EQ(Box(1012)->text(), QString::fromUtf8("HOM 11  \u00C9T\u00CA 11"));

  Expect([this](QDialog& dialog) {
    auto* box = Control<QPlainTextEdit>(dialog, 1022);
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(box->toPlainText(), QString::fromLatin1(Doc().history)) << "shown whole, read-only";
    Click(dialog, 1);
  });
  Command(CMainFrame::kShowScoringHistory);
  Click(View(), 1021);
  EXPECT_EQ(NoteBox()->toPlainText(), "");
  EXPECT_EQ(View().focusWidget(), NoteBox());

  // New Game with an empty box tells through the real message box and puts
  // the focus in that box.
  Box(1003)->selectAll();
  QTest::keyClick(Box(1003), Qt::Key_Delete);
  Click(View(), 1029);
  EXPECT_EQ(boxes, std::vector<std::string>{"Entry Required: Enter Team Abbreviations"});
  EXPECT_EQ(View().focusWidget(), Box(1003));
}

// Enter and the keypad's Enter press the focused push button, once however
// long the key is held; in the note box Enter still starts a new line. New
// Game during a game asks, and Escape or Enter (No is the default) change
// nothing; Yes starts afresh. Now Showing takes no typing and is no Tab stop.
TEST_F(ViewTest, TheKeyboardPressesButtonsAndNewGameAsksFirst) {
  Save(kSerial);
  StartGame();
  QWidget* plus3 = Control(View(), 1004);
  plus3->setFocus();
  QTest::keyClick(plus3, Qt::Key_Return);
  QTest::keyClick(plus3, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyEvent(QTest::KeyAction::Press, plus3, Qt::Key_Return, Qt::NoModifier);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(plus3, &repeat);
  EXPECT_EQ(Text(Box(1027)), "9") << "two presses and one held key, its repeat ignored";

  NoteBox()->setFocus();
  Type(NoteBox(), "Half");
  QTest::keyClick(NoteBox(), Qt::Key_Return);
  Type(NoteBox(), "time");
  EXPECT_EQ(Doc().noteText, "Half\ntime");

  // Tab from Clear Note reaches New Game.
  Control(View(), 1021)->setFocus();
  QTest::keyClick(Control(View(), 1021), Qt::Key_Tab);
  QWidget* newGame = Control(View(), 1029);
  ASSERT_EQ(View().focusWidget(), newGame);
  for (Qt::Key refusal : {Qt::Key_Escape, Qt::Key_Return}) {
    Expect<QMessageBox>([refusal](QMessageBox& box) { QTest::keyClick(&box, refusal); });
    QTest::keyClick(newGame, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Text(Box(1027)), "9");
  }
  Expect<QMessageBox>(
      [](QMessageBox& box) { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); });
  Click(View(), 1029);
  EXPECT_EQ(Text(Box(1027)), "0");
  EXPECT_EQ(boxes, std::vector<std::string>(3,
                                            "Ravelle: Start a new game? The scores and the "
                                            "scoring history of this game will be cleared."));

  QTest::keyClick(newGame, Qt::Key_Tab);
  EXPECT_NE(View().focusWidget(), Box(1012)) << "Now Showing is skipped";
  Box(1012)->setFocus();
  Type(Box(1012), "x");
  EXPECT_EQ(Text(Box(1012)), "HOM 0  VIS 0") << "read-only";
}

// A failed serial send shows in a quiet line under the form, a long reason
// taking more lines rather than being cut, and a note the sign does not show
// whole in another beneath it; the form grows to hold them, and each goes
// when it no longer stands. Over USB without the library an action shows one
// box, not one per packet. COM200 has no standard device on the machine, so
// no mistake here could reach a real port.
TEST_F(ViewTest, FailuresAndLostCharactersShowQuietlyUnderTheForm) {
  const std::string missing =
      kMissingPort + std::string(" and a long way past it, so long that it wraps");
  Save({"beta", kConnectionSerialClassic, 200, 9600, 7, "even", 1});
  ASSERT_TRUE(SaveComPortDevice(200, missing));
  StartGame(true);
  auto* failureLine = View().findChild<QLabel*>("sendFailureLine");
  auto* notice = View().findChild<QLabel*>("noteNoticeLine");
  ASSERT_TRUE(failureLine && notice && failureLine->isVisible());
  EXPECT_EQ(Doc().protocol, "alpha") << "never read back";
  EXPECT_EQ(failureLine->text().toStdString(), "The last send did not reach the sign: COM200 (" +
                                                   missing + "): " + std::strerror(ENOENT));
  Type(NoteBox(), QString::fromUtf8("Go \U0001F389 \u20AC!"));
  Click(View(), 1017);
  EXPECT_EQ(notice->text().toStdString(), "2 characters the sign cannot show were left out");
  const CDialogUnits units(View().font());
  EXPECT_GE(failureLine->y(), units.Y(338));
  EXPECT_GT(failureLine->height(), units.Y(12));
  EXPECT_GE(failureLine->height(), failureLine->heightForWidth(failureLine->width()));
  EXPECT_GT(notice->y(), failureLine->geometry().bottom());
  EXPECT_GT(View().height(), notice->geometry().bottom());
  EXPECT_TRUE(boxes.empty()) << "nothing modal";

  CPseudoTerminal sign;
  ASSERT_TRUE(sign.IsOpen()) << std::strerror(errno);
  ASSERT_TRUE(SaveComPortDevice(200, sign.SlavePath()));
  Command(CMainFrame::kClearSign);
  EXPECT_FALSE(failureLine->isVisible() || notice->isVisible());
  EXPECT_EQ(View().height(), units.Y(341));
  EXPECT_FALSE(sign.Read(1, 0, 1000).empty());

  Doc().connection = kConnectionUsbPrism;
  View().Link().SetUsbLibraryName("/nonexistent/libbetabriteusb.so");
  Click(View(), 1014);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes.back().rfind("Ravelle: Error opening", 0), 0u) << boxes.back();
}

}  // namespace

// The widget tests run without a display, whatever the environment says.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
