#include "qt/form/RavelleView.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QValidator>
#include <algorithm>

#include "game/RavelleDoc.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "qt/dialogs/ConfigDlg.h"
#include "qt/dialogs/HistoryDlg.h"
#include "qt/framework/ComboEntries.h"
#include "qt/framework/DialogUnits.h"
#include "qt/framework/EnterPressesButtons.h"
#include "qt/framework/GroupFrame.h"
#include "qt/framework/HyperlinkButton.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"
#include "res/LinkAddresses.h"
#include "settings/SavedSettings.h"
#include "sign/SignText.h"

namespace {

constexpr int kFormWidth = 314;
constexpr int kFormHeight = 341;
// The notice lines below the form (a serial failure, a note the sign does
// not show whole), each shown only while it stands.
constexpr int kNoticeLinesTop = 338;
constexpr int kNoticeLineHeight = 12;

constexpr int kScoreFontHeight = 28;
constexpr int kEntryFontHeight = 24;

const QColor kEntryText(0, 0, 255);

// The colours an enabled, editable box shows; disabled, it keeps the
// toolkit's default look.
void SetEnabledColors(QWidget& box, const QColor& text, const QColor* background) {
  QPalette palette = box.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Text, text);
    if (background) palette.setColor(group, QPalette::Base, *background);
  }
  box.setPalette(palette);
}

void SetLineText(QLineEdit& box, const std::string& text) {
  const QString wanted = FromWindows1252(text);
  // Only a real change is written, so the caret stays where the operator left it.
  if (box.text() != wanted) box.setText(wanted);
}

// The abbreviation boxes refuse, as it is typed or pasted, any character
// the sign cannot show: it would vanish from the scoreboard.
class CSignTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*position*/) const override {
    return SignCanShowAll(input.toStdString()) ? Acceptable : Invalid;
  }
};

void SelectExactEntry(QComboBox& list, const std::string& entry) {
  const int index = entry.empty() ? -1 : list.findText(FromWindows1252(entry));
  if (list.currentIndex() != index) list.setCurrentIndex(index);
}

}  // namespace

