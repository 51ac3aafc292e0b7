#include "sign/SignText.h"

#include <algorithm>

#include "sign/CharTable.h"
#include "sign/Windows1252.h"

namespace {

constexpr unsigned char kExtendedPrefix = 0x08;
constexpr int kMaxReferenceDigits = 7;
// A reference above this names a Unicode character rather than a
// Windows-1252 code.
constexpr int kLastWindowsCode = 255;

// The table never changes, so one copy serves every call.
const CharTable& Table() {
  static const CharTable table;
  return table;
}

bool IsPrintableAscii(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

// Appends what the sign shows for the table entry at index; false when there
// is no entry.
bool AppendEntry(int index, std::string& out) {
  if (index < 0) return false;
  const unsigned char code = static_cast<unsigned char>(Table().At(index).protocolCode);
  if (index < CharTable::kExtendedCount) out += static_cast<char>(kExtendedPrefix);
  out += static_cast<char>(code);
  return true;
}

// Appends a typed character; false when the sign cannot show it.
bool AppendTyped(unsigned char byte, std::string& out) {
  if (IsPrintableAscii(byte)) {
    out += static_cast<char>(byte);
    return true;
  }
  // A NUL byte is a control character like any other: a lookup of 0 would
  // otherwise reach the sign-only glyph.
  if (byte == 0) return false;
  const std::int32_t code = Table().Lookup(byte);
  if (code == 0) return false;
  out += static_cast<char>(kExtendedPrefix);
  out += static_cast<char>(code);
  return true;
}

// A reference's value: up to 255 a Windows-1252 code looked up as it stands
// (0 reaches the sign glyph that has no Windows-1252 counterpart); above, a
// Unicode character, sent as that character typed would be.
bool AppendReference(int value, std::string& out) {
  if (value <= kLastWindowsCode) return AppendEntry(Table().IndexOf(value), out);
  const int byte = Windows1252ByteFor(static_cast<char32_t>(value));
  return byte >= 0 && AppendTyped(static_cast<unsigned char>(byte), out);
}

}  // namespace

int EncodeSignText(std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  int dropped = 0;
  const std::size_t size = text.size();
  std::size_t p = 0;
  while (p < size) {
    const unsigned char byte = static_cast<unsigned char>(text[p]);
    if (byte == '&' && p + 2 < size && text[p + 1] == '#' &&
        IsDigit(static_cast<unsigned char>(text[p + 2]))) {
      // "&#" + up to seven digits + one terminating byte, whatever it is.
      // Without digits, "&#" is plain typed text.
      std::size_t q = p + 2;
      int value = 0;
      int digits = 0;
      while (q < size && digits < kMaxReferenceDigits &&
             IsDigit(static_cast<unsigned char>(text[q]))) {
        value = value * 10 + (text[q] - '0');
        ++q;
        ++digits;
      }
      if (!AppendReference(value, out)) ++dropped;
      p = q + 1;
      continue;
    }
    if (!AppendTyped(byte, out)) ++dropped;
    ++p;
  }
  text = std::move(out);
  return dropped;
}

bool SignCanShow(unsigned char windowsByte) {
  std::string scratch;
  return AppendTyped(windowsByte, scratch);
}

bool SignCanShowAll(std::string_view utf8) {
  int outsideCodePage = 0;
  const std::string text = Utf8ToWindows1252(utf8, &outsideCodePage);
  return outsideCodePage == 0 && std::all_of(text.begin(), text.end(), [](char c) {
           return SignCanShow(static_cast<unsigned char>(c));
         });
}

int SignCharacterCount(const std::string& encoded, std::size_t length) {
  int count = 0;
  for (std::size_t i = 0; i < length && i < encoded.size(); ++i) {
    if (static_cast<unsigned char>(encoded[i]) == kExtendedPrefix) ++i;
    ++count;
  }
  return count;
}

void CollapseWhitespace(std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool inRun = false;
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      if (!inRun) out += ' ';
      inRun = true;
    } else {
      out += c;
      inRun = false;
    }
  }
  text = std::move(out);
}
