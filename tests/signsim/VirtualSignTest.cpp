#include <gtest/gtest.h>

#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/RecordingSink.h"
#include "tools/signsim/VirtualSign.h"

namespace {

using Lines = std::vector<std::string>;

// The program's own messages, built by its message builders, played into the
// virtual sign over one stream.
class VirtualSignOnProgramMessages : public testing::Test {
 protected:
  VirtualSignOnProgramMessages() : messages_(doc_, sink_, view_) {
    doc_.team1Abbrev = "HOM";
    doc_.team2Abbrev = "VIS";
    doc_.team1NameColor = "Red";
    doc_.team1ScoreColor = "Green";
    doc_.team2NameColor = "Amber";
    doc_.team2ScoreColor = "Yellow";
    view_.scoreMode = 1;
    sign_.Start();
  }

  // Plays the packets built since the last call, byte by byte so that no
  // frame arrives whole; returns the lines reported.
  Lines Play() {
    lines_.clear();
    for (const CRecordedPacket& packet : sink_.packets) {
      for (const std::uint8_t& byte : packet.bytes) decoder_.Feed(&byte, 1);
    }
    sink_.packets.clear();
    return lines_;
  }

  void Score(int team, int score) {
    (team == 1 ? doc_.team1Score : doc_.team2Score) = score;
    messages_.SendTeamScore(team, score);
  }

  CRavelleDoc doc_;
  CRecordingSink sink_;
  CFakeViewStatus view_;
  CSignMessages messages_;
  Lines lines_;
  CVirtualSign sign_{[this](const std::string& line) { lines_.push_back(line); }};
  CSignDecoder decoder_ = sign_.MakeDecoder();
};

TEST_F(VirtualSignOnProgramMessages, ScoreboardAndScoresShowOneLinePerChange) {
  EXPECT_EQ(lines_, Lines{"sign: {blank}"});
  messages_.ClearSign();
  EXPECT_TRUE(Play().empty());
  messages_.SendScoreboard();
  Score(1, 7);
  Score(2, 3);
  EXPECT_EQ(Play(), (Lines{"sign: {hold}{fixed}{red}HOM{green} 0  {amber}VIS{yellow} 0",
                           "sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 0",
                           "sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"}));
  // Team one reaching ten and a hundred keeps team two in place.
  Score(1, 10);
  EXPECT_EQ(Play().back(), "sign: {hold}{fixed}{red}HOM{green} 10 {amber}VIS{yellow} 3");
  Score(1, 100);
  EXPECT_EQ(Play().back(), "sign: {hold}{fixed}{red}HOM{green}100 {amber}VIS{yellow} 3");
}

// The program sizes TEXT file A to its whole packet, so nothing it sends ever
// overruns a file or misses one.
TEST_F(VirtualSignOnProgramMessages, NothingTheProgramSendsIsFlagged) {
  messages_.ClearSign();
  messages_.SendScoreboard();
  for (int score : {1, 9, 10, 99, 100, 999, 0}) {
    Score(1, score);
    Score(2, score);
  }
  doc_.team1Abbrev = "\xC9T\xC9";  // ÉTÉ in Windows-1252
  messages_.SendScoreboard();
  doc_.noteText = std::string(4000, 'x') + std::string(4000, '\xE9');
  doc_.noteSize = "Giant";
  messages_.SendNote();
  doc_.noteText = "";
  messages_.SendNote();
  for (const std::string& line : Play()) EXPECT_EQ(line.rfind("sign: ", 0), 0u) << line;
}

TEST(VirtualSign, ReportsProtocolErrorsAndFlagsOnTheirOwnLines) {
  Lines lines;
  CVirtualSign sign([&lines](const std::string& line) { lines.push_back(line); });
  const std::string stream = std::string("xy") + std::string(5, '\0') + "\1Z00\2G9 1\4";
  sign.MakeDecoder().Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  EXPECT_EQ(
      lines,
      (Lines{"error: bytes outside a frame (no SOH): 78 79",
             "warning: write to STRING file 9, which the memory configuration lacks: ignored"}));
}

}  // namespace
