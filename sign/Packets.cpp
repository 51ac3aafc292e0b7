#include "sign/Packets.h"

#include <cstdio>

namespace {

constexpr unsigned char kSoh = 0x01;
constexpr unsigned char kStx = 0x02;
constexpr unsigned char kEot = 0x04;
constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kExtendedPrefix = 0x08;
constexpr unsigned char kCallString = 0x10;
constexpr unsigned char kWideOn = 0x12;
constexpr unsigned char kWideOff = 0x11;
constexpr unsigned char kSelectColour = 0x1C;
constexpr unsigned char kSelectSpacing = 0x1E;

// Lead-in, header and command code; the caller appends data and EOT.
std::vector<unsigned char> StartPacket(char command, std::size_t expectedLength) {
  std::vector<unsigned char> packet;
  packet.reserve(expectedLength);
  packet.assign(kPacketLeadIn, 0x00);
  packet.insert(packet.end(), {kSoh, 'Z', '0', '0', kStx, static_cast<unsigned char>(command)});
  return packet;
}

void Append(std::vector<unsigned char>& packet, const std::string& bytes) {
  packet.insert(packet.end(), bytes.begin(), bytes.end());
}

// The note packet's bytes around the note: header, mode, colour, EOT, and
// the wide-character codes when giant.
std::size_t NoteFrameLength(bool giant) { return giant ? 35 : 33; }

// The longest prefix of encoded, at most limit bytes, that does not split an
// extended character (08 and its code).
std::size_t WholeCharactersWithin(const std::string& encoded, std::size_t limit) {
  std::size_t length = 0;
  while (length < encoded.size()) {
    const std::size_t step = static_cast<unsigned char>(encoded[length]) == kExtendedPrefix ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  return length;
}

}  // namespace

std::vector<unsigned char> MakeRunSequencePacket() {
  std::vector<unsigned char> packet = StartPacket('E', 31);
  packet.insert(packet.end(), {'.', 'S', 'L', 'A', kEot});
  return packet;
}

std::optional<std::vector<unsigned char>> MakeMemoryConfigPacket(int textFileSize) {
  if (textFileSize < 0 || textFileSize > kMaxTextFileSize) return std::nullopt;
  // Four upper-case digits, zero-padded (the precision pads; a '0' flag
  // would be ignored next to it).
  char size[5];
  std::snprintf(size, sizeof size, "%.4X", static_cast<unsigned>(textFileSize));

  std::vector<unsigned char> packet = StartPacket('E', 72);
  packet.push_back('$');
  Append(packet, std::string("AAU") + size + "FF00");
  Append(packet, "1BL00030000");
  Append(packet, "2BL00030000");
  Append(packet, "3BL00030000");
  packet.push_back(kEot);
  return packet;
}

std::vector<unsigned char> MakeEmptyTextPacket() {
  std::vector<unsigned char> packet = StartPacket('A', 28);
  packet.insert(packet.end(), {'A', kEot});
  return packet;
}

std::vector<unsigned char> MakeStringPacket(char label, const std::string& text) {
  std::vector<unsigned char> packet = StartPacket('G', 28 + text.size());
  packet.push_back(static_cast<unsigned char>(label));
  Append(packet, text);
  packet.push_back(kEot);
  return packet;
}

std::vector<unsigned char> MakeScoreboardPacket(const std::string& encodedTeam1,
                                                char team1NameColour, char team1ScoreColour,
                                                const std::string& encodedTeam2,
                                                char team2NameColour, char team2ScoreColour) {
  auto digit = [](char colour) { return static_cast<unsigned char>(colour); };
  std::vector<unsigned char> packet =
      StartPacket('A', 47 + encodedTeam1.size() + encodedTeam2.size());
  // File A, middle line, hold, fixed-width characters.
  packet.insert(packet.end(), {'A', kEsc, ' ', 'b', kSelectSpacing, '1'});
  packet.insert(packet.end(), {kSelectColour, digit(team1NameColour)});
  Append(packet, encodedTeam1);
  // Team 1's score and the spacer share the score colour.
  packet.insert(packet.end(),
                {kSelectColour, digit(team1ScoreColour), kCallString, '1', kCallString, '3'});
  packet.insert(packet.end(), {kSelectColour, digit(team2NameColour)});
  Append(packet, encodedTeam2);
  packet.insert(packet.end(), {kSelectColour, digit(team2ScoreColour), kCallString, '2', kEot});
  return packet;
}

std::size_t NoteBytesThatFit(const std::string& encodedNote, bool giant) {
  return WholeCharactersWithin(encodedNote, kNotePacketArea - NoteFrameLength(giant));
}

std::vector<unsigned char> MakeNotePacket(const std::string& encodedNote, char colour, bool giant) {
  const std::size_t frame = NoteFrameLength(giant);
  const std::size_t noteLength = NoteBytesThatFit(encodedNote, giant);

  std::vector<unsigned char> packet = StartPacket('A', frame + noteLength);
  // File A, middle line, rotate.
  packet.insert(packet.end(),
                {'A', kEsc, ' ', 'a', kSelectColour, static_cast<unsigned char>(colour)});
  if (giant) packet.push_back(kWideOn);
  packet.insert(packet.end(), encodedNote.begin(), encodedNote.begin() + noteLength);
  if (giant) packet.push_back(kWideOff);
  packet.push_back(kEot);
  return packet;
}
