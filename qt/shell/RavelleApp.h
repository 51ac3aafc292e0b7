#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/AppProfile.h"
#include "game/KeptGame.h"
#include "game/RavelleDoc.h"
#include "qt/framework/QtMessageBox.h"

class CMainFrame;
class CPacketSink;
class CRavelleView;

// The application: one document, one main frame and one scoreboard form for
// the life of the program. File > New reuses them.
class CRavelleApp : public QObject {
  Q_OBJECT
 public:
  // sink: where the form's packets go instead of the sign (tests); nullptr
  // for the sign. keptGameFile: where the game in progress is kept and
  // offered back from at start-up; nothing keeps no game.
  explicit CRavelleApp(CPacketSink* sink = nullptr,
                       std::optional<std::filesystem::path> keptGameFile = std::nullopt);
  ~CRavelleApp() override;

  // Start-up: the framework's settings, the frame and the form, the new
  // document with the form's first display, and then the window is shown.
  bool InitInstance();
  // At exit: the framework's settings are written back.
  void ExitInstance();

  void OnFileNew();
  void OnAppAbout();

  CRavelleDoc& Document() { return doc_; }
  CMainFrame& Frame() { return *frame_; }
  CRavelleView& View() { return *view_; }
  const CAppProfile& Profile() const { return profile_; }

 private:
  void RouteCommands();

  CPacketSink* sink_;
  CAppProfile profile_;
  CQtMessageBox messageBoxes_;
  CRavelleDoc doc_;
  std::optional<CKeptGame> keptGame_;
  std::unique_ptr<CMainFrame> frame_;
  CRavelleView* view_ = nullptr;  // owned by the frame
};

// The framework's settings key, below "Software" in the per-user store.
inline constexpr const char* kFrameworkRegistryKey = "Local AppWizard-Generated Applications";
inline constexpr int kMaxRecentFiles = 4;
