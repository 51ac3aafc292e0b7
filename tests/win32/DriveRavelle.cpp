// Drives a running ravelle.exe from outside it, as an operator would:
//
//   drive_ravelle.exe [--leave-open]  finds the main window, types two
//       abbreviations, presses New Game, +6 for team 1 and +3 for team 2,
//       prints what Now Showing shows, then closes the program through
//       File > Exit (unless --leave-open);
//   drive_ravelle.exe --resume        answers Yes when the program offers
//       back the game it kept, prints Now Showing, and closes it.
//
// Exit status 0 when every step found its window.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "win32/form/FormIds.h"
#include "win32/shell/ShellIds.h"

namespace {

HWND WaitForWindow(const wchar_t* className, const wchar_t* title) {
  // Emulated 32-bit Wine takes a while to start a program.
  for (int tries = 0; tries < 600; ++tries) {
    if (HWND window = FindWindowW(className, title)) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "--resume") == 0) {
    HWND question = WaitForWindow(L"#32770", L"Ravelle");
    if (question == nullptr) {
      std::fprintf(stderr, "drive_ravelle: no question about the kept game\n");
      return 1;
    }
    SendDlgItemMessageW(question, IDYES, BM_CLICK, 0, 0);
  }
  HWND frame = WaitForWindow(L"RavelleMainFrame", nullptr);
  HWND form = frame != nullptr ? FindWindowExW(frame, nullptr, L"#32770", nullptr) : nullptr;
  if (form == nullptr) {
    std::fprintf(stderr, "drive_ravelle: no Ravelle window\n");
    return 1;
  }
  if (std::strcmp(mode, "--resume") != 0) {
    SetDlgItemTextW(form, IDC_TEAM1_ABBREV, L"HOM");
    SetDlgItemTextW(form, IDC_TEAM2_ABBREV, L"VIS");
    for (int id : {IDC_NEW_GAME, IDC_TEAM1_ADD6, IDC_TEAM2_ADD3}) {
      SendDlgItemMessageW(form, id, BM_CLICK, 0, 0);
    }
  }
  wchar_t nowShowing[256] = {};
  GetDlgItemTextW(form, IDC_NOW_SHOWING, nowShowing, 256);
  std::printf("now showing: %ls\n", nowShowing);
  if (std::strcmp(mode, "--leave-open") != 0) SendMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
  return 0;
}
