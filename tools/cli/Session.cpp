#include "tools/cli/Session.h"

#include <map>

#include "sign/Windows1252.h"
#include "tools/cli/ArgumentRules.h"
#include "tools/cli/CliGame.h"

namespace {

// What each action word takes: its verb and the names of its arguments.
struct CActionShape {
  CSessionVerb verb;
  std::vector<const char*> arguments;
};

const std::map<std::string, CActionShape>& ActionShapes() {
  static const std::map<std::string, CActionShape> kShapes = {
      {"team1", {CSessionVerb::Team1, {"TEXT"}}},
      {"team2", {CSessionVerb::Team2, {"TEXT"}}},
      {"newgame", {CSessionVerb::NewGame, {}}},
      {"sendscore", {CSessionVerb::SendScore, {}}},
      {"sendnote", {CSessionVerb::SendNote, {}}},
      {"clearnote", {CSessionVerb::ClearNote, {}}},
      {"clearsign", {CSessionVerb::ClearSign, {}}},
      {"add", {CSessionVerb::Add, {"TEAM", "N"}}},
      {"sub", {CSessionVerb::Sub, {"TEAM", "N"}}},
      {"note", {CSessionVerb::Note, {"TEXT"}}},
      {"notecolor", {CSessionVerb::NoteColor, {"NAME"}}},
      {"notesize", {CSessionVerb::NoteSize, {"SIZE"}}},
      {"colors", {CSessionVerb::Colors, {"NAME1", "SCORE1", "NAME2", "SCORE2"}}},
      {"history", {CSessionVerb::History, {}}},
      {"showing", {CSessionVerb::Showing, {}}},
  };
  return kShapes;
}

// A bad line, or a word of it, is quoted back whole only while that stays
// readable: a pasted page of text is cut to its first characters (never
// inside a UTF-8 character) and marked as cut.
constexpr std::size_t kQuotedLimit = 80;

std::string Quoted(const std::string& text) {
  if (text.size() <= kQuotedLimit) return "\"" + text + "\"";
  std::size_t end = kQuotedLimit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return "\"" + text.substr(0, end) + "\"...";
}

// TEAM and N of the score buttons.
std::string CheckButton(const std::string& verb, const std::vector<std::string>& words,
                        CSessionAction& action) {
  if (words[1] != "1" && words[1] != "2") return "TEAM " + Quoted(words[1]) + " is not 1 or 2";
  action.team = words[1][0] - '0';
  const std::string& amount = words[2];
  if (verb == "sub") {
    if (amount != "1") return "N " + Quoted(amount) + " is not 1";
  } else if (amount != "1" && amount != "2" && amount != "3" && amount != "6") {
    return "N " + Quoted(amount) + " is not 1, 2, 3 or 6";
  }
  action.amount = amount[0] - '0';
  return "";
}

std::string CheckArguments(const std::string& verb, const std::vector<std::string>& words,
                           CSessionAction& action) {
  switch (action.verb) {
    case CSessionVerb::Team1:
    case CSessionVerb::Team2:
    case CSessionVerb::Note: {
      // A NUL read from the input never reaches the sign (the encoder drops
      // it) and no box of the form can hold one; kept, it would cut the Now
      // Showing text short or print raw.
      std::string text = words[1];
      std::erase(text, '\0');
      if (action.verb == CSessionVerb::Note) {
        action.text = Utf8ToWindows1252(text, &action.charactersLost);
        return "";
      }
      action.text = Utf8ToWindows1252(text);
      return CheckAbbreviation(text);
    }
    case CSessionVerb::Add:
    case CSessionVerb::Sub:
      return CheckButton(verb, words, action);
    case CSessionVerb::NoteColor:
    case CSessionVerb::Colors:
      for (std::size_t i = 1; i < words.size(); ++i) {
        std::string reason = CheckColorName(words[i]);
        if (!reason.empty()) return reason;
        action.names.push_back(words[i]);
      }
      return "";
    case CSessionVerb::NoteSize:
      action.names.push_back(words[1]);
      return CheckNoteSize(words[1]);
    default:
      return "";
  }
}

void PrintHistory(const std::string& history, std::ostream& out) {
  std::size_t start = 0;
  while (start < history.size()) {
    std::size_t end = history.find('\n', start);
    if (end == std::string::npos) end = history.size();
    out << "history " << Windows1252ToUtf8(history.substr(start, end - start)) << '\n';
    start = end + 1;
  }
}

}  // namespace

