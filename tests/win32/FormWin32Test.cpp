#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/MessageBoxSeam.h"
#include "tests/support/RecordingSink.h"
#include "win32/dialogs/DialogIds.h"
#include "win32/form/FormIds.h"
#include "win32/form/RavelleView.h"
#include "win32/framework/ControlText.h"
#include "win32/shell/RavelleApp.h"
#include "win32/shell/ShellIds.h"

namespace {

// Message boxes as "caption: text"; questions answered with answer.
class CScriptedMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon) override {
    shown.push_back(caption + ": " + text);
  }
  bool AskYesNo(const std::string&, const std::string&) override { return answer; }
  std::vector<std::string> shown;
  bool answer = false;
};

// Picks entry in a list, as the operator would.
void Pick(HWND dialog, int id, const wchar_t* entry) {
  SendDlgItemMessageW(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(entry));
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), 0);
}

// A button pressed once the dialog's loop runs (OK and Cancel end it).
void Post(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Answers each dialog box that opens, as the operator would, once it shows.
std::function<void(HWND)> answerDialog;

LRESULT CALLBACK AnswerDialogs(int code, WPARAM wParam, LPARAM lParam) {
  // The main window is no pop-up; the message boxes are the seam's.
  auto* window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && (GetWindowLongW(window, GWL_STYLE) & WS_POPUP)) answerDialog(window);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The real main window and form, made in this process and driven with
// window messages as the operator's mouse and keys would drive them.
class Win32Form : public testing::Test {
 protected:
  explicit Win32Form(CPacketSink* sink = nullptr) : app_(sink, &boxes_) {}
  void SetUp() override {
    answerDialog = [](HWND dialog) { Post(dialog, IDCANCEL); };
    hook_ = SetWindowsHookExW(WH_CBT, AnswerDialogs, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(app_.InitInstance(SW_SHOWNORMAL));
    form_ = app_.View().Window();
  }
  void TearDown() override { UnhookWindowsHookEx(hook_); }
  HWND Control(int id) const { return GetDlgItem(form_, id); }
  void Type(int id, const wchar_t* text) const { SetDlgItemTextW(form_, id, text); }
  void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
  std::wstring Text(int id) const { return WindowTextOf(Control(id)); }
  void Command(int id) { SendMessageW(app_.Frame().Window(), WM_COMMAND, id, 0); }
  void StartGame() {
    Type(IDC_TEAM1_ABBREV, L"HOM");
    Type(IDC_TEAM2_ABBREV, L"VIS");
    Click(IDC_NEW_GAME);
  }

  HHOOK hook_ = nullptr;
  CScriptedMessageBoxes boxes_;
  CRavelleApp app_;
  HWND form_ = nullptr;
};

class Win32FormSmoke : public Win32Form {
 protected:
  Win32FormSmoke() : Win32Form(&sink_) {}
  CRecordingSink sink_;
};

// Every control where the template puts it, in dialog units of the form's
// font (a list's height is its dropped height, so only its top counts);
// before New Game only the abbreviations, New Game and the links are
// usable, after it every control; the tab order is the template's, Now
// Showing (read only) left out.
TEST_F(Win32FormSmoke, ControlsSitInTheTemplatesPlacesAndOrder) {
  // id, x, y, width, height, usable before New Game
  const std::vector<std::array<int, 6>> rows = {
      {1001, 86, 44, 54, 22, 1},    {1003, 236, 44, 54, 22, 1},   {1015, 100, 270, 190, 28, 0},
      {1018, 41, 271, 54, 0, 0},    {1019, 41, 286, 54, 0, 0},    {1000, 30, 70, 33, 20, 0},
      {1004, 30, 95, 33, 20, 0},    {1006, 30, 120, 110, 20, 0},  {1008, 30, 145, 33, 20, 0},
      {1010, 30, 170, 33, 20, 0},   {1002, 175, 70, 33, 20, 0},   {1005, 175, 95, 33, 20, 0},
      {1007, 175, 120, 115, 20, 0}, {1009, 175, 145, 33, 20, 0},  {1011, 175, 170, 33, 20, 0},
      {1014, 100, 206, 190, 15, 0}, {1017, 100, 250, 117, 15, 0}, {1021, 225, 250, 65, 14, 0},
      {1029, 7, 7, 300, 21, 1},     {1012, 73, 227, 217, 16, 0},  {1027, 75, 80, 65, 25, 0},
      {1028, 225, 80, 65, 25, 0},   {1030, 137, 315, 99, 14, 1},  {1031, 16, 315, 115, 14, 1},
      {1033, 243, 315, 50, 14, 1}};
  for (const auto& row : rows) EXPECT_EQ(IsWindowEnabled(Control(row[0])), row[5]) << row[0];
  StartGame();
  HWND previous = Control(IDC_SHOP_LINK);  // the last: the tab order wraps round
  for (const auto& [id, x, y, width, height, usableBeforeNewGame] : rows) {
    // The dialog manager maps the position and the size each on its own.
    RECT place{x, y, width, height};
    MapDialogRect(form_, &place);
    RECT actual;
    GetWindowRect(Control(id), &actual);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(
        std::make_tuple(actual.left, actual.top, actual.right - actual.left,
                        height != 0 ? actual.bottom - actual.top : 0,
                        IsWindowEnabled(Control(id)) != FALSE),
        std::make_tuple(place.left, place.top, place.right, height != 0 ? place.bottom : 0, true))
        << id;
    if (id == IDC_NOW_SHOWING) continue;
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(form_, previous, FALSE)), id);
    previous = Control(id);
  }
}

