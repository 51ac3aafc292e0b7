#include <gtest/gtest.h>

#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/RecordingSink.h"
#include "tools/signsim/DisplayMarkup.h"
#include "tools/signsim/VirtualSign.h"

// Control bytes are octal escapes: \4 EOT, \033 ESC, \034 colour, \036
// spacing, \020 STRING call, \010 extended character. That a file cut short
// in any field never crashes the sign is the fuzz target's job.

namespace {

using Lines = std::vector<std::string>;

// Frames each command body (from the command code on; several are separated
// by EOT) and feeds the frames to the sign.
void Send(CVirtualSign& sign, const std::string& bodies) {
  std::string stream = "\1Z00\2";
  for (char c : bodies) stream += c == '\4' ? std::string("\4\1Z00\2") : std::string(1, c);
  stream += '\4';
  sign.MakeDecoder().Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
}

// Memory configuration entries: label, TEXT (A) or STRING (B), lock, size in
// hex, then four bytes the sign keeps.
const std::string kTextA = "AAU0020FF00", kString1 = "1BL00030000";

struct CSignCase {
  const char* name;
  std::string bodies;
  std::string warning;  // the one warning expected, empty for none
  std::string shown;    // what the sign shows afterwards
};

// Each case starts from TEXT A (32 bytes) showing "before" and STRING 1 (3
// bytes, " 9"); TEXT B holds "second", STRING 4 is empty.
const CSignCase kCases[] = {
    // What a real sign would reject or mangle.
    {"WriteToMissingText", "ACx",
     "write to TEXT file C, which the memory configuration lacks: ignored", "before 9"},
    {"TextIntoStringFile", "A1x",
     "write to TEXT file 1, which is configured as a STRING file: ignored", "before 9"},
    {"StringOverrunEmptiesIt", "G11000",
     "STRING file 1 holds 3 bytes but 4 were written: the sign empties it", "before"},
    {"TextOverrunIsCut", "AA0123456789ABCDEFGHIJKLMNOPQRSTUVWX",
     "TEXT file A holds 32 bytes but 34 were written: the rest is cut off",
     "0123456789ABCDEFGHIJKLMNOPQRSTUV"},
    {"RunSequenceInOrderDespiteMissingFile", "E.SLBCA",
     "run sequence names file C, which the memory configuration lacks", "second{next}before 9"},
    {"RunStringFile", "E.SLA1", "run sequence names STRING file 1: only TEXT files run",
     "before 9"},
    {"NewConfigurationErasesText", "E$" + kTextA + kString1, "", "{blank}"},
    {"NewConfigurationErasesString", "E$" + kTextA + kString1 + "\4AAx\0201", "", "x"},
    {"DuplicateLabelKeepsTheFirst", "E$" + kTextA + "ABL00030000\4AAx",
     "memory configuration lists file A more than once: the first entry is kept", "x"},
    // The display markup.
    {"Blank", "AA", "", "{blank}"},
    {"EveryColour", "AA\0341a\0342b\0343c\0344d\0345e\0346f\0347g\0348h", "",
     "{red}a{green}b{amber}c{dim red}d{dim green}e{brown}f{orange}g{yellow}h"},
    {"Spacing", "AA\0360x\0361y", "", "{proportional}x{fixed}y"},
    {"Positions", "AA\033\"b1\033&a2\0330c3", "", "{hold top}1{rotate bottom}2{mode c fill}3"},
    {"ExtendedCharacters", "AA\0100T\0100 caf\010\042 \010\077 \010\136a\010\076b\010\113", "",
     "ÉTÉ café ƒ Êa{char 3E}b{char 4B}"},
    {"StringCalls", "AA[\0204]\0201", "", "[] 9"},
    {"Braces", "AA{x}", "", "{{x}}"},
    {"UnknownColour", "AA\034Dx", "TEXT file A: colour code 44 is not a colour", "x"},
    {"UnknownSpacing", "AA\0365x", "TEXT file A: spacing code 35 is not 0 or 1", "x"},
    {"StringNotConfigured", "AA\0209",
     "TEXT file A calls STRING file 9, which the memory configuration lacks", "{blank}"},
    {"StringCallOfTextFile", "AA\020B",
     "TEXT file A calls STRING file B, which is configured as a TEXT file", "{blank}"},
    {"UnshownControlCode", "AAa\rb",
     "TEXT file A holds code 0D, which the virtual sign does not show", "a{code 0D}b"},
    {"ColourCutShort", "AAx\034", "TEXT file A: colour selection without a colour code", "x"},
    {"ExtendedOutOfRange", "AA\010\005", "TEXT file A: extended character code 05 is out of range",
     "{char 05}"},
};

class SignReports : public testing::TestWithParam<CSignCase> {};

TEST_P(SignReports, WhatARealSignWouldShowAndObjectTo) {
  Lines lines;
  CVirtualSign sign([&lines](const std::string& line) { lines.push_back(line); });
  Send(sign, "E$" + kTextA + "BAU0020FF00" + kString1 +
                 "4BL00030000\4G1 9\4ABsecond\4AAbefore\0201\4" + GetParam().bodies);
  std::erase_if(lines, [](const std::string& line) { return line.rfind("sign: ", 0) == 0; });
  EXPECT_EQ(lines, GetParam().warning.empty() ? Lines{} : Lines{"warning: " + GetParam().warning});
  EXPECT_EQ(RenderMarkup(sign.Display()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Commands, SignReports, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The program's own messages, built by its message builders, played into the
// virtual sign byte by byte, so that no frame arrives whole. The program
// sizes TEXT file A to its whole packet, so nothing it sends is flagged.
TEST(VirtualSign, ShowsTheProgramsMessagesOneLinePerChangeAndFlagsNone) {
  CRavelleDoc doc;
  CRecordingSink sink;
  CFakeViewStatus view;
  CSignMessages messages(doc, sink, view);
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  view.scoreMode = 1;
  Lines lines;
  CVirtualSign sign([&lines](const std::string& line) { lines.push_back(line); });
  CSignDecoder decoder = sign.MakeDecoder();
  const auto play = [&] {
    lines.clear();
    for (const CRecordedPacket& packet : sink.packets)
      for (const std::uint8_t& byte : packet.bytes) decoder.Feed(&byte, 1);
    sink.packets.clear();
    return lines;
  };
  const auto score = [&](int team, int points) {
    (team == 1 ? doc.team1Score : doc.team2Score) = points;
    messages.SendTeamScore(team, points);
  };
  sign.Start();
  EXPECT_EQ(lines, Lines{"sign: {blank}"});
  messages.SendScoreboard();
  score(1, 7);
  score(2, 3);
  EXPECT_EQ(play(), (Lines{"sign: {hold}{fixed}{red}HOM{red} 0  {red}VIS{red} 0",
                           "sign: {hold}{fixed}{red}HOM{red} 7  {red}VIS{red} 0",
                           "sign: {hold}{fixed}{red}HOM{red} 7  {red}VIS{red} 3"}));
  // Team one reaching ten and a hundred keeps team two in place.
  score(1, 10);
  EXPECT_EQ(play().back(), "sign: {hold}{fixed}{red}HOM{red} 10 {red}VIS{red} 3");
  score(1, 100);
  EXPECT_EQ(play().back(), "sign: {hold}{fixed}{red}HOM{red}100 {red}VIS{red} 3");
  for (int points : {999, 0}) score(2, points);
  doc.team1Abbrev = "\xC9T\xC9";  // ÉTÉ in Windows-1252
  messages.SendScoreboard();
  doc.noteText = std::string(4000, 'x') + std::string(4000, '\xE9');
  doc.noteSize = "Giant";
  messages.SendNote();
  doc.noteText = "";
  messages.SendNote();
  for (const std::string& line : play()) EXPECT_EQ(line.rfind("sign: ", 0), 0u) << line;
}

}  // namespace