CRavelleView::CRavelleView(CRavelleDoc& doc, CMessageBoxSeam& messages, CPacketSink* sink,
                           QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      messages_(messages),
      givenSink_(sink),
      game_(doc, *this, messages, *this),
      link_(doc, game_, messages, pump_) {
  setFont(CDialogUnits::FormFont());
  BuildControls();
  ConnectControls();
  link_.onSerialOutcome = [this] { ShowSendFailure(); };
  // One message box per operator action, however many packets fail.
  game_.onActionBegin = [this] { link_.BeginAction(); };
  game_.onActionEnd = [this] { link_.EndAction(); };
  LetEnterPressButtons(*this);
  FitSize();
}

void CRavelleView::BuildControls() {
  CTemplateLayout layout(*this);
  auto lineEdit = [&](int id, int x, int y, int w, int h) {
    auto* box = new QLineEdit(this);
    layout.Place(*box, id, x, y, w, h);
    return box;
  };
  auto button = [&](int id, const char* caption, int x, int y, int w, int h) {
    auto* pushButton = new QPushButton(QString::fromLatin1(caption), this);
    pushButton->setAutoDefault(false);
    layout.Place(*pushButton, id, x, y, w, h);
    return pushButton;
  };
  std::vector<QWidget*> frames;
  auto label = [&](const char* text, int x, int y, int w, int h) {
    auto* caption = new QLabel(QString::fromLatin1(text), this);
    layout.Place(*caption, 0, x, y, w, h);
    frames.push_back(caption);
  };
  auto group = [&](const char* title, int x, int y, int w, int h) {
    auto* frame = new CGroupFrame(QString::fromLatin1(title), this);
    layout.Place(*frame, 0, x, y, w, h);
    frames.push_back(frame);
  };

  // In the template's order, which is also the tab order.
  team1Box_ = lineEdit(1001, 86, 44, 54, 22);
  team2Box_ = lineEdit(1003, 236, 44, 54, 22);
  for (QLineEdit* box : {team1Box_, team2Box_}) box->setValidator(new CSignTextValidator(box));

  noteBox_ = new QPlainTextEdit(this);
  layout.Place(*noteBox_, 1015, 100, 270, 190, 28);
  // Enter starts a new line, lines scroll sideways instead of wrapping, and
  // Tab moves on to the next control as in any dialog.
  noteBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
  noteBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  noteBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  noteBox_->setTabChangesFocus(true);

  noteColorList_ = new QComboBox(this);
  FillComboEntries(*noteColorList_,
                   {"Amber", "Brown", "Dim Green", "Dim Red", "Green", "Orange", "Red", "Yellow"},
                   true);
  layout.PlaceCombo(*noteColorList_, 1018, 41, 271, 54, 141);
  noteSizeList_ = new QComboBox(this);
  FillComboEntries(*noteSizeList_, {"Normal", "Giant"}, true);
  layout.PlaceCombo(*noteSizeList_, 1019, 41, 286, 54, 126);

  const int team1Ids[5] = {1000, 1004, 1006, 1008, 1010};
  const int team2Ids[5] = {1002, 1005, 1007, 1009, 1011};
  const char* captions[5] = {"+6", "+3", "+2", "+1", "-1"};
  for (int i = 0; i < 5; ++i) {
    // The "+2" buttons are the wide ones.
    team1Buttons_[i] = button(team1Ids[i], captions[i], 30, 70 + 25 * i, i == 2 ? 110 : 33, 20);
  }
  for (int i = 0; i < 5; ++i) {
    team2Buttons_[i] = button(team2Ids[i], captions[i], 175, 70 + 25 * i, i == 2 ? 115 : 33, 20);
  }
  sendScoreButton_ = button(1014, "/\\       Send Score", 100, 206, 190, 15);
  sendNoteButton_ = button(1017, "\\/       Send Note", 100, 250, 117, 15);
  for (QPushButton* leftAligned : {sendScoreButton_, sendNoteButton_}) {
    leftAligned->setStyleSheet(QStringLiteral("text-align: left; padding-left: 6px;"));
  }
  clearNoteButton_ = button(1021, "Clear Note", 225, 250, 65, 14);
  newGameButton_ = button(1029, "New Game", 7, 7, 300, 21);

  label("Abbreviation:", 25, 49, 59, 13);
  group("Team 1", 19, 35, 130, 165);
  label("Abbreviation:", 170, 49, 62, 13);
  group("Team 2", 166, 35, 134, 165);

  nowShowingBox_ = lineEdit(1012, 73, 227, 217, 16);
  // The program writes it; the operator may select and copy, not type or
  // tab into it.
  nowShowingBox_->setReadOnly(true);
  nowShowingBox_->setFocusPolicy(Qt::ClickFocus);
  label("Now Showing:", 14, 231, 54, 13);

  team1ScoreBox_ = lineEdit(1027, 75, 80, 65, 25);
  team2ScoreBox_ = lineEdit(1028, 225, 80, 65, 25);
  for (QLineEdit* scoreBox : {team1ScoreBox_, team2ScoreBox_}) {
    scoreBox->setReadOnly(true);
    // Read-only boxes show the form's own background.
    QPalette palette = scoreBox->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    scoreBox->setPalette(palette);
  }

  guideLink_ = new CHyperlinkButton(QString::fromLatin1(kGuidePageAddress),
                                    QString::fromLatin1(kGuidePageAddress), this);
  layout.Place(*guideLink_, 1030, 137, 315, 99, 14);
  group("See also:", 7, 305, 293, 29);
  homeLink_ = new CHyperlinkButton(QString::fromLatin1(kHomePageAddress),
                                   QString::fromLatin1(kHomePageAddress), this);
  layout.Place(*homeLink_, 1031, 16, 315, 115, 14);
  shopLink_ =
      new CHyperlinkButton(QString::fromLatin1(kShopName), QString::fromLatin1(kShopAddress), this);
  layout.Place(*shopLink_, 1033, 243, 315, 50, 14);

  // Frames and labels lie beneath the controls they surround.
  for (QWidget* frame : frames) frame->lower();

  auto noticeLine = [&](const char* name) {
    auto* line = new QLabel(this);
    line->setObjectName(QString::fromLatin1(name));
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->setWordWrap(true);
    line->hide();
    return line;
  };
  sendFailureLine_ = noticeLine("sendFailureLine");
  QPalette failurePalette = sendFailureLine_->palette();
  failurePalette.setColor(QPalette::WindowText, QColor(192, 0, 0));
  sendFailureLine_->setPalette(failurePalette);
  noteNoticeLine_ = noticeLine("noteNoticeLine");
  keptGameNoticeLine_ = noticeLine("keptGameNoticeLine");

  gameControls_ = {team1Buttons_[4], team1Buttons_[3], team1Buttons_[2], team1Buttons_[1],
                   team1Buttons_[0], team1ScoreBox_,   team2Buttons_[4], team2Buttons_[3],
                   team2Buttons_[2], team2Buttons_[1], team2Buttons_[0], team2ScoreBox_,
                   sendScoreButton_, sendNoteButton_,  clearNoteButton_, noteSizeList_,
                   nowShowingBox_,   noteColorList_,   noteBox_};
  for (QWidget* control : gameControls_) control->setEnabled(false);

  SetEnabledColors(*team1Box_, kEntryText, nullptr);
  SetEnabledColors(*team2Box_, kEntryText, nullptr);
  SetEnabledColors(*noteBox_, kEntryText, nullptr);
  const QColor black(0, 0, 0);
  SetEnabledColors(*nowShowingBox_, QColor(255, 255, 255), &black);
  ApplyFontsAndLimits();
}

void CRavelleView::ConnectControls() {
  // After every action the form shows what the game now holds.
  auto act = [this](auto action) {
    return [this, action] {
      if (refreshing_) return;
      action();
      RefreshControls();
    };
  };
  connect(team1Box_, &QLineEdit::textEdited, this,
          act([this] { game_.TypeTeam1(ToWindows1252(team1Box_->text())); }));
  connect(team2Box_, &QLineEdit::textEdited, this,
          act([this] { game_.TypeTeam2(ToWindows1252(team2Box_->text())); }));
  connect(noteBox_, &QPlainTextEdit::textChanged, this, [this] { OnNoteEdited(); });
  connect(noteColorList_, &QComboBox::activated, this,
          act([this] { game_.SelectNoteColor(ToWindows1252(noteColorList_->currentText())); }));
  connect(noteSizeList_, &QComboBox::activated, this,
          act([this] { game_.SelectNoteSize(ToWindows1252(noteSizeList_->currentText())); }));

  const int amounts[4] = {6, 3, 2, 1};
  for (int team = 1; team <= 2; ++team) {
    QPushButton** buttons = team == 1 ? team1Buttons_ : team2Buttons_;
    for (int i = 0; i < 4; ++i) {
      const int amount = amounts[i];
      connect(buttons[i], &QPushButton::clicked, this,
              act([this, team, amount] { game_.PressAdd(team, amount); }));
    }
    connect(buttons[4], &QPushButton::clicked, this,
            act([this, team] { game_.PressSubtract(team, 1); }));
  }
  connect(sendScoreButton_, &QPushButton::clicked, this, act([this] { game_.SendScore(); }));
  connect(sendNoteButton_, &QPushButton::clicked, this, act([this] { game_.SendNote(); }));
  connect(clearNoteButton_, &QPushButton::clicked, this, act([this] { game_.ClearNote(); }));
  connect(newGameButton_, &QPushButton::clicked, this, act([this] { game_.NewGame(); }));
}

void CRavelleView::ApplyFontsAndLimits() {
  team1Box_->setMaxLength(CScoreboardGame::kAbbreviationLimit);
  team2Box_->setMaxLength(CScoreboardGame::kAbbreviationLimit);
  const QFont scoreFont = FontWithCellHeight(QStringLiteral("Arial"), kScoreFontHeight);
  const QFont entryFont = FontWithCellHeight(QStringLiteral("Arial"), kEntryFontHeight);
  team1ScoreBox_->setFont(scoreFont);
  team2ScoreBox_->setFont(scoreFont);
  team1Box_->setFont(entryFont);
  team2Box_->setFont(entryFont);
  nowShowingBox_->setFont(entryFont);
}

void CRavelleView::OnNoteEdited() {
  if (refreshing_) return;
  // The box holds at most kNoteLimit characters: what goes past the limit is
  // taken back from just before the caret, where it was typed or pasted.
  const int excess = noteBox_->document()->characterCount() - 1 - CScoreboardGame::kNoteLimit;
  if (excess > 0) {
    QTextCursor cursor = noteBox_->textCursor();
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, excess);
    cursor.removeSelectedText();
    return;  // The removal reports the change again.
  }
  // Characters the code page lacks (an emoji, say) stay in the box but not
  // in the note; Send Note counts them among those left out.
  int outsideCodePage = 0;
  const std::string note =
      Utf8ToWindows1252(noteBox_->toPlainText().toStdString(), &outsideCodePage);
  game_.TypeNote(note, outsideCodePage);
  RefreshControls();
}

