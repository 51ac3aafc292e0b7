#include "sign/SignText.h"

#include "sign/CharTable.h"

namespace {

constexpr unsigned char kExtendedPrefix = 0x08;
constexpr int kMaxReferenceDigits = 7;

// Appends what the sign shows for the table entry at index, if any.
void AppendEntry(const CharTable& table, int index, std::string& out) {
  if (index < 0) return;
  const unsigned char code = static_cast<unsigned char>(table.At(index).protocolCode);
  if (index < CharTable::kExtendedCount) out += static_cast<char>(kExtendedPrefix);
  out += static_cast<char>(code);
}

bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

void EncodeSignText(std::string& text) {
  // The table never changes, so one copy serves every call.
  static const CharTable table;

  std::string out;
  out.reserve(text.size() * 2);
  const std::size_t size = text.size();
  std::size_t p = 0;
  while (p < size) {
    const unsigned char byte = static_cast<unsigned char>(text[p]);
    if (byte == '&' && p + 1 < size && text[p + 1] == '#') {
      // "&#" + up to seven digits + one terminating byte, whatever it is. A
      // reference to an extended character goes out exactly as that
      // character typed would; value 0 (also "&#;") reaches the sign glyph
      // that has no Windows-1252 counterpart.
      std::size_t q = p + 2;
      int value = 0;
      int digits = 0;
      while (q < size && digits < kMaxReferenceDigits &&
             IsDigit(static_cast<unsigned char>(text[q]))) {
        value = value * 10 + (text[q] - '0');
        ++q;
        ++digits;
      }
      AppendEntry(table, table.IndexOf(value % 256), out);
      p = q + 1;
      continue;
    }
    if (byte >= 0x20 && byte <= 0x7E) {
      out += static_cast<char>(byte);
    } else if (byte != 0) {
      // Control characters find nothing; Windows characters the sign has
      // become 08 + its code. A NUL byte is dropped as the control character
      // it is (a lookup of 0 would otherwise reach the sign-only glyph).
      const std::int32_t code = table.Lookup(byte);
      if (code != 0) {
        out += static_cast<char>(kExtendedPrefix);
        out += static_cast<char>(code);
      }
    }
    ++p;
  }
  text = std::move(out);
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
