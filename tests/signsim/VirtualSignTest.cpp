// The virtual sign: its decoder, its dot raster and what it shows and
// reports for each command. Control bytes are octal escapes of at most three
// digits, so none runs into the next character: \1 SOH, \2 STX, \3 ETX, \4
// EOT, \010 extended character, \020 STRING call, \021 and \022 wide off and
// on, \033 ESC, \034 colour, \036 spacing. That a file cut short in any field
// never crashes the sign is the fuzz target's job.

#include <gtest/gtest.h>

#include <regex>

#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/RecordingSink.h"
#include "tools/signsim/DisplayMarkup.h"
#include "tools/signsim/DotFont.h"
#include "tools/signsim/DotRaster.h"
#include "tools/signsim/SignColours.h"
#include "tools/signsim/VirtualSign.h"  // and the decoder, model and display it is made of

namespace {

using Events = std::vector<CSignDecoder::Event>;

Events Decode(const std::string& stream) {
  Events events;
  CSignDecoder decoder([&events](const CSignDecoder::Event& event) { events.push_back(event); });
  decoder.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  decoder.Finish();
  return events;
}

std::string Repeat(const std::string& text, std::size_t count) {
  std::string repeated;
  while (count-- > 0) repeated += text;
  return repeated;
}

struct CMalformedCase {
  std::string stream;        // followed in the test by one good frame without lead-in
  std::string message;       // the start of the error message
  std::string excerpt = "";  // the offending bytes as hex; empty: not checked
};

const CMalformedCase kMalformed[] = {
    {"xyz", "bytes outside a frame", "78 79 7A"},
    {std::string("\1Z00\2G1 7\0", 10), "frame cut short: NUL", "01 5A 30 30 02 47 31 20 37 00"},
    {"\1Z00\2G1", "frame cut short: SOH before EOT", "01 5A 30 30 02 47 31 01"},
    {"\1Z0", "frame cut short: SOH before EOT", "01 5A 30 01"},  // in the header
    {"\1\5", "malformed header: the type code", "01 05"},
    {"\1Z0G\2G1 7\4", "malformed header: the address", "01 5A 30 47 02 47 31 20 37 04"},
    {"\1Z00G1 7\4", "malformed header: STX missing", "01 5A 30 30 47 31 20 37 04"},
    {std::string("\1Z0G1\0", 6), "malformed header: the address", "01 5A 30 47 31"},  // cut by NUL
    {"\1Y00\2G1 7\4", "frame for type code 'Y' at address 00"},
    {"\1Z01\2G1 7\4", "frame for type code 'Z' at address 01"},
    {"\1Z00\2\4", "no command code after STX", "01 5A 30 30 02 04"},
    {"\1Z00\2B1\4", "command code 'B' is not supported"},
    {"\1Z00\2A\4", "write TEXT without a file label"},
    {"\1Z00\2G0 7\4", "write STRING to '0', not a file label"},
    {"\1Z00\2E \4", "special function ' ' is not supported"},
    {"\1Z00\2E\4", "special function without"},
    {"\1Z00\2E$AAU001CFF0\4", "memory configuration of 10 bytes"},
    {"\1Z00\2E$ACU001CFF00\4", "memory configuration entry 1 ('A'): file type"},
    {"\1Z00\2E$ADU07070000\4", "memory configuration entry 1 ('A'): DOTS"},
    {"\1Z00\2E$AAX001CFF00\4", "memory configuration entry 1 ('A'): keyboard"},
    {"\1Z00\2E$AAU001cFF00\4", "memory configuration entry 1 ('A'): size"},
    {"\1Z00\2E.QLA\4", "run sequence type 'Q'"},
    {"\1Z00\2E.SXA\4", "run sequence keyboard protection 'X'"},
    {"\1Z00\2E.SL\4", "run sequence without"},
    {"\1Z00\2G1 7\0030123\4", "ETX in a frame"},
    // Long garbage and an oversized frame keep only an excerpt but count
    // every byte.
    {std::string(100000, 'g'), "bytes outside a frame", Repeat("67 ", 48) + "... (100000 bytes)"},
    {std::string(20, '\0') + "\1Z00\2AA" + std::string(CSignDecoder::kFrameLimit * 3, 'x') + "\4",
     "frame of 49160 bytes is longer than the 16384 bytes",
     "01 5A 30 30 02 41 41 " + Repeat("78 ", 41) + "... (49160 bytes)"},
};

TEST(Decoder, EachMalformedStreamIsReportedWithABoundedExcerptAndTheNextPacketDecodes) {
  EXPECT_TRUE(Decode(std::string(40, '\0')).empty()) << "a lead-in alone is no error";
  for (const CMalformedCase& row : kMalformed) {
    SCOPED_TRACE(testing::PrintToString(row.stream.substr(0, 40)));
    const Events events = Decode(row.stream + "\1Z00\2G2 3\4");
    ASSERT_EQ(events.size(), 2u);
    const auto* error = std::get_if<CProtocolError>(&events[0]);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message.rfind(row.message, 0), 0u) << error->message;
    EXPECT_EQ(row.excerpt.empty() ? "" : DescribeBytes(*error), row.excerpt);
    EXPECT_EQ(events[1], CSignDecoder::Event(CSignCommand(CWriteString{'2', " 3"})));
  }
}

