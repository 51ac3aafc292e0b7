// The settings, colour, history and About dialogs through their widgets:
// enabling rules, value fills, the operator's choices, the settings store.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <climits>

#include "app/AboutDlg.h"
#include "app/HyperlinkButton.h"
#include "app/LinkAddresses.h"
#include "dialogs/CommSettingsDlg.h"
#include "dialogs/ConfigDlg.h"
#include "dialogs/HistoryDlg.h"
#include "dialogs/SavedSettings.h"
#include "game/RavelleDoc.h"
#include "game/RavelleView.h"
#include "link/ComPortMap.h"
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

class CommSettingsTest : public CUiTest {
 protected:
  // A dialog opened on these fields, initialised as its modal run does.
  void Open(const std::string& connection) {
    dialog = std::make_unique<CCommSettingsDlg>();
    dialog->protocol = "alpha";
    dialog->connection = connection;
    dialog->comPort = 3;
    dialog->baudRate = 9600;
    dialog->byteSize = 7;
    dialog->parity = "even";
    dialog->stopBits = 1;
    ExpectDialog([](QDialog&) { return int(QDialog::Rejected); });
    dialog->DoModal();
  }
  QComboBox* List(int id) { return Control<QComboBox>(*dialog, id); }

  std::unique_ptr<CCommSettingsDlg> dialog;
};

struct EnablingCase {
  const char* name;
  const char* connection;
  bool protocol;
  bool comPort;
  bool lineSettings;  // baud rate, byte size, parity, stop bits
  bool filled;
};

class CommSettingsEnablingTest : public CommSettingsTest,
                                 public testing::WithParamInterface<EnablingCase> {};

