#pragma once

#include <QWidget>
#include <vector>

#include "game/ScoreboardGame.h"
#include "link/SignLink.h"
#include "qt/framework/QtEventPump.h"
#include "settings/RegistryAccess.h"
#include "sign/PacketSink.h"

class CHyperlinkButton;
class CMessageBoxSeam;
class CRavelleDoc;
class QComboBox;
class QLabel;
class QString;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The scoreboard form that fills the main window (template 101). It shows the
// game and passes every operator action to the game flow, which decides what
// changes and what goes to the sign; the form only mirrors the game's state
// into its controls. Packets go to the sign link, or to the sink a test gives.
//
// Below the form a quiet red line tells when the last send over the serial
// port did not reach the sign, and why; the next send that gets through
// removes it. Nothing else reports serial failures. Other quiet lines tell
// what of the note on the sign the sign does not show, and that a kept game
// could not be read or the game cannot be kept.
class CRavelleView : public QWidget, public CFormView, private CPacketSink {
  Q_OBJECT
 public:
  // sink: where the packets go instead of the sign link; nullptr for the sign.
  CRavelleView(CRavelleDoc& doc, CMessageBoxSeam& messages, CPacketSink* sink = nullptr,
               QWidget* parent = nullptr);

  // The form's start-up, on first display and after every File > New.
  void OnInitialUpdate();

  // The Options menu's commands.
  void OnClearSign();
  void OnScoreBoardOptions();
  void OnShowScoringHistory();
  void OnCommunicationSettings();

  CScoreboardGame& Game() { return game_; }
  CSignLink& Link() { return link_; }

  // CFormView
  void RefreshControls() override;
  void FocusAbbreviation(int team) override;
  void FocusNoteBox() override;

 private:
  // CPacketSink: the link, or the sink the form was given.
  void SendToSign(int comPort, const unsigned char* bytes, int length) override;

  void BuildControls();
  void ConnectControls();
  void ApplyFontsAndLimits();
  void OnNoteEdited();
  void ShowSendFailure();
  void ShowNoteNotice();
  // Stacks the notice lines that stand below the form and fits the form and
  // the window to them.
  void ShowNoticeLine(QLabel& line, const QString& text);
  void PlaceNoticeLines();
  void FitSize();
  void FitFrame();

  CRavelleDoc& doc_;
  CMessageBoxSeam& messages_;
  CPacketSink* givenSink_;
  CQtEventPump pump_;
  CScoreboardGame game_;
  CSignLink link_;
  CRegistryAccess registry_;
  // Set while the form writes its controls, so that their change signals do
  // not come back as operator input.
  bool refreshing_ = false;

  QLineEdit* team1Box_;
  QLineEdit* team2Box_;
  QPlainTextEdit* noteBox_;
  QComboBox* noteColorList_;
  QComboBox* noteSizeList_;
  QPushButton* team1Buttons_[5];  // +6, +3, +2, +1, -1
  QPushButton* team2Buttons_[5];
  QPushButton* sendScoreButton_;
  QPushButton* sendNoteButton_;
  QPushButton* clearNoteButton_;
  QPushButton* newGameButton_;
  QLineEdit* nowShowingBox_;
  QLineEdit* team1ScoreBox_;
  QLineEdit* team2ScoreBox_;
  CHyperlinkButton* guideLink_;
  CHyperlinkButton* homeLink_;
  CHyperlinkButton* shopLink_;
  QLabel* sendFailureLine_;
  QLabel* noteNoticeLine_;
  QLabel* keptGameNoticeLine_;
  // Pixels: where the last shown notice line ends.
  int noticeLinesBottom_ = 0;
  // The nineteen controls that DisableGameControls and EnableGameControls treat.
  std::vector<QWidget*> gameControls_;
};
