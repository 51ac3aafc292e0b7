#pragma once

#include <windows.h>

#include <array>

#include "game/ScoreboardGame.h"
#include "link/SignLink.h"
#include "sign/PacketSink.h"
#include "win32/framework/HyperlinkButton.h"
#include "win32/framework/Win32EventPump.h"

class CMessageBoxSeam;
class CRavelleDoc;

// The scoreboard form that fills the main window: a modeless child dialog
// from template 101. It shows the game and hands every control notification
// to the game flow, which decides what changes and what goes to the sign;
// after each action the form mirrors the game's state into its controls.
// Packets go to the sign link, or to the sink a test gives.
//
// Below the form a quiet red line tells when the last send over the serial
// port did not reach the sign, and why; the next send that gets through
// removes it. Other quiet lines tell what of the note on the sign the sign
// does not show, and that a kept game could not be read or the game cannot
// be kept.
class CRavelleView : public CFormView, private CPacketSink {
 public:
  // sink: where the packets go instead of the sign link; nullptr for the sign.
  CRavelleView(CRavelleDoc& doc, CMessageBoxSeam& messages, CPacketSink* sink = nullptr);
  CRavelleView(const CRavelleView&) = delete;
  CRavelleView& operator=(const CRavelleView&) = delete;
  ~CRavelleView() override;

  // Makes the form from its template inside parent; false when it cannot.
  bool Create(HWND parent);
  HWND Window() const { return form_; }

  // The form's start-up, on first display and after every File > New.
  void OnInitialUpdate();

  // The Options menu's commands.
  void OnClearSign();
  void OnScoreBoardOptions();
  void OnShowScoringHistory();
  void OnCommunicationSettings();

  // The form's keyboard handling: Tab, the arrows, Enter and Escape go to
  // the dialog manager. True when the message was taken.
  bool PreTranslateMessage(MSG& message);

  // The form's size in pixels, notice lines included.
  SIZE FormSize() const;
  // Called when that size changes, so the main window can fit it.
  std::function<void()> onSizeChanged;

  CScoreboardGame& Game() { return game_; }
  CSignLink& Link() { return link_; }
  CWin32EventPump& Pump() { return pump_; }

  // CFormView
  void RefreshControls() override;
  void FocusAbbreviation(int team) override;
  void FocusNoteBox() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification);
  // The colours of the edit boxes and the notice lines; nullptr for the
  // system's own.
  HBRUSH OnControlColor(HDC dc, HWND control);
  void OnAbbreviationEdited(int team);
  void OnNoteEdited();

  // CPacketSink: the link, or the sink the form was given.
  void SendToSign(int comPort, const unsigned char* bytes, int length) override;

  void MakeNoticeLines();
  void ShowSendFailure();
  void ShowNoticeLine(HWND line, const std::string& text);
  void PlaceNoticeLines();
  RECT DialogRect(int x, int y, int width, int height) const;

  CRavelleDoc& doc_;
  CMessageBoxSeam& messages_;
  CPacketSink* givenSink_;
  CWin32EventPump pump_;
  CScoreboardGame game_;
  CSignLink link_;
  // Set while the form writes its controls, so that their change
  // notifications do not come back as operator input.
  bool refreshing_ = false;

  HWND form_ = nullptr;
  HWND sendFailureLine_ = nullptr;
  HWND noteNoticeLine_ = nullptr;
  HWND keptGameNoticeLine_ = nullptr;
  // Pixels: where the form ends, the shown notice lines included.
  int formBottom_ = 0;
  HFONT scoreFont_ = nullptr;
  HFONT entryFont_ = nullptr;
  HBRUSH blackBrush_ = nullptr;
  std::array<CHyperlinkButton, 3> links_;
};