TEST_P(CommSettingsEnablingTest, OpeningFollowsTheConnection) {
  const EnablingCase& row = GetParam();
  Open(row.connection);
  EXPECT_TRUE(List(1038)->isEnabled());
  EXPECT_EQ(List(1035)->isEnabled(), row.protocol);
  EXPECT_EQ(List(1032)->isEnabled(), row.comPort);
  EXPECT_EQ(List(1040)->isEnabled(), row.comPort) << "the device goes with the port";
  for (int id : {1033, 1034, 1036, 1037}) {
    EXPECT_EQ(List(id)->isEnabled(), row.lineSettings) << "control " << id;
  }
  EXPECT_EQ(List(1038)->currentText().toStdString(), row.connection);
  EXPECT_EQ(List(1032)->currentText(), row.filled ? "3" : "");
  EXPECT_EQ(List(1033)->currentText(), row.filled ? "9600" : "");
  EXPECT_EQ(List(1037)->currentText(), row.filled ? "1" : "");
  EXPECT_EQ(List(1034)->currentText(), row.filled ? "7" : "");
  EXPECT_EQ(List(1036)->currentText(), row.filled ? "even" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Connections, CommSettingsEnablingTest,
    testing::Values(
        EnablingCase{"None", "", false, false, false, false},
        EnablingCase{"Usb", "usb - betabrite prism", false, false, false, false},
        EnablingCase{"SerialClassic", "serial port - betabrite classic", false, true, false, true},
        EnablingCase{"SerialCustom", "serial port - custom settings", true, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommSettingsTest, ListsKeepTheirTemplateEntriesAndOrder) {
  Open("");
  auto entries = [this](int id) {
    QStringList texts;
    for (int i = 0; i < List(id)->count(); ++i) texts << List(id)->itemText(i);
    return texts;
  };
  EXPECT_EQ(entries(1038), QStringList({"serial port - betabrite classic",
                                        "serial port - custom settings", "usb - betabrite prism"}));
  EXPECT_EQ(entries(1036), QStringList({" ", "none", "even", "odd"}));
  EXPECT_EQ(entries(1034), QStringList({" ", "7", "8"}));
  EXPECT_EQ(entries(1032), QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(List(1035)->currentText(), "alpha");
}

TEST_F(CommSettingsTest, ZeroValuesShowNoSelectionOrAZero) {
  dialog = std::make_unique<CCommSettingsDlg>();
  dialog->connection = "serial port - custom settings";
  ExpectDialog([](QDialog&) { return int(QDialog::Rejected); });
  dialog->DoModal();
  EXPECT_EQ(List(1032)->currentText(), "0");
  EXPECT_EQ(List(1033)->currentText(), "0");
  EXPECT_EQ(List(1037)->currentIndex(), -1);
  EXPECT_EQ(List(1034)->currentIndex(), -1);
  EXPECT_EQ(List(1036)->currentIndex(), -1);
}

TEST_F(CommSettingsTest, ChoosingAConnectionPresetsTheValues) {
  Open("serial port - custom settings");

  Choose(List(1038), "usb - betabrite prism");
  EXPECT_EQ(dialog->connection, "usb - betabrite prism");
  EXPECT_EQ(dialog->comPort, 0);
  EXPECT_EQ(dialog->baudRate, 0);
  EXPECT_EQ(dialog->byteSize, 0);
  EXPECT_EQ(dialog->parity, "");
  EXPECT_EQ(dialog->stopBits, 0);
  EXPECT_EQ(List(1032)->currentText(), "");
  EXPECT_EQ(List(1033)->currentText(), "");
  EXPECT_EQ(List(1037)->currentText(), " ");
  EXPECT_EQ(List(1034)->currentText(), " ");
  EXPECT_EQ(List(1036)->currentText(), " ");
  EXPECT_FALSE(List(1032)->isEnabled());
  EXPECT_FALSE(List(1035)->isEnabled());

  Choose(List(1038), "serial port - betabrite classic");
  EXPECT_EQ(dialog->comPort, 0) << "the port waits for the operator";
  EXPECT_EQ(dialog->baudRate, 9600);
  EXPECT_EQ(dialog->byteSize, 7);
  EXPECT_EQ(dialog->parity, "even");
  EXPECT_EQ(dialog->stopBits, 1);
  EXPECT_EQ(List(1032)->currentText(), "");
  EXPECT_EQ(List(1033)->currentText(), "9600");
  EXPECT_TRUE(List(1032)->isEnabled());
  EXPECT_FALSE(List(1033)->isEnabled());

  Choose(List(1038), "serial port - custom settings");
  EXPECT_EQ(dialog->baudRate, 9600) << "custom keeps what was there";
  EXPECT_EQ(dialog->comPort, 0);
  for (int id : {1032, 1033, 1034, 1036, 1037}) EXPECT_TRUE(List(id)->isEnabled()) << id;
  EXPECT_FALSE(List(1035)->isEnabled()) << "only an opening on custom settings enables it";
}

TEST_F(CommSettingsTest, TheOperatorsChoicesReachTheFields) {
  Open("serial port - custom settings");
  Choose(List(1032), "5");
  EXPECT_EQ(dialog->comPort, 5);
  List(1032)->lineEdit()->clear();
  Type(List(1032), "12ab");
  EXPECT_EQ(dialog->comPort, 12) << "digits followed by letters";
  List(1033)->lineEdit()->clear();
  Type(List(1033), "14400");
  EXPECT_EQ(dialog->baudRate, 14400);
  Choose(List(1034), "8");
  EXPECT_EQ(dialog->byteSize, 8);
  Choose(List(1036), " ");
  EXPECT_EQ(dialog->parity, " ");
  Choose(List(1037), "2");
  EXPECT_EQ(dialog->stopBits, 2);
  EXPECT_EQ(List(1032)->count(), 8) << "typed text never becomes an entry";

  // Arrow keys choose too.
  List(1037)->setFocus();
  QTest::keyClick(List(1037), Qt::Key_Up);
  EXPECT_EQ(dialog->stopBits, 1);
}

TEST(CommSettingsIntegerValue, ReadsLeadingDecimalDigits) {
  const struct {
    const char* text;
    int value;
  } rows[] = {{"12", 12},
              {"12ab", 12},
              {"abc", 0},
              {" ", 0},
              {"", 0},
              {"  -7", -7},
              {"+5", 5},
              {"9600 baud", 9600},
              {"0x10", 0},
              {"- 3", 0},
              {"99999999999", INT_MAX},
              {"-99999999999", INT_MIN}};
  for (const auto& row : rows) {
    EXPECT_EQ(CCommSettingsDlg::IntegerValue(QString::fromLatin1(row.text)), row.value)
        << '"' << row.text << '"';
  }
}

TEST_F(CommSettingsTest, UsbSaveStoresPortOneAndOkCarriesIt) {
  Open("serial port - betabrite classic");
  Choose(List(1038), "usb - betabrite prism");
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(dialog->comPort, 1) << "the save sets the dialog's own port";
  EXPECT_EQ(ReadString("Connection"), "usb - betabrite prism");
  EXPECT_EQ(ReadString("Protocol"), "alpha");
  EXPECT_EQ(ReadInteger("ComPort"), 1);
  EXPECT_EQ(ReadInteger("BaudRate"), 0);
  EXPECT_EQ(ReadInteger("ByteSize"), 0);
  EXPECT_EQ(ReadString("Parity"), "");
  EXPECT_EQ(ReadInteger("StopBits"), 0);
}

TEST_F(CommSettingsTest, ATypedBaudRateIsSavedAndShownAgain) {
  Open("serial port - custom settings");
  List(1033)->lineEdit()->clear();
  Type(List(1033), "14400");
  Choose(List(1036), " ");
  Click(Control<QPushButton>(*dialog, 1039));

  CRavelleDoc doc;
  CRegistryAccess registry;
  ASSERT_TRUE(ReadSavedSettings(doc, registry));
  EXPECT_EQ(doc.baudRate, 14400);
  EXPECT_EQ(doc.parity, " ");

  dialog = std::make_unique<CCommSettingsDlg>();
  dialog->connection = doc.connection;
  dialog->baudRate = doc.baudRate;
  dialog->parity = doc.parity;
  ExpectDialog([](QDialog&) { return int(QDialog::Rejected); });
  dialog->DoModal();
  EXPECT_EQ(List(1033)->currentText(), "14400");
  EXPECT_EQ(List(1036)->currentText(), " ");
}

TEST_F(CommSettingsTest, ShowsTheMappedDeviceAndSavesAnotherChoice) {
  Open("serial port - betabrite classic");
  EXPECT_EQ(List(1040)->currentText().toStdString(), DevicePathForComPort(3));
  Choose(List(1032), "1");
  EXPECT_EQ(List(1040)->currentText(), kMissingPort) << "COM1 follows RAVELLE_COM1";

  Choose(List(1032), "2");
  List(1040)->lineEdit()->clear();
  Type(List(1040), "/dev/ttyUSB7");
  EXPECT_NE(DevicePathForComPort(2), "/dev/ttyUSB7") << "nothing is stored before the save";
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  EXPECT_EQ(ReadInteger("ComPort"), 2);
}

class CommSettingsExchangeTest : public CUiTest {
 protected:
  CRavelleDoc doc;
  CRecordingSink sink;
  CRecordingMessageBoxes boxes;
};

TEST_F(CommSettingsExchangeTest, SaveThenCancelChangesTheStoreButNotTheDocument) {
  SaveSerialSettings();
  CRavelleView view(doc, boxes, &sink);
  view.OnInitialUpdate();
  sink.packets.clear();

  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1038), "serial port - custom settings");
    Choose(Control<QComboBox>(dialog, 1032), "4");
    Choose(Control<QComboBox>(dialog, 1036), "odd");
    Click(Control<QPushButton>(dialog, 1039));
    Click(Control<QPushButton>(dialog, 2));
    return dialog.result();
  });
  view.OnCommunicationSettings();

  EXPECT_EQ(doc.connection, "serial port - betabrite classic");
  EXPECT_EQ(doc.comPort, 1);
  EXPECT_EQ(doc.parity, "even");
  EXPECT_EQ(ReadString("Connection"), "serial port - custom settings");
  EXPECT_EQ(ReadInteger("ComPort"), 4);
  EXPECT_EQ(ReadString("Parity"), "odd");
  EXPECT_TRUE(sink.packets.empty()) << "the sign is not cleared or re-sent";

  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1032), "2");
    Click(Control<QPushButton>(dialog, 1));
    return dialog.result();
  });
  view.OnCommunicationSettings();
  EXPECT_EQ(doc.comPort, 2);
  EXPECT_EQ(ReadInteger("ComPort"), 4) << "OK alone writes nothing";
}