void CRavelleView::OnInitialUpdate() {
  FitFrame();
  ApplyFontsAndLimits();
  game_.ResetForm();
  RefreshControls();
  if (!ReadSavedSettings(doc_, registry_)) OnCommunicationSettings();
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

void CRavelleView::RefreshControls() {
  const QScopedValueRollback<bool> guard(refreshing_, true);
  const CFormState& state = game_.State();
  SetLineText(*team1Box_, state.team1Box);
  SetLineText(*team2Box_, state.team2Box);
  SetLineText(*team1ScoreBox_, state.team1ScoreBox);
  SetLineText(*team2ScoreBox_, state.team2ScoreBox);
  SetLineText(*nowShowingBox_, state.nowShowing);
  if (ToWindows1252(noteBox_->toPlainText()) != state.noteBox) {
    const int caret = noteBox_->textCursor().position();
    noteBox_->setPlainText(FromWindows1252(state.noteBox));
    QTextCursor cursor = noteBox_->textCursor();
    cursor.setPosition(qMin(caret, noteBox_->document()->characterCount() - 1));
    noteBox_->setTextCursor(cursor);
  }
  SelectExactEntry(*noteColorList_, state.noteColorSelection);
  SelectExactEntry(*noteSizeList_, state.noteSizeSelection);
  for (QWidget* control : gameControls_) control->setEnabled(state.gameControlsEnabled);
  team1Box_->setEnabled(state.abbreviationBoxesEnabled);
  team2Box_->setEnabled(state.abbreviationBoxesEnabled);
  ShowNoteNotice();
}

void CRavelleView::FocusAbbreviation(int team) { (team == 2 ? team2Box_ : team1Box_)->setFocus(); }

void CRavelleView::FocusNoteBox() { noteBox_->setFocus(); }

void CRavelleView::SendToSign(int comPort, const unsigned char* bytes, int length) {
  if (givenSink_) {
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
  if (dialog.DoModal() != QDialog::Accepted) return;
  dialog.ApplyColorsTo(game_);
}

void CRavelleView::OnShowScoringHistory() {
  CHistoryDlg dialog;
  dialog.historyText = doc_.history;
  dialog.DoModal();
}

void CRavelleView::OnCommunicationSettings() {
  CCommSettingsDlg dialog(messages_);
  static_cast<CCommSettings&>(dialog) = doc_;
  if (dialog.DoModal() != QDialog::Accepted) return;
  static_cast<CCommSettings&>(doc_) = dialog;
}

void CRavelleView::ShowSendFailure() {
  const std::optional<CSendFailure>& failure = link_.LastSerialFailure();
  QString text;
  if (failure) {
    text = QStringLiteral("The last send did not reach the sign: %1: %2")
               .arg(QString::fromStdString(failure->Where()),
                    QString::fromLocal8Bit(failure->systemText.c_str()).trimmed());
  }
  ShowNoticeLine(*sendFailureLine_, text);
}

void CRavelleView::ShowNoteNotice() {
  ShowNoticeLine(*noteNoticeLine_, FromWindows1252(game_.State().noteNotice));
  ShowNoticeLine(*keptGameNoticeLine_, QString::fromLocal8Bit(game_.State().keptGameNotice));
}

void CRavelleView::ShowNoticeLine(QLabel& line, const QString& text) {
  const bool show = !text.isEmpty();
  if (line.text() == text && line.isVisibleTo(this) == show) return;
  line.setText(text);
  line.setVisible(show);
  PlaceNoticeLines();
}

void CRavelleView::PlaceNoticeLines() {
  const CDialogUnits units(font());
  int top = units.Y(kNoticeLinesTop);
  for (QLabel* line : {sendFailureLine_, noteNoticeLine_, keptGameNoticeLine_}) {
    if (!line->isVisibleTo(this)) continue;
    QRect area = units.ToPixels(7, kNoticeLinesTop, 300, kNoticeLineHeight);
    // A long reason (a settings file's path and the line wrong in it) takes
    // more lines rather than being cut off.
    area.setHeight(std::max(area.height(), line->heightForWidth(area.width())));
    area.moveTop(top);
    line->setGeometry(area);
    top = area.bottom() + 1;
  }
  noticeLinesBottom_ = top;
  FitSize();
  FitFrame();
}

void CRavelleView::FitSize() {
  const CDialogUnits units(font());
  const QSize form = units.ToPixels(kFormWidth, kFormHeight);
  const bool anyShown = sendFailureLine_->isVisibleTo(this) || noteNoticeLine_->isVisibleTo(this) ||
                        keptGameNoticeLine_->isVisibleTo(this);
  setFixedSize(form.width(), anyShown ? noticeLinesBottom_ + units.Y(3) : form.height());
}

void CRavelleView::FitFrame() {
  // The main window takes exactly the size that fits the form.
  QWidget* frame = window();
  if (frame == this) return;
  if (frame->layout()) frame->layout()->activate();
  frame->setFixedSize(frame->sizeHint());
}
