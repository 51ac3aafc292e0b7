#include "win32/form/RavelleView.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "game/RavelleDoc.h"
#include "res/LinkAddresses.h"
#include "win32/dialogs/CommSettingsDlg.h"
#include "win32/dialogs/ConfigDlg.h"
#include "win32/dialogs/HistoryDlg.h"
#include "win32/form/FormIds.h"
#include "win32/framework/ArialFont.h"
#include "win32/framework/ControlText.h"
#include "win32/framework/SettingsAccess.h"

namespace {

// In dialog units: the form, and the notice lines below it, each shown only
// while it stands.
constexpr int kFormWidth = 314;
constexpr int kFormHeight = 341;
constexpr int kNoticeLinesTop = 338;
constexpr int kNoticeLineHeight = 12;

constexpr int kScoreFontHeight = 28;
constexpr int kEntryFontHeight = 24;
constexpr COLORREF kEntryText = RGB(0, 0, 255);
constexpr COLORREF kFailureText = RGB(192, 0, 0);

// The nineteen controls that DisableGameControls and EnableGameControls
// treat, in their order.
constexpr std::array<int, 19> kGameControls = {
    IDC_TEAM1_SUBTRACT1, IDC_TEAM1_ADD1,      IDC_TEAM1_ADD2, IDC_TEAM1_ADD3, IDC_TEAM1_ADD6,
    IDC_TEAM1_SCORE,     IDC_TEAM2_SUBTRACT1, IDC_TEAM2_ADD1, IDC_TEAM2_ADD2, IDC_TEAM2_ADD3,
    IDC_TEAM2_ADD6,      IDC_TEAM2_SCORE,     IDC_SEND_SCORE, IDC_SEND_NOTE,  IDC_CLEAR_NOTE,
    IDC_NOTE_SIZE,       IDC_NOW_SHOWING,     IDC_NOTE_COLOR, IDC_NOTE_TEXT};

struct CScoreButton {
  int id;
  int team;
  int amount;  // negative: the subtract button
};
constexpr std::array<CScoreButton, 10> kScoreButtons = {{
    {IDC_TEAM1_ADD6, 1, 6},
    {IDC_TEAM1_ADD3, 1, 3},
    {IDC_TEAM1_ADD2, 1, 2},
    {IDC_TEAM1_ADD1, 1, 1},
    {IDC_TEAM1_SUBTRACT1, 1, -1},
    {IDC_TEAM2_ADD6, 2, 6},
    {IDC_TEAM2_ADD3, 2, 3},
    {IDC_TEAM2_ADD2, 2, 2},
    {IDC_TEAM2_ADD1, 2, 1},
    {IDC_TEAM2_SUBTRACT1, 2, -1},
}};

bool IsPushButton(HWND control) {
  const LRESULT code = SendMessageW(control, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

CRavelleView::CRavelleView(CRavelleDoc& doc, CMessageBoxSeam& messages, CPacketSink* sink)
    : doc_(doc),
      messages_(messages),
      givenSink_(sink),
      game_(doc, *this, messages, *this),
      link_(doc, game_, messages, pump_) {
  link_.onSerialOutcome = [this] { ShowSendFailure(); };
  // One message box per operator action, however many packets fail.
  game_.onActionBegin = [this] { link_.BeginAction(); };
  game_.onActionEnd = [this] { link_.EndAction(); };
}

CRavelleView::~CRavelleView() {
  if (IsWindow(form_)) DestroyWindow(form_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(scoreFont_), static_cast<HGDIOBJ>(entryFont_),
                         static_cast<HGDIOBJ>(blackBrush_)}) {
    if (object != nullptr) DeleteObject(object);
  }
}

bool CRavelleView::Create(HWND parent) {
  form_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RAVELLE_FORM), parent,
                             DialogProc, reinterpret_cast<LPARAM>(this));
  if (form_ == nullptr) return false;
  FillComboEntries(form_, IDC_NOTE_COLOR,
                   {"Amber", "Brown", "Dim Green", "Dim Red", "Green", "Orange", "Red", "Yellow"});
  FillComboEntries(form_, IDC_NOTE_SIZE, {"Normal", "Giant"});
  links_[0].Attach(form_, IDC_GUIDE_LINK, kGuidePageAddress, kGuidePageAddress);
  links_[1].Attach(form_, IDC_HOME_LINK, kHomePageAddress, kHomePageAddress);
  links_[2].Attach(form_, IDC_SHOP_LINK, kShopName, kShopAddress);
  MakeNoticeLines();
  const RECT form = DialogRect(0, 0, kFormWidth, kFormHeight);
  formBottom_ = form.bottom;
  SetWindowPos(form_, nullptr, 0, 0, form.right, form.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(form_, SW_SHOW);
  return true;
}

void CRavelleView::MakeNoticeLines() {
  auto line = [this](int id) {
    HWND made = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                form_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(made, WM_SETFONT, SendMessageW(form_, WM_GETFONT, 0, 0), FALSE);
    return made;
  };
  sendFailureLine_ = line(IDC_SEND_FAILURE_LINE);
  noteNoticeLine_ = line(IDC_NOTE_NOTICE_LINE);
  keptGameNoticeLine_ = line(IDC_KEPT_GAME_NOTICE_LINE);
}

void CRavelleView::OnInitialUpdate() {
  if (blackBrush_ == nullptr) blackBrush_ = CreateSolidBrush(RGB(0, 0, 0));
  SendDlgItemMessageW(form_, IDC_TEAM1_ABBREV, EM_LIMITTEXT, CScoreboardGame::kAbbreviationLimit,
                      0);
  SendDlgItemMessageW(form_, IDC_TEAM2_ABBREV, EM_LIMITTEXT, CScoreboardGame::kAbbreviationLimit,
                      0);
  SendDlgItemMessageW(form_, IDC_NOTE_TEXT, EM_LIMITTEXT, CScoreboardGame::kNoteLimit, 0);
  if (scoreFont_ == nullptr) scoreFont_ = CreateArialFont(kScoreFontHeight);
  if (entryFont_ == nullptr) entryFont_ = CreateArialFont(kEntryFontHeight);
  for (int id : {IDC_TEAM1_SCORE, IDC_TEAM2_SCORE}) {
    SendDlgItemMessageW(form_, id, WM_SETFONT, reinterpret_cast<WPARAM>(scoreFont_), TRUE);
  }
  for (int id : {IDC_TEAM1_ABBREV, IDC_TEAM2_ABBREV, IDC_NOW_SHOWING}) {
    SendDlgItemMessageW(form_, id, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), TRUE);
  }
  game_.ResetForm();
  RefreshControls();
  if (!ReadConnectionSettings(doc_)) OnCommunicationSettings();
  // At the program's start a game it left behind is offered back; resumed,
  // it is on the sign already.
  if (game_.OfferKeptGame()) {
    RefreshControls();
    return;
  }
  // An action of its own: when File > New runs as one, the sign is cleared
  // right after it.
  game_.ClearSign();
  RefreshControls();
}

