#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// The commands a sign takes from a transmission, as the decoder recognises
// them. Texts are the raw bytes of the frame.

enum class CSignFileType { kText, kString };

// One entry of a memory configuration ("E$").
struct CFileEntry {
  char label = 0;
  CSignFileType type = CSignFileType::kText;
  bool locked = false;
  int size = 0;        // bytes, from four hexadecimal digits
  std::string timing;  // the four type-specific characters ("FF00", "0000")
  bool operator==(const CFileEntry&) const = default;
};

struct CMemoryConfig {
  std::vector<CFileEntry> files;
  bool operator==(const CMemoryConfig&) const = default;
};

// "E.": which TEXT files run, in order.
struct CRunSequence {
  char sequenceType = 'S';  // 'T' by times, 'S' ignoring times, 'D' delete on expiry
  bool locked = false;
  std::string labels;
  bool operator==(const CRunSequence&) const = default;
};

// "A": write TEXT file.
struct CWriteText {
  char label = 0;
  std::string contents;
  bool operator==(const CWriteText&) const = default;
};

// "G": write STRING file.
struct CWriteString {
  char label = 0;
  std::string contents;
  bool operator==(const CWriteString&) const = default;
};

using CSignCommand = std::variant<CMemoryConfig, CRunSequence, CWriteText, CWriteString>;

// A transmission the sign cannot take: what is wrong and the bytes at fault
// (at most kExcerptLimit of them are kept; byteCount tells how many there were).
struct CProtocolError {
  static constexpr std::size_t kExcerptLimit = 48;
  std::string message;
  std::vector<std::uint8_t> excerpt;
  std::size_t byteCount = 0;
  bool operator==(const CProtocolError&) const = default;
};

// "01 5A 30 ... (72 bytes)": the excerpt in hexadecimal, the count when the
// excerpt is shorter than the offending bytes.
std::string DescribeBytes(const CProtocolError& error);