std::optional<std::vector<std::string>> SplitSessionLine(const std::string& line,
                                                         std::string& error) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      char next = line[i + 1];
      const char* escaped = next == '"'    ? "\""
                            : next == '\\' ? "\\"
                            : next == 'n'  ? "\n"
                            : next == 't'  ? "\t"
                                           : nullptr;
      if (escaped != nullptr) {
        word += escaped;
        inWord = true;
        ++i;
        continue;
      }
    }
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) {
    error = "unterminated double quote";
    return std::nullopt;
  }
  if (inWord) words.push_back(word);
  return words;
}

bool IsSessionFiller(const std::string& line) {
  std::size_t first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == '#';
}

std::optional<CSessionAction> ParseSessionAction(const std::string& line, std::string& error) {
  std::optional<std::vector<std::string>> words = SplitSessionLine(line, error);
  if (!words) return std::nullopt;
  if (words->empty()) {
    error = "no action";
    return std::nullopt;
  }
  const std::string& verb = words->front();
  auto shape = ActionShapes().find(verb);
  if (shape == ActionShapes().end()) {
    error = "unknown action " + Quoted(verb);
    return std::nullopt;
  }
  const std::vector<const char*>& arguments = shape->second.arguments;
  std::size_t given = words->size() - 1;
  if (given < arguments.size()) {
    error = verb + ": missing " + arguments[given];
    return std::nullopt;
  }
  if (given > arguments.size()) {
    error = verb + ": unexpected argument " + Quoted((*words)[arguments.size() + 1]);
    return std::nullopt;
  }
  CSessionAction action;
  action.verb = shape->second.verb;
  std::string reason = CheckArguments(verb, *words, action);
  if (!reason.empty()) {
    error = verb + ": " + reason;
    return std::nullopt;
  }
  return action;
}

void ApplySessionAction(CCliGame& cli, const CSessionAction& action, std::ostream& out,
                        std::ostream& err) {
  CScoreboardGame& game = cli.game;
  CRavelleDoc& doc = cli.doc;
  switch (action.verb) {
    case CSessionVerb::Team1:
      game.TypeTeam1(action.text);
      break;
    case CSessionVerb::Team2:
      game.TypeTeam2(action.text);
      break;
    case CSessionVerb::NewGame:
      game.NewGame();
      break;
    case CSessionVerb::SendScore:
      game.SendScore();
      break;
    case CSessionVerb::SendNote:
      game.SendNote();
      // The form's quiet line under the note, for the script's operator.
      if (!game.State().noteNotice.empty()) {
        err << "ravelle-cli: " << Windows1252ToUtf8(game.State().noteNotice) << '\n';
      }
      break;
    case CSessionVerb::ClearNote:
      game.ClearNote();
      break;
    case CSessionVerb::ClearSign:
      game.ClearSign();
      break;
    case CSessionVerb::Add:
      game.PressAdd(action.team, action.amount);
      break;
    case CSessionVerb::Sub:
      game.PressSubtract(action.team, action.amount);
      break;
    case CSessionVerb::Note:
      game.TypeNote(action.text, action.charactersLost);
      break;
    case CSessionVerb::NoteColor:
      game.SelectNoteColor(action.names[0]);
      break;
    case CSessionVerb::NoteSize:
      game.SelectNoteSize(action.names[0]);
      break;
    case CSessionVerb::Colors:
      // Score Board Options closed with OK: team 1's name and score colours,
      // then team 2's. They reach the sign with the next full scoreboard.
      doc.team1NameColor = action.names[0];
      doc.team1ScoreColor = action.names[1];
      doc.team2NameColor = action.names[2];
      doc.team2ScoreColor = action.names[3];
      break;
    case CSessionVerb::History:
      PrintHistory(doc.history, out);
      break;
    case CSessionVerb::Showing:
      out << "showing " << Windows1252ToUtf8(game.State().nowShowing) << '\n';
      break;
  }
}

int RunSession(CCliGame& cli, std::istream& in, std::ostream& out, std::ostream& err) {
  cli.game.ResetForm();
  int status = 0;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsSessionFiller(line)) continue;
    std::string error;
    std::optional<CSessionAction> action = ParseSessionAction(line, error);
    if (!action) {
      err << "ravelle-cli: line " << number << " " << Quoted(line) << ": " << error << '\n';
      status = 1;
      continue;
    }
    ApplySessionAction(cli, *action, out, err);
  }
  return status;
}
