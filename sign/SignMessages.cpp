#include "sign/SignMessages.h"

#include <cstdio>

#include "game/RavelleDoc.h"
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

CSignMessages::CSignMessages(CRavelleDoc& doc, CPacketSink& sink, CViewStatus& view)
    : doc_(doc), sink_(sink), view_(view) {}

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
  const int comPort = doc_.comPort;
  BuildMemoryConfig(comPort, kEmptyTextPacketLength);
  Send(comPort, MakeEmptyTextPacket());
  BuildRunSequence(comPort);
  view_.SetNowShowing("");
}

void CSignMessages::SendScoreString(char label, int score) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%d", score < 100 ? " " : "", score);
  Send(doc_.comPort, MakeStringPacket(label, text));
  UpdateNowShowing();
}

void CSignMessages::SendSpacerString() {
  const std::string spacer = doc_.team1Score < 10 ? "  " : " ";
  if (spacer != view_.GetLastSpacer()) {
    // Remembered before the send, so a failed send is not retried.
    view_.SetLastSpacer(spacer);
    Send(doc_.comPort, MakeStringPacket('3', spacer));
  }
  UpdateNowShowing();
}

void CSignMessages::SendTeamScore(int team, int score) {
  SendSpacerString();
  SendScoreString(team == 1 ? '1' : '2', score);
}

void CSignMessages::SendScoreboard() {
  // The document keeps the typed abbreviations; only copies are encoded.
  std::string team1 = doc_.team1Abbrev;
  std::string team2 = doc_.team2Abbrev;
  EncodeSignText(team1);
  EncodeSignText(team2);
  const std::vector<unsigned char> scoreboard =
      MakeScoreboardPacket(team1, ColorCode(doc_.team1NameColor), ColorCode(doc_.team1ScoreColor),
                           team2, ColorCode(doc_.team2NameColor), ColorCode(doc_.team2ScoreColor));

  // Every memory configuration re-creates the files, so the STRING files
  // follow it and the caller has emptied lastSpacer to force the spacer out.
  ClearSign();
  BuildMemoryConfig(doc_.comPort, static_cast<int>(scoreboard.size()));
  SendTeamScore(1, doc_.team1Score);
  SendTeamScore(2, doc_.team2Score);
  Send(doc_.comPort, scoreboard);
  BuildRunSequence(doc_.comPort);
  UpdateNowShowing();
}

CNoteFit CSignMessages::SendNote() {
  std::string note = doc_.noteText;
  CollapseWhitespace(note);
  doc_.AppendNoteHistory(note);
  const std::string nowShowing = NoteNowShowing(note);
  view_.SetNowShowing(nowShowing);

  // Only the copy sent to the sign is encoded (and, if very long, cut); the
  // history and the Now Showing box keep the note as typed.
  std::string encoded = note;
  CNoteFit fit;
  fit.charactersLeftOut = EncodeSignText(encoded);
  const bool giant = doc_.noteSize == "Giant";
  const std::size_t fitting = NoteBytesThatFit(encoded, giant);
  fit.cut = fitting < encoded.size();
  fit.charactersSent = SignCharacterCount(encoded, fitting);
  const std::vector<unsigned char> packet =
      MakeNotePacket(encoded, ColorCode(doc_.noteColor), giant);

  BuildMemoryConfig(doc_.comPort, static_cast<int>(packet.size()));
  Send(doc_.comPort, packet);
  BuildRunSequence(doc_.comPort);

  view_.SetScoreMode(0);
  view_.SetNowShowing(nowShowing);
  return fit;
}

void CSignMessages::UpdateNowShowing() {
  if (view_.GetScoreMode() != 1) return;
  char line[kScoreLineArea];
  std::snprintf(line, sizeof line, "%s %d  %s %d", doc_.team1Abbrev.c_str(), doc_.team1Score,
                doc_.team2Abbrev.c_str(), doc_.team2Score);
  view_.SetNowShowing(line);
}