INT_PTR CALLBACK CRavelleView::DialogProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(form, DWLP_USER, lParam);
    reinterpret_cast<CRavelleView*>(lParam)->form_ = form;
    return FALSE;
  }
  auto* self = reinterpret_cast<CRavelleView*>(GetWindowLongPtrW(form, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CRavelleView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(
          OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      for (const CHyperlinkButton& link : links_) {
        if (static_cast<int>(item.CtlID) == link.Id()) link.Draw(item);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CRavelleView::OnCommand(int id, int notification) {
  if (refreshing_) return;
  switch (notification) {
    case EN_CHANGE:
      if (id == IDC_TEAM1_ABBREV || id == IDC_TEAM2_ABBREV) {
        OnAbbreviationEdited(id == IDC_TEAM1_ABBREV ? 1 : 2);
      } else if (id == IDC_NOTE_TEXT) {
        OnNoteEdited();
      }
      return;
    case CBN_SELCHANGE: {
      std::string entry;
      if (!SelectedEntry(form_, id, entry)) return;
      if (id == IDC_NOTE_COLOR) game_.SelectNoteColor(entry);
      if (id == IDC_NOTE_SIZE) game_.SelectNoteSize(entry);
      RefreshControls();
      return;
    }
    case BN_CLICKED:
      break;
    default:
      return;
  }
  // Enter in an edit box and Escape reach the form as IDOK and IDCANCEL;
  // the form has no such buttons, so nothing happens.
  for (const CScoreButton& button : kScoreButtons) {
    if (button.id != id) continue;
    if (button.amount > 0) {
      game_.PressAdd(button.team, button.amount);
    } else {
      game_.PressSubtract(button.team, -button.amount);
    }
  }
  for (const CHyperlinkButton& link : links_) {
    if (link.Id() == id) link.OpenWebAddress();
  }
  switch (id) {
    case IDC_SEND_SCORE:
      game_.SendScore();
      break;
    case IDC_SEND_NOTE:
      game_.SendNote();
      break;
    case IDC_CLEAR_NOTE:
      game_.ClearNote();
      break;
    case IDC_NEW_GAME:
      game_.NewGame();
      break;
    default:
      break;
  }
  RefreshControls();
}

void CRavelleView::OnAbbreviationEdited(int team) {
  // A character the sign cannot show, or one outside the code page, is
  // refused: the box gets back what it held.
  int charactersLost = 0;
  const std::string text =
      ControlText(form_, team == 1 ? IDC_TEAM1_ABBREV : IDC_TEAM2_ABBREV, &charactersLost);
  const bool taken =
      charactersLost == 0 && (team == 1 ? game_.TypeTeam1(text) : game_.TypeTeam2(text));
  if (!taken) {
    MessageBeep(MB_OK);
    RefreshControls();
    const int id = team == 1 ? IDC_TEAM1_ABBREV : IDC_TEAM2_ABBREV;
    SendDlgItemMessageW(form_, id, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  }
}

void CRavelleView::OnNoteEdited() {
  // Characters the code page lacks (an emoji, say) stay in the box but not
  // in the note; Send Note counts them among those left out.
  int charactersLost = 0;
  const std::string note = ControlText(form_, IDC_NOTE_TEXT, &charactersLost);
  game_.TypeNote(note, charactersLost);
  RefreshControls();
}

HBRUSH CRavelleView::OnControlColor(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  // The colours hold only for a box that is enabled; a disabled one keeps
  // the system's look.
  if (!IsWindowEnabled(control)) return nullptr;
  if (id == IDC_TEAM1_ABBREV || id == IDC_TEAM2_ABBREV || id == IDC_NOTE_TEXT) {
    SetTextColor(dc, kEntryText);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  if (id == IDC_NOW_SHOWING) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return blackBrush_;
  }
  if (id == IDC_SEND_FAILURE_LINE) {
    SetTextColor(dc, kFailureText);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  return nullptr;
}

void CRavelleView::RefreshControls() {
  if (form_ == nullptr) return;
  const bool wasRefreshing = refreshing_;
  refreshing_ = true;
  const CFormState& state = game_.State();
  SetControlText(form_, IDC_TEAM1_ABBREV, state.team1Box);
  SetControlText(form_, IDC_TEAM2_ABBREV, state.team2Box);
  SetControlText(form_, IDC_TEAM1_SCORE, state.team1ScoreBox);
  SetControlText(form_, IDC_TEAM2_SCORE, state.team2ScoreBox);
  SetControlText(form_, IDC_NOW_SHOWING, state.nowShowing);
  // The note box keeps characters the code page lacks; it is written only
  // when the game's note differs from what the box stands for.
  if (ControlText(form_, IDC_NOTE_TEXT) != state.noteBox) {
    SetControlText(form_, IDC_NOTE_TEXT, state.noteBox);
  }
  SelectExactEntry(form_, IDC_NOTE_COLOR, state.noteColorSelection);
  SelectExactEntry(form_, IDC_NOTE_SIZE, state.noteSizeSelection);
  for (int id : kGameControls) EnableControl(form_, id, state.gameControlsEnabled);
  EnableControl(form_, IDC_TEAM1_ABBREV, state.abbreviationBoxesEnabled);
  EnableControl(form_, IDC_TEAM2_ABBREV, state.abbreviationBoxesEnabled);
  ShowNoticeLine(noteNoticeLine_, state.noteNotice);
  ShowNoticeLine(keptGameNoticeLine_, state.keptGameNotice);
  refreshing_ = wasRefreshing;
}

void CRavelleView::FocusAbbreviation(int team) {
  SendMessageW(
      form_, WM_NEXTDLGCTL,
      reinterpret_cast<WPARAM>(GetDlgItem(form_, team == 2 ? IDC_TEAM2_ABBREV : IDC_TEAM1_ABBREV)),
      TRUE);
}

void CRavelleView::FocusNoteBox() {
  SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(form_, IDC_NOTE_TEXT)),
               TRUE);
}

bool CRavelleView::PreTranslateMessage(MSG& message) {
  if (form_ == nullptr || (message.hwnd != form_ && !IsChild(form_, message.hwnd))) return false;
  // Enter presses the push button that has the focus, whichever button the
  // dialog manager takes for the default one.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
      IsChild(form_, message.hwnd) && IsPushButton(message.hwnd)) {
    SendMessageW(message.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  return IsDialogMessageW(form_, &message) != FALSE;
}

void CRavelleView::SendToSign(int comPort, const unsigned char* bytes, int length) {
  if (givenSink_ != nullptr) {
    givenSink_->SendToSign(comPort, bytes, length);
  } else {
    link_.SendToSign(comPort, bytes, length);
  }
}

void CRavelleView::OnClearSign() {
  game_.ClearSign();
  RefreshControls();
}

void CRavelleView::OnScoreBoardOptions() {
  CConfigDlg dialog;
  dialog.CopyColorsFrom(doc_);
  if (dialog.DoModal(GetAncestor(form_, GA_ROOT)) != IDOK) return;
  dialog.ApplyColorsTo(game_);
}

void CRavelleView::OnShowScoringHistory() {
  CHistoryDlg dialog;
  dialog.historyText = doc_.history;
  dialog.DoModal(GetAncestor(form_, GA_ROOT));
}

void CRavelleView::OnCommunicationSettings() {
  CCommSettingsDlg dialog(messages_);
  static_cast<CCommSettings&>(dialog) = doc_;
  if (dialog.DoModal(GetAncestor(form_, GA_ROOT)) != IDOK) return;
  static_cast<CCommSettings&>(doc_) = dialog;
}

void CRavelleView::ShowSendFailure() {
  const std::optional<CSendFailure>& failure = link_.LastSerialFailure();
  std::string text;
  if (failure) {
    std::string reason = failure->systemText;
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back()))) {
      reason.pop_back();
    }
    text = "The last send did not reach the sign: " + failure->Where() + ": " + reason;
  }
  ShowNoticeLine(sendFailureLine_, text);
}

void CRavelleView::ShowNoticeLine(HWND line, const std::string& text) {
  if (line == nullptr) return;
  const bool show = !text.empty();
  const bool shown = (GetWindowLongW(line, GWL_STYLE) & WS_VISIBLE) != 0;
  if (ControlText(form_, GetDlgCtrlID(line)) == text && shown == show) return;
  SetControlText(form_, GetDlgCtrlID(line), text);
  ShowWindow(line, show ? SW_SHOWNA : SW_HIDE);
  PlaceNoticeLines();
}

void CRavelleView::PlaceNoticeLines() {
  const RECT first = DialogRect(7, kNoticeLinesTop, 300, kNoticeLineHeight);
  int top = first.top;
  bool anyShown = false;
  for (HWND line : {sendFailureLine_, noteNoticeLine_, keptGameNoticeLine_}) {
    if ((GetWindowLongW(line, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    anyShown = true;
    // A long reason takes more lines rather than being cut off.
    RECT needed{0, 0, first.right - first.left, 0};
    HDC dc = GetDC(line);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
    const std::wstring text = WindowTextOf(line);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(line, dc);
    const int height = std::max<int>(first.bottom - first.top, needed.bottom);
    SetWindowPos(line, nullptr, first.left, top, first.right - first.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    top += height;
  }
  const RECT form = DialogRect(0, 0, kFormWidth, kFormHeight);
  const int bottom = anyShown ? top + DialogRect(0, 0, 0, 3).bottom : form.bottom;
  if (bottom == formBottom_) return;
  formBottom_ = bottom;
  SetWindowPos(form_, nullptr, 0, 0, form.right, bottom,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  if (onSizeChanged) onSizeChanged();
}

SIZE CRavelleView::FormSize() const {
  return SIZE{DialogRect(0, 0, kFormWidth, kFormHeight).right, formBottom_};
}

RECT CRavelleView::DialogRect(int x, int y, int width, int height) const {
  RECT rect{x, y, x + width, y + height};
  MapDialogRect(form_, &rect);
  return rect;
}
