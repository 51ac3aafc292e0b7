#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "game/KeptGame.h"
#include "game/RavelleDoc.h"
#include "win32/framework/SettingsAccess.h"
#include "win32/framework/Win32MessageBox.h"
#include "win32/shell/MainFrame.h"

class CPacketSink;
class CRavelleView;

// The application: one document, one main frame and one scoreboard form for
// the life of the program. File > New reuses them.
class CRavelleApp {
 public:
  // sink: where the form's packets go instead of the sign; messages: where
  // its message boxes go instead of the screen (tests). nullptr for the
  // real ones. keptGameFile: where the game in progress is kept and offered
  // back from at start-up; nothing keeps no game.
  explicit CRavelleApp(CPacketSink* sink = nullptr, CMessageBoxSeam* messages = nullptr,
                       std::optional<std::filesystem::path> keptGameFile = std::nullopt);
  CRavelleApp(const CRavelleApp&) = delete;
  CRavelleApp& operator=(const CRavelleApp&) = delete;
  ~CRavelleApp();

  // Start-up: the common controls and the rich edit library, the
  // framework's settings, the frame and the form, the new document with the
  // form's first display, and then the window is shown. False when the
  // window or the form cannot be made.
  bool InitInstance(int showCommand);
  // The message loop, until the main window is closed; the exit code.
  int Run();
  // At exit: the framework's settings are written back.
  void ExitInstance();

  // The program's keyboard handling for one message: the form's dialog
  // manager first, then the accelerators. True when the message was taken.
  bool PreTranslateMessage(MSG& message);

  void OnCommand(int id);
  void OnFileNew();
  void OnAppAbout();

  CRavelleDoc& Document() { return doc_; }
  CMainFrame& Frame() { return frame_; }
  CRavelleView& View() { return *view_; }

 private:
  CPacketSink* sink_;
  CWin32MessageBox ownMessageBoxes_;
  CMessageBoxSeam& messageBoxes_;
  CFrameworkProfile profile_;
  CRavelleDoc doc_;
  std::optional<CKeptGame> keptGame_;
  CMainFrame frame_;
  std::unique_ptr<CRavelleView> view_;
  HACCEL accelerators_ = nullptr;
  HMODULE richEditLibrary_ = nullptr;
};
