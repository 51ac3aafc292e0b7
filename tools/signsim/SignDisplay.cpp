#include "tools/signsim/SignDisplay.h"

#include <cstdio>

#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignModel.h"

namespace {

constexpr char kExtended = 0x08;
constexpr char kStringCall = 0x10;
constexpr char kWideOff = 0x11;
constexpr char kWideOn = 0x12;
constexpr char kEscape = 0x1B;
constexpr char kColourSelect = 0x1C;
constexpr char kSpacingSelect = 0x1E;

std::string Hex(char c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(c));
  return text;
}

class CComposer {
 public:
  CComposer(const CSignModel& model, const CSignCharacters& characters)
      : model_(model), characters_(characters) {}

  CDisplayComposition Compose() {
    bool first = true;
    for (char label : model_.RunSequence().labels) {
      auto file = model_.Files().find(label);
      if (file == model_.Files().end() || file->second.type != CSignFileType::kText) continue;
      if (!first) Add(CDisplayItem::Kind::kNextFile);
      first = false;
      Text(std::string("TEXT file ") + label, file->second.contents);
    }
    return std::move(result_);
  }

 private:
  void Text(const std::string& where, const std::string& contents) {
    for (std::size_t at = 0; at < contents.size(); ++at) {
      const char c = contents[at];
      const bool hasNext = at + 1 < contents.size();
      switch (c) {
        case kEscape:
          if (at + 2 >= contents.size()) {
            Flag(where + ": mode field cut short");
            return;
          }
          result_.display.items.push_back(
              CDisplayItem{CDisplayItem::Kind::kMode, contents[at + 2], contents[at + 1], {}});
          at += 2;
          break;
        case kColourSelect:
          if (!hasNext) return Flag(where + ": colour selection without a colour code");
          ++at;
          if (FindSignColour(contents[at]) == nullptr) {
            Flag(where + ": colour code " + Hex(contents[at]) + " is not a colour");
          } else {
            Add(CDisplayItem::Kind::kColour, contents[at]);
          }
          break;
        case kSpacingSelect:
          if (!hasNext) return Flag(where + ": spacing selection without a spacing code");
          ++at;
          if (contents[at] != '0' && contents[at] != '1') {
            Flag(where + ": spacing code " + Hex(contents[at]) + " is not 0 or 1");
          } else {
            Add(CDisplayItem::Kind::kSpacing, contents[at]);
          }
          break;
        case kWideOn:
          Add(CDisplayItem::Kind::kWideOn);
          break;
        case kWideOff:
          Add(CDisplayItem::Kind::kWideOff);
          break;
        case kStringCall:
          if (!hasNext) return Flag(where + ": STRING call without a file label");
          ++at;
          CallString(where, contents[at]);
          break;
        default:
          Character(where, contents, at);
      }
    }
  }

  void CallString(const std::string& where, char label) {
    auto file = model_.Files().find(label);
    if (file == model_.Files().end()) {
      Flag(where + " calls STRING file " + label + ", which the memory configuration lacks");
    } else if (file->second.type != CSignFileType::kString) {
      Flag(where + " calls STRING file " + label + ", which is configured as a TEXT file");
    } else {
      const std::string stringWhere = std::string("STRING file ") + label;
      const std::string& contents = file->second.contents;
      for (std::size_t at = 0; at < contents.size(); ++at) Character(stringWhere, contents, at);
    }
  }

  // A character, an extended character (08 + code, moving at past the code)
  // or a byte the sign does not show.
  void Character(const std::string& where, const std::string& contents, std::size_t& at) {
    const char c = contents[at];
    if (c >= 0x20 && c <= 0x7E) {
      result_.display.items.push_back(
          CDisplayItem{CDisplayItem::Kind::kCharacter, c, 0, std::string(1, c)});
      return;
    }
    if (c == kExtended) {
      if (at + 1 >= contents.size()) return Flag(where + ": extended character without a code");
      const char code = contents[++at];
      const std::string& text = characters_.Extended(static_cast<std::uint8_t>(code));
      if (!text.empty()) {
        result_.display.items.push_back(
            CDisplayItem{CDisplayItem::Kind::kCharacter, code, 0, text});
        return;
      }
      if (static_cast<std::uint8_t>(code) < 0x20 || static_cast<std::uint8_t>(code) > 0x7F) {
        Flag(where + ": extended character code " + Hex(code) + " is out of range");
      }
      Add(CDisplayItem::Kind::kPlaceholder, code);
      return;
    }
    Flag(where + " holds code " + Hex(c) + ", which the virtual sign does not show");
    Add(CDisplayItem::Kind::kUnshown, c);
  }

  void Add(CDisplayItem::Kind kind, char code = 0) {
    result_.display.items.push_back(CDisplayItem{kind, code, 0, {}});
  }
  void Flag(std::string flag) { result_.flags.push_back(std::move(flag)); }

  const CSignModel& model_;
  const CSignCharacters& characters_;
  CDisplayComposition result_;
};

}  // namespace

CDisplayComposition ComposeDisplay(const CSignModel& model, const CSignCharacters& characters) {
  return CComposer(model, characters).Compose();
}