// The strip the sign lays out when its TEXT file A holds text.
CDotStrip Strip(const std::string& text) {
  CSignModel model;
  model.Apply(CWriteText{'A', text});
  return RasteriseDisplay(ComposeDisplay(model, CSignCharacters()).display);
}

// Each character takes its columns, its colour and a dark gap; rotating text
// enters at the right and leaves at the left.
TEST(DotRaster, CharactersTakeTheirColumnsAndRotatingTextEntersRightAndLeavesLeft) {
  // Fixed: five columns each. Proportional: H 5, I 3, blank 3. Wide doubles
  // each column; columns take the selected colour, red at first.
  const CDotStrip wide = Strip("\0361\022H\021\0342H");
  EXPECT_EQ((std::vector{Strip("\0361HH").columns.size(), Strip("\0360HI H").columns.size(),
                         wide.columns.size()}),
            (std::vector<std::size_t>{11, 5 + 1 + 3 + 1 + 3 + 1 + 5, 10 + 2 + 5}));
  const CDotColumn redBar{0x7F, FindSignColour('1')->rgb};
  EXPECT_EQ((std::vector{wide.columns[0], wide.columns[1]}), std::vector(2, redBar));
  EXPECT_EQ(wide.columns.back().rgb, FindSignColour('2')->rgb);
  // The widest scoreboard fits the 80-column face.
  EXPECT_LE(Strip("\033 b\0361WWW999 WWW999").columns.size(), 80u);

  const CDotStrip strip = Strip("\033 aHI");
  const int width = 20, period = RotationPeriod(strip, width);
  for (const CDotColumn& column : FaceColumns(strip, width, 0)) EXPECT_EQ(column.rows, 0);
  EXPECT_EQ(FaceColumns(strip, width, 1)[width - 1], strip.columns.front());
  EXPECT_EQ(FaceColumns(strip, width, period - 1)[0], strip.columns.back());
  EXPECT_EQ(FaceColumns(strip, width, period), FaceColumns(strip, width, 0));
}

TEST(DotFont, EveryCharacterTheSignCanBeSentHasItsOwnGlyph) {
  const CSignCharacters characters;
  for (int code = 0; code < 256; ++code) {
    const std::string& text = characters.Extended(static_cast<std::uint8_t>(code));
    EXPECT_TRUE(text.empty() || &GlyphFor(text) != &PlaceholderGlyph()) << text;
  }
  for (char c = 0x20; c <= 0x7E; ++c)
    EXPECT_NE(&GlyphFor(std::string(1, c)), &PlaceholderGlyph()) << c;
}

using Lines = std::vector<std::string>;

// Memory configuration entries: label, TEXT (A) or STRING (B), lock, size in
// hex, then four bytes the sign keeps.
const std::string kTextA = "AAU0020FF00", kString1 = "1BL00030000";

struct CSignCase {
  std::string bodies;
  std::string warning;  // the one warning expected, empty for none
  std::string shown;    // what the sign shows afterwards
};

