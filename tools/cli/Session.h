#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct CCliGame;

// One operator action of a session line.
enum class CSessionVerb {
  Team1,  // typing into team 1's abbreviation box
  Team2,  // typing into team 2's abbreviation box
  NewGame,
  SendScore,
  SendNote,
  ClearNote,
  ClearSign,  // the Clear LED Sign menu command
  Add,        // a "+N" score button
  Sub,        // the "-1" score button
  Note,       // typing into the note box
  NoteColor,
  NoteSize,
  Colors,   // the Score Board Options dialog closed with OK
  History,  // prints the scoring history
  Showing,  // prints the Now Showing box
};

struct CSessionAction {
  CSessionVerb verb = CSessionVerb::History;
  std::string text;                // Team1, Team2, Note: Windows-1252
  int charactersLost = 0;          // Note: characters Windows-1252 lacks
  int team = 0;                    // Add, Sub
  int amount = 0;                  // Add, Sub
  std::vector<std::string> names;  // NoteColor, NoteSize: one; Colors: four
};

// Splits a line into words at blanks and tabs. Double quotes group words
// (and "" is an empty word); inside or outside them \" is a quote, \\ a
// backslash, \n a line feed and \t a tab. Sets error for an unterminated
// quote.
std::optional<std::vector<std::string>> SplitSessionLine(const std::string& line,
                                                         std::string& error);

// A line that holds only blanks, or a comment starting with '#'.
bool IsSessionFiller(const std::string& line);

// Parses one action line; on bad input returns nothing and sets error.
std::optional<CSessionAction> ParseSessionAction(const std::string& line, std::string& error);

// Runs one action through the game flow as the form would, printing what
// history and showing ask for on out, and the form's note notice on err.
void ApplySessionAction(CCliGame& cli, const CSessionAction& action, std::ostream& out,
                        std::ostream& err);

// Reads actions from in until its end, starting from the form's start-up
// state (without its settings read and sign clearing). A bad line is
// reported on err and skipped. Returns 0, or 1 when a line was bad.
int RunSession(CCliGame& cli, std::istream& in, std::ostream& out, std::ostream& err);
