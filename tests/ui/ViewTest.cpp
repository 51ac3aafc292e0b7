// The program through its real widgets and menu commands. The game's rules
// are proved on the core (tests/game); these cases prove that the form
// carries them to the sign and back: every control wired, each new document,
// the dialogs' exchanges, the keyboard, and the quiet lines under the form.

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
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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
#include "link/MessageBoxSeam.h"
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

// A fresh settings store per test, a runner that answers every modal dialog
// and message box from a queue of handlers instead of a real modal loop, a
// recording message box, and helpers that work the real widgets.

// Where RAVELLE_COM1 points unless a test says otherwise: nothing is there,
// so a serial send fails at once.
inline constexpr const char* kMissingPort = "/nonexistent/ravelle-test-port";

// Each box shown, as "caption: text".
class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon) override {
    shown.push_back(caption + ": " + text);
  }
  std::vector<std::string> shown;
};

// The control placed with that id below root.
template <class Widget>
Widget* Control(const QWidget& root, int id) {
  auto* control = root.findChild<Widget*>(QStringLiteral("control%1").arg(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Clicks a dialog's button (1 OK, 2 Cancel) and gives the dialog's result.
inline int Press(QDialog& dialog, int id) {
  Click(Control<QAbstractButton>(dialog, id));
  return dialog.result();
}

inline void Type(QWidget* box, const QString& text) { QTest::keyClicks(box, text); }

// Picks an entry as a click in the dropped list does: the selection moves
// straight to it and the list reports the operator's choice.
inline void Choose(QComboBox* list, const QString& entry) {
  const int index = list->findText(entry);
  ASSERT_GE(index, 0) << entry.toStdString() << " is not an entry";
  list->setCurrentIndex(index);
  emit list->activated(index);
}

inline std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

class CUiTest : public testing::Test {
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
    EXPECT_TRUE(questionAnswers.empty()) << questionAnswers.size() << " question(s) never asked";
  }

  // The next modal run is answered by handler, which drives the dialog's
  // widgets and returns its result; another kind of dialog fails the test.
  template <class Dialog = QDialog>
  void ExpectDialogOf(std::type_identity_t<std::function<int(Dialog&)>> handler) {
    handlers_.push_back(
        [handler](QDialog& dialog) { return handler(dynamic_cast<Dialog&>(dialog)); });
  }

  static void Save(CCommSettings settings) {
    CRegistryAccess registry;
    SaveCommSettings(settings, registry);
  }
  // A complete saved serial setting, so start-up opens no dialog.
  static void SaveSerialSettings() {
    Save({"alpha", "serial port - betabrite classic", 1, 9600, 7, "even", 1});
  }
  // What the form's start-up would read from the store now.
  static CRavelleDoc Saved() {
    CRavelleDoc doc;
    CRegistryAccess registry;
    ReadSavedSettings(doc, registry);
    return doc;
  }

  // Message boxes shown through the Qt seam as "caption: text", answered with
  // OK; a question (Yes and No) is answered by the next of questionAnswers,
  // which works the shown box as the operator would.
  std::vector<std::string> qtBoxes;
  std::deque<std::function<void(QMessageBox&)>> questionAnswers;

 private:
  int RunDialog(QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      qtBoxes.push_back((box->windowTitle() + QStringLiteral(": ") + box->text()).toStdString());
      if (!box->button(QMessageBox::Yes)) return QMessageBox::Ok;
      if (questionAnswers.empty()) {
        ADD_FAILURE() << "unexpected question " << qtBoxes.back();
        return QMessageBox::No;
      }
      auto answer = std::move(questionAnswers.front());
      questionAnswers.pop_front();
      box->show();
      answer(*box);
      box->hide();
      return box->result();
    }
    if (handlers_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << dialog.windowTitle().toStdString() << "\"";
      return QDialog::Rejected;
    }
    auto handler = std::move(handlers_.front());
    handlers_.pop_front();
    dialog.show();
    const int result = handler(dialog);
    dialog.hide();
    return result;
  }

  QTemporaryDir configHome_;
  std::deque<std::function<int(QDialog&)>> handlers_;
};

// The nineteen game controls, disabled and enabled together.
const int kGameControls[] = {1010, 1008, 1006, 1004, 1000, 1027, 1011, 1009, 1007, 1005,
                             1002, 1028, 1014, 1017, 1021, 1019, 1012, 1018, 1015};

class ViewTest : public CUiTest {
 protected:
  // Starts the program; packets go to packetSink, or to the sign's real
  // link when it is nullptr.
  void Start(CPacketSink* packetSink) {
    app = std::make_unique<CRavelleApp>(packetSink);
    app->InitInstance();
  }

  // Started (on saved settings unless already running), team 2 typed as
  // given and New Game pressed.
  void StartGame(const QString& team2 = QStringLiteral("VIS")) {
    if (!app) {
      SaveSerialSettings();
      Start(&sink);
    }
    Type(Box(1001), "HOM");
    Type(Box(1003), team2);
    Click(Button(1029));
  }

  void Command(int id) { app->Frame().Command(id)->trigger(); }
  CRavelleDoc& Doc() { return app->Document(); }
  CRavelleView& View() { return app->View(); }
  QPushButton* Button(int id) { return Control<QPushButton>(View(), id); }
  QLineEdit* Box(int id) { return Control<QLineEdit>(View(), id); }
  QComboBox* List(int id) { return Control<QComboBox>(View(), id); }

  void ExpectGameControlsEnabled(bool enabled) {
    for (int id : kGameControls) {
      EXPECT_EQ(Control<QWidget>(View(), id)->isEnabled(), enabled) << "control " << id;
    }
  }

  CRecordingSink sink;
  std::unique_ptr<CRavelleApp> app;
};

// The first document and each File > New start afresh on the same form.
// Saved settings are read without a dialog; without a saved connection the
// settings dialog comes first. Either way the sign is blanked after it and
// only New Game can be used.
TEST_F(ViewTest, EveryNewDocumentReadsTheSettingsOrAsksThenBlanksTheSign) {
  enum Store { kEmpty, kSaved };
  const struct {
    Store store;
    int button;
    const char* connection;
  } rows[] = {{kEmpty, 1, "serial port - custom settings"},
              {kEmpty, 2, ""},
              {kSaved, 0, "serial port - betabrite classic"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "store " << row.store << " button " << row.button);
    if (row.store == kSaved) Save({"beta", row.connection, 3, 19200, 8, "odd", 2});
    sink.packets.clear();
    if (row.store != kSaved) {
      ExpectDialogOf<CCommSettingsDlg>([this, &row, first = !app](CCommSettingsDlg& dialog) {
        EXPECT_TRUE(sink.packets.empty()) << "the sign is blanked only after the dialog";
        EXPECT_EQ(app->Frame().isVisible(), !first) << "the first start asks before showing";
        EXPECT_EQ(dialog.connection, "") << "read again from the store";
        EXPECT_TRUE(first || dialog.comPort == 3) << "the other settings keep their values";
        Choose(Control<QComboBox>(dialog, 1038), "serial port - custom settings");
        Choose(Control<QComboBox>(dialog, 1032), "3");
        return Press(dialog, row.button);
      });
    }
    app ? Command(CMainFrame::kFileNew) : Start(&sink);
    EXPECT_EQ(Doc().connection, row.connection);
    EXPECT_EQ(Doc().protocol, "alpha") << "the protocol is never read back";
    EXPECT_EQ(sink.packets.size(), 3u) << "memory configuration, empty TEXT file, run sequence";
    ExpectGameControlsEnabled(false);
    EXPECT_TRUE(Button(1029)->isEnabled());
    EXPECT_EQ(Text(Box(1001)) + Text(Box(1027)), "") << "score boxes start blank, not at 0";
    EXPECT_EQ(List(1019)->currentText(), "Normal");
    StartGame();  // a game under way, for the next document to clear
    Click(Button(1000));
    Choose(List(1019), "Giant");
  }
}

// Each score button, the note's colour and size lists, Send Note, Clear
// Note, Score Board Options (only OK takes the colours, only the next
// scoreboard shows them; the lists select by case-insensitive prefix and
// hand an unknown colour back untouched), the history, and New Game with an
// empty box.
TEST_F(ViewTest, EveryControlAndMenuCommandReachesTheGame) {
  StartGame();
  EXPECT_EQ(sink.packets.size(), 3u + 9u) << "the blank sign, then the full scoreboard";
  ExpectGameControlsEnabled(true);
  const int buttons[][3] = {{1000, 1027, 6},  {1004, 1027, 9}, {1006, 1027, 11}, {1008, 1027, 12},
                            {1010, 1027, 11}, {1002, 1028, 6}, {1005, 1028, 9},  {1007, 1028, 11},
                            {1009, 1028, 12}, {1011, 1028, 11}};
  for (const auto& [button, box, score] : buttons) {
    Click(Button(button));
    EXPECT_EQ(Text(Box(box)), std::to_string(score)) << "button " << button;
  }

  Choose(List(1018), "Green");
  Choose(List(1019), "Giant");
  auto* noteBox = Control<QPlainTextEdit>(View(), 1015);
  Type(noteBox, "Half time, 21-7");
  Click(Button(1017));
  EXPECT_EQ(Text(Box(1012)), "Half time, 21-...");
  EXPECT_EQ(Doc().noteColor + "/" + Doc().noteSize, "Green/Giant");

  Doc().team2NameColor = "dim g";
  Doc().team1ScoreColor = "Purple";
  for (int button : {2, 1}) {
    ExpectDialogOf<CConfigDlg>([button](CConfigDlg& dialog) {
      EXPECT_EQ(Control<QComboBox>(dialog, 1016)->currentText(), "Red");
      EXPECT_EQ(Control<QComboBox>(dialog, 1017)->currentText(), "Dim Green");
      Choose(Control<QComboBox>(dialog, 1016), "Green");
      Choose(Control<QComboBox>(dialog, 1019), "Yellow");
      return Press(dialog, button);
    });
    Command(CMainFrame::kScoreBoardOptions);
  }
  EXPECT_EQ(Doc().team2NameColor + "/" + Doc().team1ScoreColor, "dim g/Purple");
  EXPECT_EQ(Text(Box(1012)), "Half time, 21-...");
  sink.packets.clear();
  Click(Button(1014));
  ASSERT_EQ(sink.packets.size(), 9u);
  const std::vector<unsigned char>& board = sink.packets[7].bytes;
  EXPECT_EQ(board[33], '2') << "team 1 name in green";
  EXPECT_EQ(board[board.size() - 4], '8') << "team 2 score in yellow";

  ExpectDialogOf([this](QDialog& dialog) {
    auto* box = Control<QPlainTextEdit>(dialog, 1022);
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(box->toPlainText().toStdString(), Doc().history) << "shown whole, read-only";
    return Press(dialog, 1);
  });
  Command(CMainFrame::kShowScoringHistory);
  Click(Button(1021));
  EXPECT_EQ(noteBox->toPlainText(), "");
  EXPECT_EQ(View().focusWidget(), noteBox);

  // New Game with an empty box tells through the real message box and puts
  // the focus in that box.
  Box(1003)->selectAll();
  QTest::keyClick(Box(1003), Qt::Key_Delete);
  Click(Button(1029));
  EXPECT_EQ(qtBoxes, std::vector<std::string>{"Entry Required: Enter Team Abbreviations"});
  EXPECT_EQ(View().focusWidget(), Box(1003));
}

const std::string kNewGameQuestion =
    "Ravelle: Start a new game? The scores and the scoring history of this game will be cleared.";

// Types any text, as a keyboard whose layout has its characters would;
// QTest's own typing knows ASCII only.
void TypeText(QWidget* box, const QString& text) {
  for (char32_t character : text.toUcs4()) {
    const QString typed = QString::fromUcs4(&character, 1);
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, typed);
      QCoreApplication::sendEvent(box, &key);
    }
  }
}

