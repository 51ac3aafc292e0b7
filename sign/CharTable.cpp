#include "sign/CharTable.h"

namespace {

// The sign's extended characters, in the order the sign numbers them. Rows
// with all zeros apart from the sign's code are glyphs that Windows-1252 has
// no character for; they can still be reached by a numeric reference of 0.
const CharTable::Entry kExtendedCharacters[CharTable::kExtendedCount] = {
    {0x20, 128, 199, 6, 7, 12},  // Ç
    {0x21, 129, 252, 6, 7, 12},  // ü
    {0x22, 130, 233, 6, 7, 12},  // é
    {0x23, 131, 226, 6, 7, 12},  // â
    {0x24, 132, 228, 6, 7, 12},  // ä
    {0x25, 133, 224, 6, 7, 12},  // à
    {0x26, 134, 229, 6, 7, 12},  // å
    {0x27, 135, 231, 5, 6, 10},  // ç
    {0x28, 136, 234, 6, 7, 12},  // ê
    {0x29, 137, 235, 6, 7, 12},  // ë
    {0x2A, 138, 232, 6, 7, 12},  // è
    {0x2B, 139, 239, 5, 6, 10},  // ï
    {0x2C, 140, 238, 5, 6, 10},  // î
    {0x2D, 141, 236, 5, 6, 10},  // ì
    {0x2E, 142, 196, 6, 7, 12},  // Ä
    {0x2F, 143, 197, 6, 7, 12},  // Å
    {0x30, 144, 201, 5, 6, 10},  // É
    {0x31, 145, 230, 6, 7, 12},  // æ
    {0x32, 146, 198, 6, 7, 12},  // Æ
    {0x33, 147, 244, 6, 7, 12},  // ô
    {0x34, 148, 246, 6, 7, 12},  // ö
    {0x35, 149, 242, 6, 7, 12},  // ò
    {0x36, 150, 251, 6, 7, 12},  // û
    {0x37, 151, 249, 6, 7, 12},  // ù
    {0x38, 152, 255, 6, 7, 12},  // ÿ
    {0x39, 153, 214, 6, 7, 12},  // Ö
    {0x3A, 154, 220, 6, 7, 12},  // Ü
    {0x3B, 155, 162, 6, 7, 12},  // ¢
    {0x3C, 156, 163, 6, 7, 12},  // £
    {0x3D, 157, 165, 6, 7, 12},  // ¥
    {0x3E, 0, 0, 0, 0, 0},       // no Windows-1252 counterpart
    {0x3F, 159, 131, 6, 7, 12},  // ƒ
    {0x40, 160, 225, 6, 7, 12},  // á
    {0x41, 161, 237, 5, 6, 10},  // í
    {0x42, 162, 243, 6, 7, 12},  // ó
    {0x43, 163, 250, 6, 7, 12},  // ú
    {0x44, 164, 241, 6, 7, 12},  // ñ
    {0x45, 165, 209, 6, 7, 12},  // Ñ
    {0x46, 166, 170, 6, 7, 12},  // ª
    {0x47, 167, 186, 6, 7, 12},  // º
    {0x48, 168, 191, 6, 7, 12},  // ¿
    {0x49, 248, 176, 5, 6, 10},  // °
    {0x4A, 173, 161, 4, 5, 8},   // ¡
    {0x4C, 237, 248, 6, 7, 12},  // ø
    {0x4D, 233, 216, 6, 7, 12},  // Ø
    {0x57, 225, 223, 6, 7, 12},  // ß
    {0x58, 0, 0, 0, 0, 0},       // no Windows-1252 counterpart
    {0x59, 0, 0, 0, 0, 0},       // no Windows-1252 counterpart
    {0x5A, 0, 193, 6, 7, 12},    // Á
    {0x5B, 0, 192, 6, 7, 12},    // À
    {0x5C, 0, 0, 0, 0, 0},       // no Windows-1252 counterpart
    {0x5D, 0, 0, 0, 0, 0},       // no Windows-1252 counterpart
    {0x5E, 0, 202, 5, 6, 10},    // Ê: a second É here could never be reached
    {0x5F, 0, 205, 5, 6, 10},    // Í
    {0x60, 0, 213, 6, 7, 12},    // Õ
    {0x61, 0, 245, 6, 7, 12},    // õ
};

// Widths of the printable ASCII characters, grouped as the sign's font
// draws them. Every code from 32 to 125 is in exactly one group.
struct WidthGroup {
  std::int32_t width1;
  std::int32_t width2;
  std::int32_t width3;
  const char* characters;
};

const WidthGroup kAsciiWidths[] = {
    {4, 5, 8, " !'(),-.;I[]i{}`"},
    {6, 7, 12, "\"#$%&*+/0234568?ABCDGHJKNOPQRSTUVXYZ\\^_abdefghjknopqrsvxyz@"},
    {5, 6, 10, "1<=>EFLt"},
    {6, 6, 12, "79"},
    {3, 4, 6, ":|"},
    {6, 8, 12, "MWmw"},
    {6, 6, 10, "c"},
    {4, 6, 8, "l"},
    {6, 5, 12, "u"},
};

constexpr int kFirstAscii = 32;  // space
constexpr int kLastAscii = 125;  // '}'; the sign has no '~' entry

const WidthGroup& GroupOf(int code) {
  for (const WidthGroup& group : kAsciiWidths) {
    for (const char* c = group.characters; *c != '\0'; ++c) {
      if (*c == code) return group;
    }
  }
  // Unreachable: the groups above cover every code from 32 to 125.
  return kAsciiWidths[0];
}

}  // namespace

CharTable::CharTable() {
  for (const Entry& e : kExtendedCharacters) {
    AddEntry(e.protocolCode, e.cp437Code, e.windowsCode, e.width1, e.width2, e.width3);
  }
  for (int code = kFirstAscii; code <= kLastAscii; ++code) {
    const WidthGroup& group = GroupOf(code);
    AddEntry(code, code, code, group.width1, group.width2, group.width3);
  }
}

void CharTable::AddEntry(std::int32_t protocolCode, std::int32_t cp437Code,
                         std::int32_t windowsCode, std::int32_t width1, std::int32_t width2,
                         std::int32_t width3) {
  if (count_ >= kCapacity) return;
  entries_[count_++] = Entry{protocolCode, cp437Code, windowsCode, width1, width2, width3};
}

int CharTable::IndexOf(std::int32_t windowsCode) const {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].windowsCode == windowsCode) return i;
  }
  return -1;
}

std::int32_t CharTable::Lookup(std::int32_t windowsCode) const {
  int index = IndexOf(windowsCode);
  return index < 0 ? 0 : entries_[index].protocolCode;
}
