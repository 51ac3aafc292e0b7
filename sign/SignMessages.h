#pragma once

#include <string>
#include <vector>

class CPacketSink;
class CRavelleDoc;
class CViewStatus;

// Builds every message the sign receives and hands its packets, whole and in
// order, to the packet sink. Reads the document; reaches the form only through
// the view status. No operation looks at what the sink did with a packet.
class CSignMessages {
 public:
  CSignMessages(CRavelleDoc& doc, CPacketSink& sink, CViewStatus& view);

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
  void SendNote();
  void UpdateNowShowing();

 private:
  void Send(int comPort, const std::vector<unsigned char>& packet);

  CRavelleDoc& doc_;
  CPacketSink& sink_;
  CViewStatus& view_;
};