TEST_F(CommSettingsExchangeTest, ACorruptStoreFileOpensTheDialogInsteadOfFailing) {
  QDir(ConfigHome()).mkpath(QStringLiteral("ravelle"));
  QFile store(ConfigHome() + QStringLiteral("/ravelle/settings.reg"));
  ASSERT_TRUE(store.open(QIODevice::WriteOnly));
  QByteArray junk("\xff\xfe[HKEY_CURRENT_USER\\Software\\Norv");
  junk.append('\0');
  junk.append("ane]\n\"Connection\"=hex:zz,\n\"ComPort\"=dword:xyz\n[[[\n");
  store.write(junk);
  store.close();

  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    EXPECT_EQ(dialog.connection, "");
    Click(Control<QPushButton>(dialog, 2));
    return dialog.result();
  });
  CRavelleView view(doc, boxes, &sink);
  view.OnInitialUpdate();
  EXPECT_EQ(doc.connection, "");
  EXPECT_EQ(sink.packets.size(), 3u) << "start-up still blanks the sign";
}

TEST_F(CUiTest, ConfigDialogLeavesAnUnknownColourUnselectedAndReturnsIt) {
  CConfigDlg dialog;
  dialog.team1NameColor = "Purple";
  dialog.team2NameColor = "dim g";
  dialog.team1ScoreColor = "Red";
  dialog.team2ScoreColor = "Yellow";
  ExpectDialog([](QDialog& shown) {
    EXPECT_EQ(Control<QComboBox>(shown, 1016)->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(shown, 1017)->currentText(), "Dim Green") << "prefix, any case";
    EXPECT_EQ(Control<QComboBox>(shown, 1019)->count(), 8);
    EXPECT_EQ(Control<QComboBox>(shown, 1019)->itemText(0), "Amber");
    Click(Control<QPushButton>(shown, 1));
    return shown.result();
  });
  EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
  EXPECT_EQ(dialog.team1NameColor, "Purple");
  EXPECT_EQ(dialog.team2NameColor, "dim g") << "untouched lists return their field unchanged";
}

