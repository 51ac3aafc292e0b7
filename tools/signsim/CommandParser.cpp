#include "tools/signsim/CommandParser.h"

#include <cstdio>

namespace {

constexpr std::size_t kEntryLength = 11;  // label, type, lock, size (4), type data (4)
constexpr char kEtx = 0x03;

CCommandParse Fail(std::string why) { return CCommandParse{std::nullopt, std::move(why)}; }

CCommandParse Take(CSignCommand command) { return CCommandParse{std::move(command), {}}; }

std::string Quote(char c) {
  if (c >= 0x20 && c <= 0x7E) return std::string("'") + c + "'";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
  return hex;
}

// File labels are printable; "0" is the priority TEXT file, which this
// program's sign never uses and the virtual sign does not keep.
bool IsFileLabel(char c) { return c >= 0x20 && c <= 0x7E && c != '0'; }

bool ParseHex(const std::string& text, int& value) {
  value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * 16 + digit;
  }
  return true;
}

bool ParseLock(char c, bool& locked) {
  if (c != 'U' && c != 'L') return false;
  locked = c == 'L';
  return true;
}

CCommandParse ParseMemoryConfig(const std::string& data) {
  if (data.size() % kEntryLength != 0) {
    return Fail("memory configuration of " + std::to_string(data.size()) +
                " bytes is not a whole number of 11-byte file entries");
  }
  CMemoryConfig config;
  for (std::size_t at = 0; at < data.size(); at += kEntryLength) {
    const std::string entryText = data.substr(at, kEntryLength);
    const std::string which = "memory configuration entry " +
                              std::to_string(at / kEntryLength + 1) + " (" + Quote(entryText[0]) +
                              ")";
    CFileEntry entry;
    entry.label = entryText[0];
    if (!IsFileLabel(entry.label)) return Fail(which + ": not a file label");
    if (entryText[1] == 'A') {
      entry.type = CSignFileType::kText;
    } else if (entryText[1] == 'B') {
      entry.type = CSignFileType::kString;
    } else if (entryText[1] == 'D') {
      return Fail(which + ": DOTS picture files are not supported by this sign");
    } else {
      return Fail(which + ": file type " + Quote(entryText[1]) + " is not A, B or D");
    }
    if (!ParseLock(entryText[2], entry.locked)) {
      return Fail(which + ": keyboard protection " + Quote(entryText[2]) + " is not U or L");
    }
    if (!ParseHex(entryText.substr(3, 4), entry.size)) {
      return Fail(which + ": size \"" + entryText.substr(3, 4) +
                  "\" is not four upper-case hexadecimal digits");
    }
    entry.timing = entryText.substr(7, 4);
    int timing;
    if (!ParseHex(entry.timing, timing)) {
      return Fail(which + ": \"" + entry.timing + "\" is not four upper-case hexadecimal digits");
    }
    config.files.push_back(entry);
  }
  return Take(config);
}

CCommandParse ParseRunSequence(const std::string& data) {
  if (data.size() < 3) return Fail("run sequence without type, protection and files");
  CRunSequence sequence;
  sequence.sequenceType = data[0];
  if (data[0] != 'T' && data[0] != 'S' && data[0] != 'D') {
    return Fail("run sequence type " + Quote(data[0]) + " is not T, S or D");
  }
  if (!ParseLock(data[1], sequence.locked)) {
    return Fail("run sequence keyboard protection " + Quote(data[1]) + " is not U or L");
  }
  sequence.labels = data.substr(2);
  for (char label : sequence.labels) {
    if (!IsFileLabel(label))
      return Fail("run sequence names " + Quote(label) + ", not a file label");
  }
  return Take(sequence);
}

}  // namespace

CCommandParse ParseCommand(const std::string& body) {
  if (body.empty()) return Fail("no command code after STX");
  if (body.find(kEtx) != std::string::npos) {
    return Fail("ETX in a frame: nested or checksummed packets are not supported by this sign");
  }
  const char command = body[0];
  if (command == 'A' || command == 'G') {
    const char* what = command == 'A' ? "write TEXT" : "write STRING";
    if (body.size() < 2) return Fail(std::string(what) + " without a file label");
    if (!IsFileLabel(body[1])) {
      return Fail(std::string(what) + " to " + Quote(body[1]) + ", not a file label");
    }
    if (command == 'A') return Take(CWriteText{body[1], body.substr(2)});
    return Take(CWriteString{body[1], body.substr(2)});
  }
  if (command == 'E') {
    if (body.size() < 2) return Fail("special function without a function code");
    if (body[1] == '$') return ParseMemoryConfig(body.substr(2));
    if (body[1] == '.') return ParseRunSequence(body.substr(2));
    return Fail("special function " + Quote(body[1]) + " is not supported by this sign");
  }
  return Fail("command code " + Quote(command) + " is not supported by this sign");
}