// Each case starts from TEXT A (32 bytes) showing "before" and STRING 1 (3
// bytes, " 9"); TEXT B holds "second", STRING 4 is empty.
const CSignCase kCases[] = {
    // What a real sign would reject or mangle.
    {"ACx", "write to TEXT file C, which the memory configuration lacks: ignored", "before 9"},
    {"A1x", "write to TEXT file 1, which is configured as a STRING file: ignored", "before 9"},
    {"G11000", "STRING file 1 holds 3 bytes but 4 were written: the sign empties it", "before"},
    {"AA0123456789ABCDEFGHIJKLMNOPQRSTUVWX",
     "TEXT file A holds 32 bytes but 34 were written: the rest is cut off",
     "0123456789ABCDEFGHIJKLMNOPQRSTUV"},
    {"E.SLBCA", "run sequence names file C, which the memory configuration lacks",
     "second{next}before 9"},
    {"E.SLA1", "run sequence names STRING file 1: only TEXT files run", "before 9"},
    {"E$" + kTextA + kString1, "", "{blank}"},           // erases the texts
    {"E$" + kTextA + kString1 + "\4AAx\0201", "", "x"},  // and the strings
    {"E$" + kTextA + "ABL00030000\4AAx",
     "memory configuration lists file A more than once: the first entry is kept", "x"},
    // The display markup.
    {"AA\0341a\0342b\0343c\0344d\0345e\0346f\0347g\0348h", "",
     "{red}a{green}b{amber}c{dim red}d{dim green}e{brown}f{orange}g{yellow}h"},
    {"AA\0360x\0361y", "", "{proportional}x{fixed}y"},
    {"AA\033\"b1\033&a2\0330c3", "", "{hold top}1{rotate bottom}2{mode c fill}3"},
    {"AA\0100T\0100 caf\010\042 \010\077 \010\136a\010\076b\010\113", "",
     "ÉTÉ café ƒ Êa{char 3E}b{char 4B}"},
    {"AA[\0204]\0201", "", "[] 9"},
    {"AA{x}", "", "{{x}}"},
    {"AA\034Dx", "TEXT file A: colour code 44 is not a colour", "x"},
    {"AA\0365x", "TEXT file A: spacing code 35 is not 0 or 1", "x"},
    {"AA\0209", "TEXT file A calls STRING file 9, which the memory configuration lacks", "{blank}"},
    {"AA\020B", "TEXT file A calls STRING file B, which is configured as a TEXT file", "{blank}"},
    {"AAa\rb", "TEXT file A holds code 0D, which the virtual sign does not show", "a{code 0D}b"},
    {"AAx\034", "TEXT file A: colour selection without a colour code", "x"},
    {"AA\010\005", "TEXT file A: extended character code 05 is out of range", "{char 05}"},
};

TEST(VirtualSign, WhatARealSignWouldShowAndObjectTo) {
  for (const CSignCase& row : kCases) {
    SCOPED_TRACE(testing::PrintToString(row.bodies));
    Lines lines;
    CVirtualSign sign([&lines](const std::string& line) {
      if (line.rfind("sign: ", 0) != 0) lines.push_back(line);
    });
    // Each command body framed (several are separated by EOT).
    const std::string bodies = "E$" + kTextA + "BAU0020FF00" + kString1 +
                               "4BL00030000\4G1 9\4ABsecond\4AAbefore\0201\4" + row.bodies;
    const std::string frames =
        "\1Z00\2" + std::regex_replace(bodies, std::regex("\4"), "\4\1Z00\2") + "\4";
    sign.MakeDecoder().Feed(reinterpret_cast<const std::uint8_t*>(frames.data()), frames.size());
    EXPECT_EQ(lines, row.warning.empty() ? Lines{} : Lines{"warning: " + row.warning});
    EXPECT_EQ(RenderMarkup(sign.Display()), row.shown);
  }
}

// The program's own messages, built by its message builders, played into the
// virtual sign byte by byte, so that no frame arrives whole: one line per
// change. The program sizes TEXT file A to its whole packet, so nothing it
// sends is flagged.
TEST(VirtualSign, ShowsTheProgramsMessagesOneLinePerChangeAndFlagsNone) {
  CRavelleDoc doc;
  CRecordingSink sink;
  CFakeViewStatus view;
  CSignMessages messages(doc, sink, view);
  std::tie(doc.team1Abbrev, doc.team2Abbrev, view.scoreMode) = std::tuple("HOM", "VIS", 1);
  messages.SendScoreboard();
  for (const auto& [team, points] : {std::pair{1, 7}, {2, 3}}) {
    (team == 1 ? doc.team1Score : doc.team2Score) = points;
    messages.SendTeamScore(team, points);
  }
  std::tie(doc.noteText, doc.noteSize) =
      std::tuple(std::string(4000, 'x') + std::string(4000, '\xE9'), "Giant");
  messages.SendNote();
  doc.noteText = "";
  messages.SendNote();
  Lines lines;
  CVirtualSign sign([&lines](const std::string& line) { lines.push_back(line.substr(0, 60)); });
  CSignDecoder decoder = sign.MakeDecoder();
  sign.Start();
  for (const CRecordedPacket& packet : sink.packets)
    for (const std::uint8_t& byte : packet.bytes) decoder.Feed(&byte, 1);
  const std::string hold = "sign: {hold}{fixed}{red}";
  EXPECT_EQ(lines,
            (Lines{"sign: {blank}", hold + "HOM{red} 0  {red}VIS{red} 0",
                   hold + "HOM{red} 7  {red}VIS{red} 0", hold + "HOM{red} 7  {red}VIS{red} 3",
                   "sign: {blank}", "sign: {rotate}{red}{wide}" + std::string(35, 'x'),
                   "sign: {blank}", "sign: {rotate}{red}{wide}{/wide}"}));
}

}  // namespace
