#pragma once

#include <string>
#include <vector>

class CGameSource;
class CPacketSink;
class CViewStatus;

// What of a note reached the sign: characters it cannot show are left out,
// and a note too long for the sign's memory is cut.
struct CNoteFit {
  int charactersLeftOut = 0;
  bool cut = false;
  int charactersSent = 0;  // what the sign shows of the note
};

// The one quiet line that tells the operator what of the note the sign does
// not show; empty when the whole note reached it.
std::string NoteFitNotice(const CNoteFit& fit);

// Builds every message the sign receives and hands its packets, whole and in
// order, to the packet sink. Reads the game; reaches the form only through
// the view status. No operation looks at what the sink did with a packet.
class CSignMessages {
 public:
  CSignMessages(CGameSource& game, CPacketSink& sink, CViewStatus& view);

  // Set-up packets.
  void BuildRunSequence(int comPort);
  // False, and nothing sent, for a size outside 0..FFFF: the packet's
  // four-digit size field cannot hold it.
  bool BuildMemoryConfig(int comPort, int textFileSize);
  void ClearSign();

  // Scoreboard and note messages.
  void SendScoreString(char label, int score);
  void SendSpacerString();
  void SendTeamScore(int team, int score);
  void SendScoreboard();
  CNoteFit SendNote();
  void UpdateNowShowing();

 private:
  void Send(int comPort, const std::vector<unsigned char>& packet);

  CGameSource& game_;
  CPacketSink& sink_;
  CViewStatus& view_;
};
