#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>

#include "game/RavelleDoc.h"

namespace {

std::tm At(int hour, int minute, int second) {
  std::tm t{};
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

auto GameFields(const CRavelleDoc& doc) {
  return std::tie(doc.team1Score, doc.team1Abbrev, doc.team1NameColor, doc.team1ScoreColor,
                  doc.team2Score, doc.team2Abbrev, doc.team2NameColor, doc.team2ScoreColor,
                  doc.noteText, doc.noteColor, doc.noteSize, doc.history);
}

TEST(RavelleDocTest, ConstructionSetsEveryField) {
  CRavelleDoc doc;
  EXPECT_EQ(GameFields(doc),
            std::make_tuple(0, "", "Red", "Red", 0, "", "Red", "Red", "", "Red", "Normal", ""));
  EXPECT_EQ(doc.protocol, "alpha");
  EXPECT_EQ(doc.connection, "");
  EXPECT_EQ(doc.comPort, 1);
  EXPECT_EQ(doc.baudRate, 9600);
  EXPECT_EQ(doc.byteSize, 7);
  EXPECT_EQ(doc.parity, "even");
  EXPECT_EQ(doc.stopBits, 1);
}

TEST(RavelleDocTest, NewDocumentResetsTheGameAndKeepsTheConnection) {
  CRavelleDoc doc;
  std::tie(doc.team1Score, doc.team1Abbrev, doc.team1NameColor, doc.team1ScoreColor, doc.team2Score,
           doc.team2Abbrev, doc.team2NameColor, doc.team2ScoreColor, doc.noteText, doc.noteColor,
           doc.noteSize, doc.history) =
      std::make_tuple(12, "HOM", "Green", "Amber", 999, "VIS", "Yellow", "Brown", "Half time",
                      "Orange", "Giant", "  09:00:00 -- HOM ::  6\n");
  doc.protocol = "beta";
  doc.connection = kConnectionUsbPrism;
  doc.comPort = 3;
  doc.baudRate = 19200;
  doc.byteSize = 8;
  doc.parity = "none";
  doc.stopBits = 2;

  EXPECT_TRUE(doc.OnNewDocument());

  CRavelleDoc fresh;
  EXPECT_EQ(GameFields(doc), GameFields(fresh));
  EXPECT_EQ(doc.protocol, "beta");
  EXPECT_EQ(doc.connection, "usb - betabrite prism");
  EXPECT_EQ(doc.comPort, 3);
  EXPECT_EQ(doc.baudRate, 19200);
  EXPECT_EQ(doc.byteSize, 8);
  EXPECT_EQ(doc.parity, "none");
  EXPECT_EQ(doc.stopBits, 2);
}

TEST(RavelleDocTest, TimeStampIsEightCharactersOfTheLocalTime) {
  const struct {
    std::tm time;
    const char* text;
  } rows[] = {{At(0, 0, 0), "00:00:00"}, {At(23, 59, 59), "23:59:59"}, {At(7, 4, 59), "07:04:59"}};
  for (const auto& row : rows) {
    CRavelleDoc doc;
    doc.SetClock([&] { return row.time; });
    char buffer[9] = "xxxxxxxx";
    doc.TimeStamp(buffer);
    EXPECT_STREQ(buffer, row.text);
  }
}

TEST(RavelleDocTest, HistoryLines) {
  const struct {
    std::tm time;
    const char* abbreviation;
    int change;
    const char* line;
  } rows[] = {
      {At(9, 5, 3), "XY", 6, "  09:05:03 -- XY ::  6\n"},
      {At(9, 5, 3), "XY", -1, "  09:05:03 -- XY :: -1\n"},
      {At(14, 5, 9), "ABC", 3, "  14:05:09 -- ABC ::  3\n"},
      {At(0, 0, 0), "ABCD", 2, "  00:00:00 -- ABC ::  2\n"},
      {At(23, 59, 59), "", 1, "  23:59:59 --  ::  1\n"},
      {At(23, 59, 59), "\xC9T\xC9", -1, "  23:59:59 -- \xC9T\xC9 :: -1\n"},
  };
  for (const auto& row : rows) {
    CRavelleDoc doc;
    doc.SetClock([&] { return row.time; });
    doc.history = "  08:00:00 -- Note :: first\n";
    doc.AppendScoreHistory(row.abbreviation, row.change);
    EXPECT_EQ(doc.history, std::string("  08:00:00 -- Note :: first\n") + row.line);
  }
}

TEST(RavelleDocTest, NoteLinesKeepTheWholeNote) {
  CRavelleDoc doc;
  doc.SetClock([] { return At(9, 30, 0); });
  doc.AppendNoteHistory("Half time");
  const std::string longNote(8000, 'n');
  doc.AppendNoteHistory(longNote);
  EXPECT_EQ(doc.history,
            "  09:30:00 -- Note :: Half time\n  09:30:00 -- Note :: " + longNote + "\n");
}

}  // namespace
