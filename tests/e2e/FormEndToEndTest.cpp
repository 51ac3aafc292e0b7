// The scoreboard form, worked through its widgets, driving the virtual sign
// over the real serial road.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <regex>

#include "dialogs/CommSettingsDlg.h"
#include "game/RavelleDoc.h"
#include "game/RavelleView.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/ui/UiTestSupport.h"

namespace {

// What a sign: line shows, markup left out.
std::string Shown(const std::string& line) {
  if (line.rfind("sign: ", 0) != 0) return "";
  return std::regex_replace(line.substr(6), std::regex("\\{[^{}]*\\}"), "");
}

class FormEndToEnd : public CUiTest {
 protected:
  void SetUp() override {
    CUiTest::SetUp();
    qputenv("RAVELLE_COM1", QByteArray::fromStdString(sign.SerialPath()));
  }

  QPushButton* Button(int id) { return Control<QPushButton>(*view, id); }

  CSignsimProcess sign;
  CRavelleDoc doc;
  CRecordingMessageBoxes boxes;
  std::unique_ptr<CRavelleView> view;

  // Starts the form, plays a short game on it and checks that the sign shows
  // the score, and that nothing drew an error or a warning from the sign.
  void PlayGame() {
    view = std::make_unique<CRavelleView>(doc, boxes);
    view->show();
    view->OnInitialUpdate();
    Type(Control<QLineEdit>(*view, 1001), "HOM");
    Type(Control<QLineEdit>(*view, 1003), "VIS");
    Click(Button(1029));  // New Game
    Click(Button(1004));  // team 1 +3
    Click(Button(1002));  // team 2 +6
    Click(Button(1010));  // team 1 -1
    EXPECT_NE(
        sign.WaitForLine([](const std::string& line) { return Shown(line) == "HOM 2  VIS 6"; }),
        "");
    ASSERT_TRUE(sign.Settle());
    for (const std::string& line : sign.Lines()) {
      EXPECT_EQ(line.rfind("error: ", 0), std::string::npos) << line;
      EXPECT_EQ(line.rfind("warning: ", 0), std::string::npos) << line;
    }
    EXPECT_TRUE(boxes.shown.empty());
  }
};

TEST_F(FormEndToEnd, AGameOnTheFormLightsUpTheSign) {
  SaveSerialSettings();
  PlayGame();
}

// What a newcomer meets: no saved settings, so the settings dialog comes up
// first; the sign's own choice leads to COM port 1 and the virtual sign.
TEST_F(FormEndToEnd, AFirstStartWithoutSavedSettingsReachesTheSign) {
  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1038), "serial port - betabrite classic");
    Click(Control<QPushButton>(dialog, 1));
    return dialog.result();
  });
  PlayGame();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
