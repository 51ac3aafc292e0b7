#pragma once

#include <string>
#include <string_view>
#include <vector>

// One box of a dialog as the operator sees it, whatever toolkit draws it:
// what it shows and whether it takes input. For a drop-down list, text is
// the selected entry ("" while none is selected; " " is an entry of its
// own); for a drop-down with an edit field it is the field's text. Texts are
// Windows-1252 unless the box says otherwise.
struct CDialogBox {
  std::string text;
  bool enabled = true;
};

// The list's prefix search: the first entry that begins with prefix,
// compared without regard to case; nullptr when none does. An empty prefix
// matches nothing.
const std::string* FindEntryByPrefix(const std::vector<std::string>& entries,
                                     std::string_view prefix);

// The decimal reading of typed text: leading white space skipped, an
// optional sign, digits up to the first non-digit; 0 without digits. A
// number beyond the int range is held at its end rather than wrapping round.
int IntegerValue(std::string_view text);
