#pragma once

#include <ostream>

#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
#include "link/MessageBoxSeam.h"
#include "sign/PacketSink.h"

// Message boxes of the command line: each prints "message " and its text as
// one line on out, and is counted.
class CPrintedMessageBoxes : public CMessageBoxSeam {
 public:
  explicit CPrintedMessageBoxes(std::ostream& out) : out_(out) {}
  void Show(const std::string& text, const std::string& caption, Icon icon) override;
  int ShownCount() const { return shown_; }

 private:
  std::ostream& out_;
  int shown_ = 0;
};

// The command line has no window: nothing to refresh, nowhere to move focus.
class CNoWindow : public CFormView {
 public:
  void RefreshControls() override {}
  void FocusAbbreviation(int /*team*/) override {}
  void FocusNoteBox() override {}
};

// The packet sink handed to the game. The road (dump or sign link) needs the
// game as its view status, so it is made after the game and plugged in here.
class CRoadSocket : public CPacketSink {
 public:
  void Plug(CPacketSink& road) { road_ = &road; }
  void SendToSign(int comPort, const unsigned char* bytes, int length) override;

 private:
  CPacketSink* road_ = nullptr;
};

// The document and the game flow, as the form would hold them, with the
// command line's printed message boxes.
struct CCliGame {
  explicit CCliGame(std::ostream& out)
      : messageBoxes(out), game(doc, socket, messageBoxes, window) {}

  CRavelleDoc doc;
  CRoadSocket socket;
  CPrintedMessageBoxes messageBoxes;
  CNoWindow window;
  CScoreboardGame game;
};
