// The scoreboard form, worked through its widgets, driving the virtual sign
// over the real serial road (main() and the offscreen platform: tests/ui).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "game/RavelleDoc.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "qt/form/RavelleView.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/ui/UiTestSupport.h"

namespace {

using FormEndToEnd = CUiTest;

// What a newcomer meets: no saved settings, so the settings dialog comes up
// first; the sign's own choice leads to COM port 1 and the virtual sign. A
// short game then shows on the sign, and nothing drew an error or a warning
// from the sign or a message box.
TEST_F(FormEndToEnd, AFirstStartThroughTheSettingsDialogLightsUpTheSign) {
  CSignsimProcess sign;
  qputenv("RAVELLE_COM1", QByteArray::fromStdString(sign.serialPath));
  ExpectDialogOf<CCommSettingsDlg>([](CCommSettingsDlg& dialog) {
    Choose(Control<QComboBox>(dialog, 1038), "serial port - betabrite classic");
    return Press(dialog, 1);
  });
  CRavelleDoc doc;
  CRecordingMessageBoxes boxes;
  CRavelleView view(doc, boxes);
  view.show();
  view.OnInitialUpdate();
  Type(Control<QLineEdit>(view, 1001), "HOM");
  Type(Control<QLineEdit>(view, 1003), "VIS");
  for (int button : {1029, 1004, 1002, 1010})
    Click(Control<QPushButton>(view, button));  // New Game, +3, +6, -1
  EXPECT_NE(sign.WaitForLine("sign: {hold}{fixed}{red}HOM{red} 2  {red}VIS{red} 6"), "");
  EXPECT_EQ(sign.Reports(), std::vector<std::string>{});
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
