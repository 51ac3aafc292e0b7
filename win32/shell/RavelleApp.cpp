#include "win32/shell/RavelleApp.h"

#include <commctrl.h>

#include <string>

#include "win32/form/RavelleView.h"
#include "win32/shell/AboutDlg.h"
#include "win32/shell/ShellIds.h"

namespace {

// The window title: the first field of the document string.
std::wstring WindowTitle() {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), IDR_MAINFRAME, reinterpret_cast<LPWSTR>(&text), 0);
  const std::wstring documentString(text != nullptr ? text : L"", static_cast<std::size_t>(length));
  return documentString.substr(0, documentString.find(L'\n'));
}

}  // namespace

CRavelleApp::CRavelleApp(CPacketSink* sink, CMessageBoxSeam* messages,
                         std::optional<std::filesystem::path> keptGameFile)
    : sink_(sink), messageBoxes_(messages != nullptr ? *messages : ownMessageBoxes_) {
  if (keptGameFile) keptGame_.emplace(std::move(*keptGameFile));
}

CRavelleApp::~CRavelleApp() {
  view_.reset();
  if (richEditLibrary_ != nullptr) FreeLibrary(richEditLibrary_);
}

bool CRavelleApp::InitInstance(int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // The scoring history's box is a rich edit control.
  richEditLibrary_ = LoadLibraryW(L"riched20.dll");
  profile_.Load();

  if (!frame_.Create(WindowTitle().c_str())) return false;
  ownMessageBoxes_.SetOwner(frame_.Window());
  frame_.onCommand = [this](int id) { OnCommand(id); };
  frame_.onDestroy = [] { PostQuitMessage(0); };
  accelerators_ = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));

  view_ = std::make_unique<CRavelleView>(doc_, messageBoxes_, sink_);
  if (!view_->Create(frame_.Window())) return false;
  if (keptGame_) view_->Game().KeepGameIn(&*keptGame_);
  view_->Pump().preTranslate = [this](MSG& message) { return PreTranslateMessage(message); };
  view_->onSizeChanged = [this] { frame_.FitClientArea(view_->FormSize()); };
  frame_.FitClientArea(view_->FormSize());

  // The new document: the form's first display runs (settings read, the
  // settings dialog when none are saved, the kept game offered back or the
  // sign blanked) before the window is shown.
  OnFileNew();
  ShowWindow(frame_.Window(), showCommand);
  ShowWindow(frame_.Window(), SW_SHOW);
  UpdateWindow(frame_.Window());
  SetFocus(view_->Window());
  return true;
}

int CRavelleApp::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void CRavelleApp::ExitInstance() { profile_.Save(); }

bool CRavelleApp::PreTranslateMessage(MSG& message) {
  // The form takes every keystroke aimed at it, so while it has the focus
  // the accelerators issue no command: the keys reach the focused control.
  if (view_ && view_->PreTranslateMessage(message)) return true;
  return accelerators_ != nullptr &&
         TranslateAcceleratorW(frame_.Window(), accelerators_, &message) != 0;
}

void CRavelleApp::OnCommand(int id) {
  switch (id) {
    case ID_FILE_NEW:
      OnFileNew();
      break;
    case ID_APP_EXIT:
      DestroyWindow(frame_.Window());
      break;
    case ID_APP_ABOUT:
      OnAppAbout();
      break;
    case ID_CLEAR_SIGN:
      view_->OnClearSign();
      break;
    case ID_SHOW_SCORING_HISTORY:
      view_->OnShowScoringHistory();
      break;
    case ID_SCORE_BOARD_OPTIONS:
      view_->OnScoreBoardOptions();
      break;
    case ID_COMMUNICATION_SETTINGS:
      view_->OnCommunicationSettings();
      break;
    default:
      // Open, Save, the edit keys and the panes have no handler.
      break;
  }
}

void CRavelleApp::OnFileNew() {
  view_->Game().NewDocument([this] { view_->OnInitialUpdate(); });
}

void CRavelleApp::OnAppAbout() {
  CAboutDlg dialog;
  dialog.DoModal(frame_.Window());
}