// A game through window messages and the Options menu: typed abbreviations,
// New Game, score buttons, Enter on a focused button, Escape, refused
// characters, the history, the two settings dialogs' OK and Cancel (OK hands
// the edited copy to the document), an empty abbreviation, New Game once the
// question is answered Yes, Clear LED Sign, the settings saved quietly and
// read by the next start-up. (When the question is asked and what No keeps
// is the core's, proved on Linux.)
TEST_F(Win32FormSmoke, AGameAndTheOptionsRunOnWindowMessages) {
  StartGame();
  EXPECT_FALSE(sink_.packets.empty());
  Click(IDC_TEAM1_ADD6);
  Click(IDC_TEAM2_ADD3);
  // Keys through the program's own keyboard handling.
  SetFocus(Control(IDC_TEAM1_ADD3));
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    MSG message{Control(IDC_TEAM1_ADD3), WM_KEYDOWN, key, 0, 0, {}};
    if (!app_.PreTranslateMessage(message)) DispatchMessageW(&message);
  }
  EXPECT_EQ(Text(IDC_TEAM1_SCORE) + L"|" + Text(IDC_TEAM2_SCORE) + L"|" + Text(IDC_NOW_SHOWING),
            L"9|3|HOM 9  VIS 3");
  // The frame hands the focus on to the form: the keys never reach the
  // frame's accelerators.
  SetFocus(app_.Frame().Window());
  EXPECT_TRUE(IsChild(form_, GetFocus()));
  Type(IDC_TEAM1_ABBREV, L"H\tM");
  Type(IDC_TEAM2_ABBREV, L"V\u263A");
  EXPECT_EQ(Text(IDC_TEAM1_ABBREV) + L"|" + Text(IDC_TEAM2_ABBREV), L"HOM|VIS");

  std::wstring history;
  answerDialog = [&history](HWND dialog) {
    history = WindowTextOf(GetDlgItem(dialog, IDC_HISTORY_TEXT));
    Post(dialog, IDOK);
  };
  Command(ID_SHOW_SCORING_HISTORY);
  EXPECT_NE(history.find(L" -- HOM ::  6\r\n"), std::wstring::npos) << history;

  CRavelleDoc& doc = app_.Document();
  auto edited = [&doc] {
    return doc.team1NameColor + "|" + doc.connection + "|" + std::to_string(doc.comPort);
  };
  const auto unedited = edited();
  for (int button : {IDCANCEL, IDOK}) {
    // Each dialog has one of the two lists.
    answerDialog = [button](HWND dialog) {
      Pick(dialog, IDC_TEAM1_NAME_COLOR, L"Brown");
      Pick(dialog, IDC_CONNECTION, L"usb - betabrite prism");
      Post(dialog, button);
    };
    Command(ID_SCORE_BOARD_OPTIONS);
    Command(ID_COMMUNICATION_SETTINGS);
    EXPECT_EQ(edited(), button == IDCANCEL ? unedited : "Brown|usb - betabrite prism|0");
  }

  Type(IDC_TEAM2_ABBREV, L"");
  Click(IDC_SEND_SCORE);
  EXPECT_EQ(GetFocus(), Control(IDC_TEAM2_ABBREV));
  boxes_.answer = true;
  Type(IDC_TEAM2_ABBREV, L"AWY");
  Click(IDC_NEW_GAME);
  Command(ID_CLEAR_SIGN);
  EXPECT_EQ(Text(IDC_TEAM1_SCORE) + L"|" + Text(IDC_NOW_SHOWING), L"0|");
  EXPECT_TRUE(GetWindowLongW(Control(IDC_NOW_SHOWING), GWL_STYLE) & ES_READONLY);

  answerDialog = [](HWND dialog) {
    Pick(dialog, IDC_CONNECTION, L"serial port - custom settings");
    SetDlgItemTextW(dialog, IDC_COMPORT, L"7");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COMPORT, CBN_EDITCHANGE), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SAVE_SETTINGS, BN_CLICKED), 0);
    Post(dialog, IDCANCEL);
  };
  Command(ID_COMMUNICATION_SETTINGS);
  Command(ID_FILE_NEW);
  // File > New: the colours back to their start, the saved settings read.
  EXPECT_EQ(edited(), "Red|serial port - custom settings|7");
  // The empty abbreviation's is the only message box: the save was quiet.
  EXPECT_EQ(boxes_.shown, std::vector<std::string>{"Entry Required: Enter Team Abbreviations"});
}

