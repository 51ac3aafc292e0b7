#include <gtest/gtest.h>

#include "sign/Packets.h"
#include "tests/signsim/SignsimTestSupport.h"

namespace {

struct CValidCase {
  const char* name;
  std::string stream;
  CSignCommand expected;
};

CMemoryConfig ProgramConfig(int textSize) {
  return CMemoryConfig{{
      CFileEntry{'A', CSignFileType::kText, false, textSize, "FF00"},
      CFileEntry{'1', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'2', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'3', CSignFileType::kString, true, 3, "0000"},
  }};
}

const std::string kScoreboardText =
    "\x1b b\x1e"
    "1\x1c"
    "1HOM\x1c"
    "2\x10"
    "1\x10"
    "3\x1c"
    "3VIS\x1c"
    "8\x10"
    "2";

// Every packet kind the program sends, written out byte by byte.
const CValidCase kValid[] = {
    {"RunSequence", Packet("E.SLA"), CRunSequence{'S', true, "A"}},
    {"MemoryConfigBlank", Packet("E$AAU001CFF001BL000300002BL000300003BL00030000"),
     ProgramConfig(28)},
    {"MemoryConfigScoreboard", Packet("E$AAU0035FF001BL000300002BL000300003BL00030000"),
     ProgramConfig(0x35)},
    {"EmptyText", Packet("AA"), CWriteText{'A', ""}},
    {"ScoreString", Packet("G1 7"), CWriteString{'1', " 7"}},
    {"WideSpacer", Packet("G3  "), CWriteString{'3', "  "}},
    {"HundredScore", Packet("G2100"), CWriteString{'2', "100"}},
    {"Scoreboard", Packet("AA" + kScoreboardText), CWriteText{'A', kScoreboardText}},
    {"Note",
     Packet("AA\x1b a\x1c"
            "2Hello"),
     CWriteText{'A',
                "\x1b a\x1c"
                "2Hello"}},
    {"GiantNote",
     Packet("AA\x1b a\x1c"
            "2\x12Hello\x11"),
     CWriteText{'A',
                "\x1b a\x1c"
                "2\x12Hello\x11"}},
    {"ExtendedCharacters",
     Packet("AA\x08"
            "0T\x08"
            "0"),
     CWriteText{'A',
                "\x08"
                "0T\x08"
                "0"}},
    {"EraseMemory", Packet("E$"), CMemoryConfig{}},
    {"NoLeadIn", std::string("\x01Z00\x02G1 7\x04"), CWriteString{'1', " 7"}},
};

class ValidPacket : public testing::TestWithParam<CValidCase> {};

TEST_P(ValidPacket, DecodesToTheCommand) {
  const auto events = Decode(GetParam().stream);
  ASSERT_EQ(events.size(), 1u);
  ASSERT_TRUE(std::holds_alternative<CSignCommand>(events[0]))
      << std::get<CProtocolError>(events[0]).message;
  EXPECT_EQ(std::get<CSignCommand>(events[0]), GetParam().expected);
}

TEST_P(ValidPacket, DecodesTheSameFedOneByteAtATime) {
  std::vector<CSignDecoder::Event> events;
  CSignDecoder decoder([&events](const CSignDecoder::Event& event) { events.push_back(event); });
  for (char c : GetParam().stream) {
    const auto byte = static_cast<std::uint8_t>(c);
    decoder.Feed(&byte, 1);
  }
  EXPECT_EQ(events, Decode(GetParam().stream));
}

INSTANTIATE_TEST_SUITE_P(ProgramPackets, ValidPacket, testing::ValuesIn(kValid),
                         [](const auto& info) { return std::string(info.param.name); });

// The packet builders' own output, stream after stream, decodes without error.
TEST(DecoderOnBuiltPackets, EveryBuiltPacketDecodes) {
  std::string stream;
  stream += AsText(*MakeMemoryConfigPacket(28));
  stream += AsText(MakeEmptyTextPacket());
  stream += AsText(MakeRunSequencePacket());
  stream += AsText(*MakeMemoryConfigPacket(0xFFFF));
  stream += AsText(MakeStringPacket('3', "  "));
  stream += AsText(MakeScoreboardPacket("\x08\x30T\x08\x30", '1', '2', "VIS", '3', '8'));
  stream += AsText(MakeNotePacket(std::string(8000, 'n'), '5', true));
  const auto events = Decode(stream);
  ASSERT_EQ(events.size(), 7u);
  for (const auto& event : events) {
    EXPECT_TRUE(std::holds_alternative<CSignCommand>(event))
        << std::get<CProtocolError>(event).message;
  }
  EXPECT_EQ(std::get<CSignCommand>(events[3]), CSignCommand(ProgramConfig(0xFFFF)));
}

struct CMalformedCase {
  const char* name;
  std::string stream;   // followed in the test by one good frame
  std::string message;  // the start of the error message
  std::string excerpt;  // the offending bytes, as hex
};

const CMalformedCase kMalformed[] = {
    {"Garbage", "xyz", "bytes outside a frame", "78 79 7A"},
    {"LeadInWithoutSoh", std::string(20, '\0') + "hi", "bytes outside a frame", "68 69"},
    {"CutShortByLeadIn", std::string("\x01Z00\x02G1 7\0", 10), "frame cut short: NUL before EOT",
     "01 5A 30 30 02 47 31 20 37 00"},
    {"CutShortBySoh", "\x01Z00\x02G1", "frame cut short: SOH before EOT",
     "01 5A 30 30 02 47 31 01"},
    {"CutShortInHeader", "\x01Z0", "frame cut short: SOH before EOT", "01 5A 30 01"},
    {"ControlTypeCode", "\x01\x05", "malformed header: the type code", "01 05"},
    {"AddressNotHex", "\x01Z0G\x02G1 7\x04", "malformed header: the address",
     "01 5A 30 47 02 47 31 20 37 04"},
    {"StxMissing", "\x01Z00G1 7\x04", "malformed header: STX missing",
     "01 5A 30 30 47 31 20 37 04"},
    {"BrokenHeaderCutByLeadIn", std::string("\x01Z0G1\0", 6), "malformed header: the address",
     "01 5A 30 47 31"},
    {"OtherTypeCode", "\x01Y00\x02G1 7\x04", "frame for type code 'Y' at address 00", ""},
    {"OtherAddress", "\x01Z01\x02G1 7\x04", "frame for type code 'Z' at address 01", ""},
    {"NoCommand", "\x01Z00\x02\x04", "no command code after STX", "01 5A 30 30 02 04"},
    {"UnknownCommand",
     "\x01Z00\x02"
     "B1\x04",
     "command code 'B' is not supported", ""},
    {"TextWithoutLabel",
     "\x01Z00\x02"
     "A\x04",
     "write TEXT without a file label", ""},
    {"StringToPriorityFile", "\x01Z00\x02G0 7\x04", "write STRING to '0', not a file label", ""},
    {"UnknownSpecialFunction",
     "\x01Z00\x02"
     "E \x04",
     "special function ' ' is not supported", ""},
    {"SpecialFunctionWithoutCode",
     "\x01Z00\x02"
     "E\x04",
     "special function without", ""},
    {"ConfigNotWholeEntries",
     "\x01Z00\x02"
     "E$AAU001CFF0\x04",
     "memory configuration of 10 bytes is not a whole number", ""},
    {"ConfigBadType",
     "\x01Z00\x02"
     "E$ACU001CFF00\x04",
     "memory configuration entry 1 ('A'): file type 'C'", ""},
    {"ConfigDots",
     "\x01Z00\x02"
     "E$ADU07070000\x04",
     "memory configuration entry 1 ('A'): DOTS", ""},
    {"ConfigBadLock",
     "\x01Z00\x02"
     "E$AAX001CFF00\x04",
     "memory configuration entry 1 ('A'): keyboard protection 'X'", ""},
    {"ConfigLowerCaseSize",
     "\x01Z00\x02"
     "E$AAU001cFF00\x04",
     "memory configuration entry 1 ('A'): size \"001c\"", ""},
    {"RunSequenceBadType",
     "\x01Z00\x02"
     "E.QLA\x04",
     "run sequence type 'Q'", ""},
    {"RunSequenceBadLock",
     "\x01Z00\x02"
     "E.SXA\x04",
     "run sequence keyboard protection 'X'", ""},
    {"RunSequenceWithoutFiles",
     "\x01Z00\x02"
     "E.SL\x04",
     "run sequence without", ""},
    {"ChecksummedPacket",
     "\x01Z00\x02G1 7\x03"
     "0123\x04",
     "ETX in a frame", ""},
};

class MalformedInput : public testing::TestWithParam<CMalformedCase> {};

TEST_P(MalformedInput, IsReportedAndTheNextPacketStillDecodes) {
  const auto events = Decode(GetParam().stream + "\x01Z00\x02G2 3\x04");
  ASSERT_EQ(events.size(), 2u);
  ASSERT_TRUE(std::holds_alternative<CProtocolError>(events[0]));
  const auto& error = std::get<CProtocolError>(events[0]);
  EXPECT_EQ(error.message.rfind(GetParam().message, 0), 0u) << error.message;
  if (!GetParam().excerpt.empty()) {
    EXPECT_EQ(DescribeBytes(error), GetParam().excerpt);
  }
  EXPECT_EQ(events[1], CSignDecoder::Event(CSignCommand(CWriteString{'2', " 3"})));
}

INSTANTIATE_TEST_SUITE_P(BadStreams, MalformedInput, testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecoderLimits, OversizedFrameIsReportedWithBoundedExcerptAndDecodingGoesOn) {
  const std::string huge(CSignDecoder::kFrameLimit * 3, 'x');
  const auto events = Decode(Packet("AA" + huge) + Packet("G1 7"));
  ASSERT_EQ(events.size(), 2u);
  const auto& error = std::get<CProtocolError>(events[0]);
  EXPECT_NE(error.message.find("longer than the 16384 bytes"), std::string::npos) << error.message;
  EXPECT_EQ(error.byteCount, huge.size() + 8);  // SOH Z00 STX A A ... EOT
  EXPECT_EQ(error.excerpt.size(), CProtocolError::kExcerptLimit);
  EXPECT_EQ(std::get<CSignCommand>(events[1]), CSignCommand(CWriteString{'1', " 7"}));
}

TEST(DecoderLimits, LongGarbageKeepsOnlyAnExcerptButCountsEveryByte) {
  const auto events = Decode(std::string(100000, 'g'));
  ASSERT_EQ(events.size(), 1u);
  const auto& error = std::get<CProtocolError>(events[0]);
  EXPECT_EQ(error.byteCount, 100000u);
  EXPECT_EQ(error.excerpt.size(), CProtocolError::kExcerptLimit);
  EXPECT_NE(DescribeBytes(error).find("... (100000 bytes)"), std::string::npos);
}

TEST(DecoderEnd, AFrameOpenWhenTheStreamEndsIsReported) {
  const auto events = Decode(std::string(20, '\0') + "\x01Z00\x02G1");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(std::get<CProtocolError>(events[0]).message,
            "frame cut short: the stream ended before EOT");
}

TEST(DecoderEnd, LeadInAloneIsNoError) { EXPECT_TRUE(Decode(std::string(40, '\0')).empty()); }

}  // namespace
