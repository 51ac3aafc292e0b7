#pragma once

#include <string>
#include <vector>

class CSignCharacters;
class CSignModel;

// One element of what the sign shows, in the order the sign meets it.
struct CDisplayItem {
  enum class Kind {
    kMode,         // ESC mode field: position and mode code
    kColour,       // 1C + colour code
    kSpacing,      // 1E + '0' proportional or '1' fixed width
    kWideOn,       // 12
    kWideOff,      // 11
    kCharacter,    // text holds the character in UTF-8
    kPlaceholder,  // 08 + a code with no known character; code holds it
    kUnshown,      // a control byte the virtual sign does not show; code holds it
    kNextFile,     // the next TEXT file of the run sequence begins
  };
  Kind kind = Kind::kCharacter;
  char code = 0;
  char position = 0;
  std::string text;
  bool operator==(const CDisplayItem&) const = default;
};

struct CSignDisplay {
  std::vector<CDisplayItem> items;
  bool operator==(const CSignDisplay&) const = default;
};

struct CDisplayComposition {
  CSignDisplay display;
  std::vector<std::string> flags;  // what a real sign would not show as written
};

// What the sign shows now: the TEXT files of the run sequence, in order, with
// their STRING calls resolved to the STRING files' current contents.
CDisplayComposition ComposeDisplay(const CSignModel& model, const CSignCharacters& characters);
