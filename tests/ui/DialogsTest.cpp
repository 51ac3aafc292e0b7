// The Communication Settings dialog's wiring: each widget shows its box of
// the editor and hands it the operator's choices, typing and the save
// button. The rules themselves are tested without widgets (tests/dialogs).

#include <QPushButton>
#include <fstream>

#include "link/ComPortMap.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "tests/ui/UiTestSupport.h"

namespace {

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
  std::ofstream(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/ravelle/settings.reg")
      << "garbage\n";
  Click(Control<QPushButton>(dialog, 1039));
  EXPECT_EQ(messages.shown.size(), 1u) << "a failed save says so";
}

}  // namespace
