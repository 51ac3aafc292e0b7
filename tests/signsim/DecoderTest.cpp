#include <gtest/gtest.h>

#include "tools/signsim/SignDecoder.h"

// Control bytes are octal escapes (\1 SOH, \2 STX, \3 ETX, \4 EOT, \5): at most
// three digits, so none runs into the next character. The program's own
// packets, fed byte by byte, are decoded in VirtualSignTest.

namespace {

using Events = std::vector<CSignDecoder::Event>;

Events Decode(const std::string& stream) {
  Events events;
  CSignDecoder decoder([&events](const CSignDecoder::Event& event) { events.push_back(event); });
  decoder.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  decoder.Finish();
  return events;
}

const std::string kLeadIn(20, '\0');
const CSignDecoder::Event kGoodString = CSignCommand(CWriteString{'2', " 3"});

struct CMalformedCase {
  const char* name;
  std::string stream;        // followed in the test by one good frame without lead-in
  std::string message;       // the start of the error message
  std::string excerpt = "";  // the offending bytes as hex; empty: not checked
};

const CMalformedCase kMalformed[] = {
    {"Garbage", "xyz", "bytes outside a frame", "78 79 7A"},
    {"LeadInWithoutSoh", kLeadIn + "hi", "bytes outside a frame", "68 69"},
    {"CutShortByLeadIn", std::string("\1Z00\2G1 7\0", 10), "frame cut short: NUL",
     "01 5A 30 30 02 47 31 20 37 00"},
    {"CutShortBySoh", "\1Z00\2G1", "frame cut short: SOH before EOT", "01 5A 30 30 02 47 31 01"},
    {"CutShortInHeader", "\1Z0", "frame cut short: SOH before EOT", "01 5A 30 01"},
    {"ControlTypeCode", "\1\5", "malformed header: the type code", "01 05"},
    {"AddressNotHex", "\1Z0G\2G1 7\4", "malformed header: the address",
     "01 5A 30 47 02 47 31 20 37 04"},
    {"StxMissing", "\1Z00G1 7\4", "malformed header: STX missing", "01 5A 30 30 47 31 20 37 04"},
    {"BrokenHeaderCutByLeadIn", std::string("\1Z0G1\0", 6), "malformed header: the address",
     "01 5A 30 47 31"},
    {"OtherTypeCode", "\1Y00\2G1 7\4", "frame for type code 'Y' at address 00"},
    {"OtherAddress", "\1Z01\2G1 7\4", "frame for type code 'Z' at address 01"},
    {"NoCommand", "\1Z00\2\4", "no command code after STX", "01 5A 30 30 02 04"},
    {"UnknownCommand", "\1Z00\2B1\4", "command code 'B' is not supported"},
    {"TextWithoutLabel", "\1Z00\2A\4", "write TEXT without a file label"},
    {"StringToPriorityFile", "\1Z00\2G0 7\4", "write STRING to '0', not a file label"},
    {"UnknownSpecialFunction", "\1Z00\2E \4", "special function ' ' is not supported"},
    {"SpecialFunctionWithoutCode", "\1Z00\2E\4", "special function without"},
    {"ConfigNotWholeEntries", "\1Z00\2E$AAU001CFF0\4", "memory configuration of 10 bytes"},
    {"ConfigBadType", "\1Z00\2E$ACU001CFF00\4", "memory configuration entry 1 ('A'): file type"},
    {"ConfigDots", "\1Z00\2E$ADU07070000\4", "memory configuration entry 1 ('A'): DOTS"},
    {"ConfigBadLock", "\1Z00\2E$AAX001CFF00\4", "memory configuration entry 1 ('A'): keyboard"},
    {"ConfigLowerCaseSize", "\1Z00\2E$AAU001cFF00\4", "memory configuration entry 1 ('A'): size"},
    {"RunSequenceBadType", "\1Z00\2E.QLA\4", "run sequence type 'Q'"},
    {"RunSequenceBadLock", "\1Z00\2E.SXA\4", "run sequence keyboard protection 'X'"},
    {"RunSequenceWithoutFiles", "\1Z00\2E.SL\4", "run sequence without"},
    {"ChecksummedPacket", "\1Z00\2G1 7\0030123\4", "ETX in a frame"},
};

class MalformedInput : public testing::TestWithParam<CMalformedCase> {};

TEST_P(MalformedInput, IsReportedAndTheNextPacketStillDecodes) {
  const Events events = Decode(GetParam().stream + "\1Z00\2G2 3\4");
  ASSERT_EQ(events.size(), 2u);
  ASSERT_TRUE(std::holds_alternative<CProtocolError>(events[0]));
  const auto& error = std::get<CProtocolError>(events[0]);
  EXPECT_EQ(error.message.rfind(GetParam().message, 0), 0u) << error.message;
  EXPECT_EQ(GetParam().excerpt.empty() ? "" : DescribeBytes(error), GetParam().excerpt);
  EXPECT_EQ(events[1], kGoodString);
}

INSTANTIATE_TEST_SUITE_P(BadStreams, MalformedInput, testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

// Long garbage and an oversized frame keep only an excerpt but count every
// byte; decoding goes on after them, and a frame open at the end is reported.
TEST(Decoder, StaysBoundedAndInStepOnHugeInput) {
  EXPECT_TRUE(Decode(std::string(40, '\0')).empty());
  const std::string huge(CSignDecoder::kFrameLimit * 3, 'x');
  const Events events =
      Decode(std::string(100000, 'g') + kLeadIn + "\1Z00\2AA" + huge + "\4\1Z00\2G2 3\4\1Z00\2G1");
  ASSERT_EQ(events.size(), 4u);
  const auto& garbage = std::get<CProtocolError>(events[0]);
  EXPECT_EQ(garbage.excerpt.size(), CProtocolError::kExcerptLimit);
  EXPECT_NE(DescribeBytes(garbage).find("... (100000 bytes)"), std::string::npos);
  const auto& oversized = std::get<CProtocolError>(events[1]);
  EXPECT_NE(oversized.message.find("longer than the 16384 bytes"), std::string::npos);
  EXPECT_EQ(oversized.byteCount, huge.size() + 8);  // SOH Z00 STX A A ... EOT
  EXPECT_EQ(oversized.excerpt.size(), CProtocolError::kExcerptLimit);
  EXPECT_EQ(events[2], kGoodString);
  EXPECT_EQ(std::get<CProtocolError>(events[3]).message,
            "frame cut short: the stream ended before EOT");
}

}  // namespace