// Enter and the keypad's Enter press the focused push button, once however
// long the key is held; in the note box Enter still starts a new line. New
// Game during a game asks, and Escape or Enter (No is the default) change
// nothing; Yes starts afresh.
// Now Showing takes no typing and is no Tab stop.
TEST_F(ViewTest, TheKeyboardPressesButtonsAndNewGameAsksFirst) {
  StartGame();
  Button(1004)->setFocus();  // team 1 +3
  QTest::keyClick(Button(1004), Qt::Key_Return);
  QTest::keyClick(Button(1004), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyEvent(QTest::KeyAction::Press, Button(1004), Qt::Key_Return, Qt::NoModifier);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(Button(1004), &repeat);
  EXPECT_EQ(Text(Box(1027)), "9") << "two presses and one held key, its repeat ignored";

  auto* noteBox = Control<QPlainTextEdit>(View(), 1015);
  noteBox->setFocus();
  Type(noteBox, "Half");
  QTest::keyClick(noteBox, Qt::Key_Return);
  Type(noteBox, "time");
  EXPECT_EQ(Doc().noteText, "Half\ntime");

  // Tab from Clear Note reaches New Game.
  Button(1021)->setFocus();
  QTest::keyClick(Button(1021), Qt::Key_Tab);
  ASSERT_EQ(View().focusWidget(), Button(1029));
  for (Qt::Key refusal : {Qt::Key_Escape, Qt::Key_Return}) {
    questionAnswers.push_back([refusal](QMessageBox& box) { QTest::keyClick(&box, refusal); });
    qtBoxes.clear();
    QTest::keyClick(Button(1029), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(qtBoxes, std::vector<std::string>{kNewGameQuestion});
    EXPECT_EQ(Text(Box(1027)), "9");
  }
  questionAnswers.push_back([](QMessageBox& box) { Click(box.button(QMessageBox::Yes)); });
  Click(Button(1029));
  EXPECT_EQ(Text(Box(1027)), "0");

  QTest::keyClick(Button(1029), Qt::Key_Tab);
  EXPECT_NE(View().focusWidget(), Box(1012)) << "Now Showing is skipped";
  EXPECT_FALSE(Box(1012)->focusPolicy() & Qt::TabFocus);
  Box(1012)->setFocus();
  Type(Box(1012), "x");
  EXPECT_EQ(Text(Box(1012)), "HOM 0  VIS 0") << "read-only";
}

// Typed or pasted, a character the sign cannot show never enters an
// abbreviation box.
TEST_F(ViewTest, AbbreviationBoxesRefuseCharactersTheSignCannotShow) {
  SaveSerialSettings();
  Start(&sink);
  TypeText(Box(1001), QString::fromUtf8("H\u20ACO\u03A9M"));
  EXPECT_EQ(Text(Box(1001)), "HOM");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("V\U0001F389S"));
  Box(1003)->setFocus();
  QTest::keyClick(Box(1003), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(Box(1003)), "") << "the paste is refused whole";
  QGuiApplication::clipboard()->setText(QString::fromUtf8("\u00C9T\u00CA"));
  QTest::keyClick(Box(1003), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Box(1003)->text(), QString::fromUtf8("\u00C9T\u00CA"));
}

// A failed serial send shows in a quiet line under the form, and a note the
// sign does not show whole in another beneath it; the form grows to hold
// them, and each goes when it no longer stands. A settings file spoilt by
// hand fails the next send naming the file and the line, the long reason
// taking more lines rather than being cut. Over USB without the library an
// action shows one box, not one per packet. COM200 has no standard device on
// the machine, so no mistake here could reach a real port.
TEST_F(ViewTest, FailuresAndLostCharactersShowQuietlyUnderTheForm) {
  Save({"alpha", "serial port - betabrite classic", 200, 9600, 7, "even", 1});
  ASSERT_TRUE(SaveComPortDevice(200, kMissingPort));
  Start(nullptr);  // the real sign link
  auto* failureLine = View().findChild<QLabel*>(QStringLiteral("sendFailureLine"));
  auto* notice = View().findChild<QLabel*>(QStringLiteral("noteNoticeLine"));
  ASSERT_TRUE(failureLine && notice && failureLine->isVisible());
  EXPECT_EQ(failureLine->text().toStdString(),
            std::string("The last send did not reach the sign: COM200 (") + kMissingPort +
                "): " + std::strerror(ENOENT));
  StartGame();
  TypeText(Control<QPlainTextEdit>(View(), 1015), QString::fromUtf8("Go \U0001F389 \u20AC!"));
  Click(Button(1017));
  EXPECT_EQ(notice->text().toStdString(), "2 characters the sign cannot show were left out");
  const CDialogUnits units(View().font());
  EXPECT_GE(failureLine->y(), units.Y(338));
  EXPECT_GT(notice->y(), failureLine->geometry().bottom());
  EXPECT_GT(View().height(), notice->geometry().bottom());
  EXPECT_TRUE(qtBoxes.empty()) << "nothing modal";

  const QString store =
      qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/ravelle/settings.reg");
  QFile file(store);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  file.close();
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(saved + "\"ComPort\"=dword:3\n");
  file.close();
  Click(Button(1014));  // Send Score takes the note off the sign
  EXPECT_FALSE(notice->isVisible());
  EXPECT_EQ(failureLine->text(),
            QStringLiteral("The last send did not reach the sign: COM200 (device unknown): %1 "
                           "cannot be read: line %2: the value \"ComPort\" is not well formed")
                .arg(store)
                .arg(saved.count('\n') + 1));
  EXPECT_GT(failureLine->height(), units.Y(12));
  EXPECT_GE(failureLine->height(), failureLine->heightForWidth(failureLine->width()));
  EXPECT_LT(failureLine->geometry().bottom(), View().height());

  CPseudoTerminal sign;
  ASSERT_TRUE(sign.IsOpen()) << std::strerror(errno);
  ASSERT_TRUE(QFile::remove(store));
  ASSERT_TRUE(SaveComPortDevice(200, sign.SlavePath()));
  Command(CMainFrame::kClearSign);
  EXPECT_FALSE(failureLine->isVisible());
  EXPECT_EQ(View().height(), units.Y(341));
  EXPECT_FALSE(sign.Read(1, 0, 1000).empty());

  Doc().connection = kConnectionUsbPrism;
  View().Link().SetUsbLibraryName("/nonexistent/libbetabriteusb.so");
  Click(Button(1014));
  ASSERT_EQ(qtBoxes.size(), 1u);
  EXPECT_EQ(qtBoxes.back().rfind("Ravelle: Error opening", 0), 0u) << qtBoxes.back();
}

// The Communication Settings dialog's wiring: each widget shows its box of
// the editor and hands it the operator's choices, typing and the save
// button. The rules themselves are tested without widgets (tests/dialogs).
class CommSettingsTest : public CUiTest {
 protected:
  QComboBox* List(int id) { return Control<QComboBox>(dialog, id); }
  // Every widget lists its box's entries and shows its text and enabling.
  void ExpectWidgetsShowTheEditor() {
    const std::pair<int, CommBox> boxes[] = {{1032, CommBox::ComPort},    {1033, CommBox::BaudRate},
                                             {1034, CommBox::ByteSize},   {1035, CommBox::Protocol},
                                             {1036, CommBox::Parity},     {1037, CommBox::StopBits},
                                             {1038, CommBox::Connection}, {1040, CommBox::Device}};
    for (const auto& [id, box] : boxes) {
      SCOPED_TRACE(id);
      QStringList shown, entries;
      for (int i = 0; i < List(id)->count(); ++i) shown << List(id)->itemText(i);
      for (const std::string& entry : dialog.Entries(box)) entries << entry.c_str();
      EXPECT_EQ(shown, entries);
      EXPECT_EQ(List(id)->isEnabled(), dialog.Box(box).enabled);
      EXPECT_EQ(List(id)->currentText().toStdString(), dialog.Box(box).text);
    }
  }

  CRecordingMessageBoxes messages;
  CCommSettingsDlg dialog{messages};
};

TEST_F(CommSettingsTest, EachWidgetShowsAndFeedsItsBox) {
  static_cast<CCommSettings&>(dialog) = {"alpha", kConnectionSerialClassic, 3, 9600, 7, "even", 1};
  ExpectDialogOf([this](QDialog&) {
    ExpectWidgetsShowTheEditor();
    Choose(List(1038), kConnectionSerialCustom);
    Choose(List(1032), "2");
    List(1033)->lineEdit()->clear();
    Type(List(1033), "14400");
    Choose(List(1034), "8");
    Choose(List(1036), " ");
    Choose(List(1037), "2");
    List(1040)->lineEdit()->clear();
    Type(List(1040), "/dev/ttyUSB7");
    ExpectWidgetsShowTheEditor();
    Click(Control<QPushButton>(dialog, 1039));
    return Press(dialog, 1);
  });
  EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  const CRavelleDoc saved = Saved();
  EXPECT_EQ(
      std::tie(saved.connection, saved.comPort, saved.baudRate, saved.byteSize, saved.parity,
               saved.stopBits),
      std::make_tuple(std::string(kConnectionSerialCustom), 2, 14400, 8, std::string(" "), 2));
  EXPECT_EQ(messages.shown, std::vector<std::string>{});
}

}  // namespace

// The widget tests run without a display, whatever the environment says.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
