#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "game/RavelleDoc.h"
#include "tests/support/FixedClock.h"

namespace {

auto GameFields(CRavelleDoc& doc) {
  return std::tie(doc.team1Score, doc.team1Abbrev, doc.team1NameColor, doc.team1ScoreColor,
                  doc.team2Score, doc.team2Abbrev, doc.team2NameColor, doc.team2ScoreColor,
                  doc.noteText, doc.noteColor, doc.noteSize, doc.history);
}

auto ConnectionFields(CRavelleDoc& doc) {
  return std::tie(doc.protocol, doc.connection, doc.comPort, doc.baudRate, doc.byteSize, doc.parity,
                  doc.stopBits);
}

TEST(RavelleDocTest, NewDocumentResetsTheGameToItsStartAndKeepsTheConnection) {
  CRavelleDoc doc;
  EXPECT_EQ(GameFields(doc),
            std::make_tuple(0, "", "Red", "Red", 0, "", "Red", "Red", "", "Red", "Normal", ""));
  EXPECT_EQ(ConnectionFields(doc), std::make_tuple("alpha", "", 1, 9600, 7, "even", 1));

  GameFields(doc) = std::make_tuple(12, "HOM", "Green", "Amber", 999, "VIS", "Yellow", "Brown",
                                    "Half time", "Orange", "Giant", "  09:00:00 -- HOM ::  6\n");
  ConnectionFields(doc) = std::make_tuple("beta", kConnectionUsbPrism, 3, 19200, 8, "none", 2);
  EXPECT_TRUE(doc.OnNewDocument());
  CRavelleDoc fresh;
  EXPECT_EQ(GameFields(doc), GameFields(fresh));
  EXPECT_EQ(ConnectionFields(doc),
            std::make_tuple("beta", "usb - betabrite prism", 3, 19200, 8, "none", 2));
}

// Each row: the time, the team's abbreviation and change; the history line
// appended after an earlier line.
TEST(RavelleDocTest, ScoreHistoryLines) {
  const struct {
    int hour, minute, second;
    const char* abbreviation;
    int change;
    std::string line;
  } rows[] = {
      {9, 5, 3, "XY", 6, "  09:05:03 -- XY ::  6\n"},
      {0, 0, 0, "ABCD", 2, "  00:00:00 -- ABC ::  2\n"},
      {23, 59, 59, "", 1, "  23:59:59 --  ::  1\n"},
      {23, 59, 59, "\xC9T\xC9", -1, "  23:59:59 -- \xC9T\xC9 :: -1\n"},
  };
  for (const auto& row : rows) {
    CRavelleDoc doc;
    doc.SetClock(FixedClock(row.hour, row.minute, row.second));
    doc.history = "  08:00:00 -- Note :: first\n";
    doc.AppendScoreHistory(row.abbreviation, row.change);
    EXPECT_EQ(doc.history, "  08:00:00 -- Note :: first\n" + row.line);
  }
}

}  // namespace
