#pragma once

#include <string>

struct CSignDisplay;

// The display as one line of plain text with markup in braces, for scripts,
// tests and the terminal:
//   {hold} {rotate} {mode X}   the mode field (X: the sign's mode code); a
//                              position other than the middle line follows
//                              the mode: {hold top}, {rotate fill}, ...
//   {red} {green} {amber} {dim red} {dim green} {brown} {orange} {yellow}
//   {rainbow 1} {rainbow 2} {colour mix} {autocolour}
//                              colour selections
//   {fixed} {proportional}     character spacing
//   {wide} ... {/wide}         wide characters on and off
//   {char XX}                  a sign character with no Unicode counterpart
//   {code XX}                  a control byte the virtual sign does not show
//   {next}                     the next TEXT file of the run sequence
//   {blank}                    the whole line when the sign shows nothing
//   {{ }}                      literal braces
// Everything else is the text the sign shows, in UTF-8, with STRING calls
// already replaced by the STRING files' contents.
std::string RenderMarkup(const CSignDisplay& display);