// The real sign link: a port whose device is gone can still hand out a
// handle, but reading its state fails; the failure line below the form
// shows the port and the system's reason, and a send that works hides it. (That
// a game reaches the virtual sign, tests/windows/run-tests.sh checks from
// outside the program.)
class Win32FormOnTheSign : public Win32Form {};

TEST_F(Win32FormOnTheSign, AFailedSendShowsItsReasonUntilASendWorks) {
  const char* signPort = std::getenv("RAVELLE_WINE_SIGN_COM");
  const char* missingPort = std::getenv("RAVELLE_WINE_MISSING_DEVICE_COM");
  if (signPort == nullptr || missingPort == nullptr) GTEST_SKIP() << "no sign mapped";
  app_.Document().connection = kConnectionSerialClassic;
  app_.Document().comPort = std::atoi(missingPort);
  StartGame();
  HWND failureLine = Control(IDC_SEND_FAILURE_LINE);
  const std::wstring port = L"COM" + WideFromWindows1252(missingPort);
  const std::wstring where =
      L"The last send did not reach the sign: " + port + L" (\\\\.\\" + port + L"): ";
  const std::wstring line = Text(IDC_SEND_FAILURE_LINE);
  EXPECT_TRUE(IsWindowVisible(failureLine) && line.rfind(where, 0) == 0 &&
              line.size() > where.size())
      << line;

  app_.Document().comPort = std::atoi(signPort);
  Click(IDC_TEAM1_ADD6);
  EXPECT_FALSE(IsWindowVisible(failureLine));
}

}  // namespace
