#include "qt/shell/RavelleApp.h"

#include <QAction>

#include "qt/form/RavelleView.h"
#include "qt/shell/AboutDlg.h"
#include "qt/shell/MainFrame.h"

CRavelleApp::CRavelleApp(CPacketSink* sink, std::optional<std::filesystem::path> keptGameFile)
    : sink_(sink), profile_(kApplicationName) {
  if (keptGameFile) keptGame_.emplace(std::move(*keptGameFile));
}

CRavelleApp::~CRavelleApp() = default;

bool CRavelleApp::InitInstance() {
  profile_.SetRegistryKey(kFrameworkRegistryKey);
  profile_.LoadStdProfileSettings(kMaxRecentFiles);

  frame_ = std::make_unique<CMainFrame>();
  view_ = new CRavelleView(doc_, messageBoxes_, sink_, frame_.get());
  frame_->setCentralWidget(view_);
  view_->setFocus();
  if (keptGame_) view_->Game().KeepGameIn(&*keptGame_);
  RouteCommands();

  // The new document: the form's first display runs (settings read, the
  // settings dialog when none are saved, the kept game offered back or the
  // sign blanked) before the window is shown.
  OnFileNew();
  frame_->show();
  frame_->raise();
  frame_->activateWindow();
  return true;
}

void CRavelleApp::ExitInstance() { profile_.SaveStdProfileSettings(); }

void CRavelleApp::RouteCommands() {
  auto route = [this](int id, auto handler) {
    connect(frame_->Command(id), &QAction::triggered, this, handler);
  };
  route(CMainFrame::kFileNew, [this] { OnFileNew(); });
  route(CMainFrame::kAppExit, [this] { frame_->close(); });
  route(CMainFrame::kClearSign, [this] { view_->OnClearSign(); });
  route(CMainFrame::kShowScoringHistory, [this] { view_->OnShowScoringHistory(); });
  route(CMainFrame::kScoreBoardOptions, [this] { view_->OnScoreBoardOptions(); });
  route(CMainFrame::kCommunicationSettings, [this] { view_->OnCommunicationSettings(); });
  route(CMainFrame::kAppAbout, [this] { OnAppAbout(); });
}

void CRavelleApp::OnFileNew() {
  view_->Game().NewDocument([this] { view_->OnInitialUpdate(); });
}

void CRavelleApp::OnAppAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
}
