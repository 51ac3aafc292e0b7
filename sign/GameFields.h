#pragma once

#include <string>

// The twelve fields of the game in progress: what the sign's messages show
// and the scoring history. Every string holds Windows-1252 bytes, exactly as
// the operator typed them.
struct CGameFields {
  int team1Score = 0;
  std::string team1Abbrev;
  std::string team1NameColor = "Red";
  std::string team1ScoreColor = "Red";
  int team2Score = 0;
  std::string team2Abbrev;
  std::string team2NameColor = "Red";
  std::string team2ScoreColor = "Red";
  std::string noteText;
  std::string noteColor = "Red";
  std::string noteSize = "Normal";
  std::string history;
  bool operator==(const CGameFields&) const = default;
};

// The game as the messages reach it: its fields, the COM port its packets
// go to, and the one change a message makes to it, the note's line in the
// scoring history. The document implements it, so the messages need nothing
// from the layers above them.
class CGameSource : public CGameFields {
 public:
  virtual int SignComPort() const = 0;
  // Appends the history line of a note sent; the text is already collapsed.
  virtual void AppendNoteHistory(const std::string& collapsedNote) = 0;

 protected:
  ~CGameSource() = default;
};
