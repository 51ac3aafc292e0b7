// The scoreboard form, worked through its widgets, driving the virtual sign
// over the real serial road (main() and the offscreen platform: tests/ui).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <regex>

#include "dialogs/CommSettingsDlg.h"
#include "game/RavelleDoc.h"
#include "game/RavelleView.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class FormEndToEnd : public CUiTest {
 protected:
  void SetUp() override {
    CUiTest::SetUp();
    qputenv("RAVELLE_COM1", QByteArray::fromStdString(sign.serialPath));
  }

  // Starts the form and plays a short game on it: the sign shows the score,
  // and nothing drew an error or a warning from the sign or a message box.
  void PlayGame() {
    CRavelleDoc doc;
    CRecordingMessageBoxes boxes;
    CRavelleView view(doc, boxes);
    view.show();
    view.OnInitialUpdate();
    Type(Control<QLineEdit>(view, 1001), "HOM");
    Type(Control<QLineEdit>(view, 1003), "VIS");
    for (int button : {1029, 1004, 1002, 1010})
      Click(Control<QPushButton>(view, button));  // New Game, +3, +6, -1
    // What a sign: line shows, markup left out.
    EXPECT_NE(sign.WaitForLine([](const std::string& line) {
      return std::regex_replace(line, std::regex("\\{[^{}]*\\}"), "") == "sign: HOM 2  VIS 6";
    }),
              "");
    EXPECT_EQ(sign.Reports(), std::vector<std::string>{});
    EXPECT_TRUE(boxes.shown.empty());
  }

  CSignsimProcess sign;
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
