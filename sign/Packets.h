#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The packets the sign receives, each built whole: 20 NUL bytes, SOH, "Z"
// (every sign type), "00" (broadcast), STX, the command, its data and EOT.
// Pure functions: nothing is sent. CSignMessages hands these to the sink.

inline constexpr std::size_t kPacketLeadIn = 20;
// The largest note packet; a longer encoded note is cut to fit.
inline constexpr std::size_t kNotePacketArea = 8200;
// The memory configuration writes the TEXT file size as four hex digits.
inline constexpr int kMaxTextFileSize = 0xFFFF;

// "E." run sequence: show TEXT file A alone. 31 bytes.
std::vector<unsigned char> MakeRunSequencePacket();

// "E$" memory configuration: TEXT file A of textFileSize bytes and STRING
// files "1", "2", "3" of 3 bytes. 72 bytes. No packet (nullopt) for a size
// outside 0..FFFF, which the four-digit size field cannot hold.
std::optional<std::vector<unsigned char>> MakeMemoryConfigPacket(int textFileSize);

// "AA" with no text: TEXT file A left empty. 28 bytes.
std::vector<unsigned char> MakeEmptyTextPacket();

// "G" + label + text: one STRING file. 28 bytes plus the text.
std::vector<unsigned char> MakeStringPacket(char label, const std::string& text);

// The scoreboard TEXT file A: both abbreviations (already encoded for the
// sign) in their name colours, and calls of STRING "1", "3" and "2" in the
// score colours. Colours are protocol digits '1'..'8'. 47 bytes plus both
// abbreviations.
std::vector<unsigned char> MakeScoreboardPacket(const std::string& encodedTeam1,
                                                char team1NameColour, char team1ScoreColour,
                                                const std::string& encodedTeam2,
                                                char team2NameColour, char team2ScoreColour);

// How many bytes of the encoded note the note packet carries: all of them,
// unless the packet would outgrow kNotePacketArea; then the longest part
// that fits without splitting an extended character (08 and its code).
std::size_t NoteBytesThatFit(const std::string& encodedNote, bool giant);

// The note TEXT file A, rotating, in one colour, wide characters around the
// text when giant. 33 bytes plus the encoded note (35 plus it when giant).
// A note too long for the packet is cut as NoteBytesThatFit says.
std::vector<unsigned char> MakeNotePacket(const std::string& encodedNote, char colour, bool giant);