TEST_F(CUiTest, HistoryIsReadOnlySelectableAndCopyable) {
  CHistoryDlg dialog;
  dialog.historyText = "  09:05:03 -- XY ::  6\n  09:06:00 -- Note :: Half time\n";
  ExpectDialog([](QDialog& shown) {
    auto* box = Control<QPlainTextEdit>(shown, 1022);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->toPlainText(), "  09:05:03 -- XY ::  6\n  09:06:00 -- Note :: Half time\n");
    EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(box->toPlainText().left(2), "  ") << "typing changes nothing";
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), box->toPlainText());
    EXPECT_EQ(shown.focusWidget(), Control<QPushButton>(shown, 1));
    Click(Control<QPushButton>(shown, 1));
    return shown.result();
  });
  dialog.DoModal();
}

TEST_F(CUiTest, AboutBoxShowsTheContactAndOpensItsLinks) {
  CUrlRecorder urls;
  CAboutDlg dialog;
  ExpectDialog([&urls](QDialog& shown) {
    EXPECT_EQ(Control<QLineEdit>(shown, 1024)->text(), kContactAddress);
    EXPECT_TRUE(Control<QLineEdit>(shown, 1024)->isReadOnly());
    auto* updates = Control<CHyperlinkButton>(shown, 1025);
    EXPECT_EQ(updates->text(), kUpdatePageAddress);
    Click(updates);
    Click(Control<CHyperlinkButton>(shown, 1026));
    EXPECT_EQ(urls.opened, QStringList({kUpdatePageAddress, kHomePageAddress}));
    Click(Control<QPushButton>(shown, 1));
    return shown.result();
  });
  dialog.DoModal();
}

TEST_F(CUiTest, FormLinksOpenTheirOwnAddresses) {
  CUrlRecorder urls;
  CRavelleDoc doc;
  CRecordingSink sink;
  CRecordingMessageBoxes boxes;
  CRavelleView view(doc, boxes, &sink);
  view.show();
  for (int id : {1031, 1030, 1033}) Click(Control<CHyperlinkButton>(view, id));
  EXPECT_EQ(urls.opened, QStringList({kHomePageAddress, kGuidePageAddress, kShopAddress}));
  EXPECT_EQ(Control<CHyperlinkButton>(view, 1033)->text(), kShopName);
  EXPECT_TRUE(sink.packets.empty());
}

// Counts pixels of one colour in an image of the button.
int CountPixels(const QImage& image, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
  }
  return count;
}

TEST_F(CUiTest, LinkButtonIsBlueRedWhilePressedAndClippedOnOneLine) {
  QWidget window;
  auto* link = new CHyperlinkButton(QStringLiteral("https://ravelle.example.org/a/long/address"),
                                    QStringLiteral("https://ravelle.example.org/"), &window);
  link->setGeometry(0, 0, 60, 21);
  window.show();
  const QColor blue(0, 0, 255);
  const QColor red(255, 0, 0);

  QImage released = link->grab().toImage();
  EXPECT_GT(CountPixels(released, blue), 0);
  EXPECT_EQ(CountPixels(released, red), 0);
  EXPECT_TRUE(link->font().underline());

  link->setDown(true);
  QImage pressed = link->grab().toImage();
  EXPECT_GT(CountPixels(pressed, red), 0);
  EXPECT_EQ(CountPixels(pressed, blue), 0);
  link->setDown(false);

  EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor) << "the hand cursor from the resources";
  EXPECT_EQ(link->cursor().hotSpot(), QPoint(12, 9));
  EXPECT_LE(QFontMetrics(link->font()).height(), 14);
}

}  // namespace

#include "DialogsTest.moc"
