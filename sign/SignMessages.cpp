#include "sign/SignMessages.h"

#include <cstdio>

#include "sign/GameFields.h"
#include "sign/PacketSink.h"
#include "sign/Packets.h"
#include "sign/SignText.h"
#include "sign/ViewStatus.h"

namespace {

constexpr std::size_t kNowShowingPreview = 14;
// The score line is formatted into a bounded area, whatever the
// abbreviations hold.
constexpr std::size_t kScoreLineArea = 1000;
constexpr int kEmptyTextPacketLength = 28;

std::string NoteNowShowing(const std::string& collapsedNote) {
  if (collapsedNote.size() <= kNowShowingPreview) return collapsedNote;
  return collapsedNote.substr(0, kNowShowingPreview) + "...";
}

}  // namespace

std::string NoteFitNotice(const CNoteFit& fit) {
  std::string notice;
  if (fit.charactersLeftOut == 1) {
    notice = "1 character the sign cannot show was left out";
  } else if (fit.charactersLeftOut > 1) {
    notice =
        std::to_string(fit.charactersLeftOut) + " characters the sign cannot show were left out";
  }
  if (fit.cut) {
    const std::string cut =
        "cut to " + std::to_string(fit.charactersSent) + " characters to fit the sign";
    notice += notice.empty() ? "The note was " + cut : "; the note was " + cut;
  }
  return notice;
}

CSignMessages::CSignMessages(CGameSource& game, CPacketSink& sink, CViewStatus& view)
    : game_(game), sink_(sink), view_(view) {}

void CSignMessages::Send(int comPort, const std::vector<unsigned char>& packet) {
  sink_.SendToSign(comPort, packet.data(), static_cast<int>(packet.size()));
}

void CSignMessages::BuildRunSequence(int comPort) { Send(comPort, MakeRunSequencePacket()); }

bool CSignMessages::BuildMemoryConfig(int comPort, int textFileSize) {
  std::optional<std::vector<unsigned char>> packet = MakeMemoryConfigPacket(textFileSize);
  if (!packet) return false;
  Send(comPort, *packet);
  return true;
}

void CSignMessages::ClearSign() {
  const int comPort = game_.SignComPort();
  BuildMemoryConfig(comPort, kEmptyTextPacketLength);
  Send(comPort, MakeEmptyTextPacket());
  BuildRunSequence(comPort);
  view_.SetNowShowing("");
}

void CSignMessages::SendScoreString(char label, int score) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%d", score < 100 ? " " : "", score);
  Send(game_.SignComPort(), MakeStringPacket(label, text));
  UpdateNowShowing();
}

void CSignMessages::SendSpacerString() {
  const std::string spacer = game_.team1Score < 10 ? "  " : " ";
  if (spacer != view_.GetLastSpacer()) {
    // Remembered before the send, so a failed send is not retried.
    view_.SetLastSpacer(spacer);
    Send(game_.SignComPort(), MakeStringPacket('3', spacer));
  }
  UpdateNowShowing();
}

void CSignMessages::SendTeamScore(int team, int score) {
  SendSpacerString();
  SendScoreString(team == 1 ? '1' : '2', score);
}

void CSignMessages::SendScoreboard() {
  // The document keeps the typed abbreviations; only copies are encoded.
  std::string team1 = game_.team1Abbrev;
  std::string team2 = game_.team2Abbrev;
  EncodeSignText(team1);
  EncodeSignText(team2);
  const std::vector<unsigned char> scoreboard = MakeScoreboardPacket(
      team1, ColorCode(game_.team1NameColor), ColorCode(game_.team1ScoreColor), team2,
      ColorCode(game_.team2NameColor), ColorCode(game_.team2ScoreColor));

  // Every memory configuration re-creates the files, so the STRING files
  // follow it and the caller has emptied lastSpacer to force the spacer out.
  ClearSign();
  BuildMemoryConfig(game_.SignComPort(), static_cast<int>(scoreboard.size()));
  SendTeamScore(1, game_.team1Score);
  SendTeamScore(2, game_.team2Score);
  Send(game_.SignComPort(), scoreboard);
  BuildRunSequence(game_.SignComPort());
  UpdateNowShowing();
}

CNoteFit CSignMessages::SendNote() {
  std::string note = game_.noteText;
  CollapseWhitespace(note);
  game_.AppendNoteHistory(note);
  const std::string nowShowing = NoteNowShowing(note);
  view_.SetNowShowing(nowShowing);

  // Only the copy sent to the sign is encoded (and, if very long, cut); the
  // history and the Now Showing box keep the note as typed.
  std::string encoded = note;
  CNoteFit fit;
  fit.charactersLeftOut = EncodeSignText(encoded);
  const bool giant = game_.noteSize == "Giant";
  const std::size_t fitting = NoteBytesThatFit(encoded, giant);
  fit.cut = fitting < encoded.size();
  fit.charactersSent = SignCharacterCount(encoded, fitting);
  const std::vector<unsigned char> packet =
      MakeNotePacket(encoded, ColorCode(game_.noteColor), giant);

  BuildMemoryConfig(game_.SignComPort(), static_cast<int>(packet.size()));
  Send(game_.SignComPort(), packet);
  BuildRunSequence(game_.SignComPort());

  view_.SetScoreMode(0);
  view_.SetNowShowing(nowShowing);
  return fit;
}

void CSignMessages::UpdateNowShowing() {
  if (view_.GetScoreMode() != 1) return;
  char line[kScoreLineArea];
  std::snprintf(line, sizeof line, "%s %d  %s %d", game_.team1Abbrev.c_str(), game_.team1Score,
                game_.team2Abbrev.c_str(), game_.team2Score);
  view_.SetNowShowing(line);
}
