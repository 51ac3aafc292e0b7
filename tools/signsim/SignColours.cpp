#include "tools/signsim/SignColours.h"

namespace {

// The mixed and automatic selections have no one colour; the window draws
// them in amber.
constexpr CSignColour kColours[] = {
    {'1', "red", 0xFF2020},       {'2', "green", 0x20E040},      {'3', "amber", 0xFFA000},
    {'4', "dim red", 0x981010},   {'5', "dim green", 0x108828},  {'6', "brown", 0x986020},
    {'7', "orange", 0xFF6A10},    {'8', "yellow", 0xFFF020},     {'9', "rainbow 1", 0xFFA000},
    {'A', "rainbow 2", 0xFFA000}, {'B', "colour mix", 0xFFA000}, {'C', "autocolour", 0xFFA000},
};

}  // namespace

const CSignColour* FindSignColour(char code) {
  for (const CSignColour& colour : kColours) {
    if (colour.code == code) return &colour;
  }
  return nullptr;
}

const CSignColour& DefaultSignColour() { return kColours[0]; }
