#include "tools/cli/CommandLine.h"

#include <map>

#include "game/ScoreboardGame.h"
#include "sign/Windows1252.h"
#include "tools/cli/ArgumentRules.h"

const char* const kUsage =
    "Usage: ravelle-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  clear                               blank the sign\n"
    "  scoreboard ABBR1 ABBR2 [--scores N1 N2] [--colors NAME1 SCORE1 NAME2 SCORE2]\n"
    "                                      send the full scoreboard (scores 0, colours Red\n"
    "                                      unless given; abbreviations keep 3 characters)\n"
    "  note TEXT [--color NAME] [--size Normal|Giant]\n"
    "                                      put a note on the sign\n"
    "  session                             run operator actions read from standard input\n"
    "\n"
    "Options:\n"
    "  --dump            print every packet as hex instead of sending it\n"
    "  --port N          send over serial port N (on Windows COMN; on Linux its device\n"
    "                    is $RAVELLE_COMN, the saved port map, else /dev/ttyS<N-1>)\n"
    "  --usb             send over USB to a BetaBrite Prism\n"
    "  --tcp HOST:PORT   send through a serial device server on the network, raw:\n"
    "                    the server's own line settings apply\n"
    "  --rfc2217         with --tcp: set the line and send the break over RFC 2217\n"
    "  --baud N, --bits 7|8, --parity none|even|odd, --stop-bits 1|2\n"
    "                    override the saved serial settings\n"
    "  --help            show this text\n"
    "  --version         print the version\n"
    "\n"
    "Without --port, --usb or --tcp the saved connection settings choose the road.\n"
    "Colours: Red, Green, Amber, \"Dim Red\", \"Dim Green\", Brown, Orange, Yellow.\n"
    "\n"
    "Session actions, one a line (double quotes group words):\n"
    "  team1 TEXT, team2 TEXT, newgame, sendscore, sendnote, clearnote, clearsign,\n"
    "  add TEAM 1|2|3|6, sub TEAM 1, note TEXT, notecolor NAME, notesize Normal|Giant,\n"
    "  colors NAME1 SCORE1 NAME2 SCORE2, history, showing\n"
    "\n"
    "Exit status: 0 done, 1 a send failed or a session line was bad, 2 bad command line.\n";

namespace {

// Walks the arguments; every option takes its values from here.
class CArgumentReader {
 public:
  explicit CArgumentReader(const std::vector<std::string>& args) : args_(args) {}

  bool AtEnd() const { return next_ >= args_.size(); }
  const std::string& Take() { return args_[next_++]; }

  // The value of option; sets error when it is missing.
  bool TakeValue(const std::string& option, std::string& value, std::string& error) {
    if (AtEnd()) {
      error = option + ": missing argument";
      return false;
    }
    value = Take();
    return true;
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
};

bool TakeInteger(CArgumentReader& reader, const std::string& option, int low, int high,
                 const char* meaning, std::optional<int>& target, std::string& error) {
  std::string word;
  if (!reader.TakeValue(option, word, error)) return false;
  std::optional<int> value = ParseInteger(word);
  if (!value || *value < low || *value > high) {
    error = option + ": \"" + word + "\" is not " + meaning;
    return false;
  }
  target = *value;
  return true;
}

bool TakeScore(CArgumentReader& reader, const std::string& option, int& score, std::string& error) {
  std::string word;
  if (!reader.TakeValue(option, word, error)) return false;
  std::string reason = CheckScore(word, score);
  if (!reason.empty()) error = option + ": " + reason;
  return reason.empty();
}

bool TakeColor(CArgumentReader& reader, const std::string& option, std::string& color,
               std::string& error) {
  if (!reader.TakeValue(option, color, error)) return false;
  std::string reason = CheckColorName(color);
  if (!reason.empty()) error = option + ": " + reason;
  return reason.empty();
}

// HOST:PORT, or [IPV6]:PORT.
bool TakeDeviceServer(CArgumentReader& reader, const std::string& option, CRoadOptions& road,
                      std::string& error) {
  std::string word;
  if (!reader.TakeValue(option, word, error)) return false;
  const std::size_t colon = word.rfind(':');
  std::string host = colon == std::string::npos ? std::string() : word.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  std::optional<int> port =
      colon == std::string::npos ? std::nullopt : ParseInteger(word.substr(colon + 1));
  if (host.empty() || !port || *port < 1 || *port > 65535) {
    error = option + ": \"" + word + "\" is not HOST:PORT (a port from 1 to 65535)";
    return false;
  }
  road.tcpHost = host;
  road.tcpPort = *port;
  return true;
}

// The options that choose and set up the road; accepted anywhere.
bool TakeRoadOption(const std::string& option, CArgumentReader& reader, CRoadOptions& road,
                    std::string& error) {
  if (option == "--dump") {
    road.dump = true;
  } else if (option == "--usb") {
    road.usb = true;
  } else if (option == "--tcp") {
    return TakeDeviceServer(reader, option, road, error);
  } else if (option == "--rfc2217") {
    road.rfc2217 = true;
  } else if (option == "--port") {
    return TakeInteger(reader, option, 1, 255, "a port number (1 to 255)", road.port, error);
  } else if (option == "--baud") {
    return TakeInteger(reader, option, 1, 4000000, "a baud rate", road.baudRate, error);
  } else if (option == "--bits") {
    return TakeInteger(reader, option, 7, 8, "7 or 8 data bits", road.byteSize, error);
  } else if (option == "--stop-bits") {
    return TakeInteger(reader, option, 1, 2, "1 or 2 stop bits", road.stopBits, error);
  } else if (option == "--parity") {
    std::string parity;
    if (!reader.TakeValue(option, parity, error)) return false;
    if (parity != "none" && parity != "even" && parity != "odd") {
      error = option + ": \"" + parity + "\" is not none, even or odd";
      return false;
    }
    road.parity = parity;
  } else {
    return false;
  }
  return true;
}

bool IsRoadOption(const std::string& option) {
  return option == "--dump" || option == "--usb" || option == "--tcp" || option == "--rfc2217" ||
         option == "--port" || option == "--baud" || option == "--bits" ||
         option == "--stop-bits" || option == "--parity";
}

// The options of the commands.
bool TakeCommandOption(const std::string& option, CArgumentReader& reader, CCommandLine& line,
                       std::string& error) {
  CScoreboardArguments& board = line.scoreboard;
  if (line.command == CCliCommand::Scoreboard && option == "--scores") {
    return TakeScore(reader, option, board.team1Score, error) &&
           TakeScore(reader, option, board.team2Score, error);
  }
  if (line.command == CCliCommand::Scoreboard && option == "--colors") {
    return TakeColor(reader, option, board.team1NameColor, error) &&
           TakeColor(reader, option, board.team1ScoreColor, error) &&
           TakeColor(reader, option, board.team2NameColor, error) &&
           TakeColor(reader, option, board.team2ScoreColor, error);
  }
  if (line.command == CCliCommand::Note && option == "--color") {
    return TakeColor(reader, option, line.note.color, error);
  }
  if (line.command == CCliCommand::Note && option == "--size") {
    if (!reader.TakeValue(option, line.note.size, error)) return false;
    std::string reason = CheckNoteSize(line.note.size);
    if (!reason.empty()) error = option + ": " + reason;
    return reason.empty();
  }
  error = "unknown option \"" + option + "\"";
  return false;
}

bool SetCommand(const std::string& word, CCommandLine& line, std::string& error) {
  static const std::map<std::string, CCliCommand> kCommands = {
      {"clear", CCliCommand::Clear},
      {"scoreboard", CCliCommand::Scoreboard},
      {"note", CCliCommand::Note},
      {"session", CCliCommand::Session},
  };
  auto found = kCommands.find(word);
  if (found == kCommands.end()) {
    error = "unknown command \"" + word + "\"";
    return false;
  }
  line.command = found->second;
  return true;
}

// Places the command's plain arguments: the abbreviations or the note text,
// converted to the document's code page and cut to their box's limit.
bool SetOperands(const std::string& command, const std::vector<std::string>& operands,
                 CCommandLine& line, std::string& error) {
  std::vector<const char*> names;
  if (line.command == CCliCommand::Scoreboard) names = {"ABBR1", "ABBR2"};
  if (line.command == CCliCommand::Note) names = {"TEXT"};
  if (operands.size() < names.size()) {
    error = command + ": missing " + names[operands.size()];
    return false;
  }
  if (operands.size() > names.size()) {
    error = command + ": unexpected argument \"" + operands[names.size()] + "\"";
    return false;
  }
  if (line.command == CCliCommand::Scoreboard) {
    std::string* boxes[2] = {&line.scoreboard.team1Abbrev, &line.scoreboard.team2Abbrev};
    for (int i = 0; i < 2; ++i) {
      const std::string refused = CheckAbbreviation(operands[i]);
      if (!refused.empty()) {
        error = command + ": " + names[i] + " " + refused;
        return false;
      }
      *boxes[i] = Utf8ToWindows1252(operands[i]).substr(0, CScoreboardGame::kAbbreviationLimit);
      // The form refuses to send a scoreboard with an empty abbreviation; a
      // script is told before anything is sent.
      if (boxes[i]->empty()) {
        error = command + ": " + names[i] +
                (operands[i].empty() ? std::string(" is empty")
                                     : " \"" + operands[i] + "\" has no character to show");
        return false;
      }
    }
  }
  if (line.command == CCliCommand::Note) {
    line.note.text = Utf8ToWindows1252(operands[0], &line.note.charactersLost)
                         .substr(0, CScoreboardGame::kNoteLimit);
  }
  return true;
}

}  // namespace

std::optional<CCommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error) {
  CCommandLine line;
  CArgumentReader reader(args);
  std::string command;
  std::vector<std::string> operands;
  bool optionsEnded = false;
  while (!reader.AtEnd()) {
    const std::string& word = reader.Take();
    if (!optionsEnded && (word == "--help" || word == "-h")) {
      line.command = CCliCommand::Help;
      return line;
    }
    if (!optionsEnded && word == "--version") {
      line.command = CCliCommand::Version;
      return line;
    }
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && word.rfind("--", 0) == 0) {
      if (IsRoadOption(word)) {
        if (!TakeRoadOption(word, reader, line.road, error)) return std::nullopt;
      } else if (command.empty()) {
        error = "unknown option \"" + word + "\"";
        return std::nullopt;
      } else if (!TakeCommandOption(word, reader, line, error)) {
        return std::nullopt;
      }
    } else if (command.empty()) {
      if (!SetCommand(word, line, error)) return std::nullopt;
      command = word;
    } else {
      operands.push_back(word);
    }
  }
  if (command.empty()) {
    error = "missing command (clear, scoreboard, note or session)";
    return std::nullopt;
  }
  if (!SetOperands(command, operands, line, error)) return std::nullopt;

  const CRoadOptions& road = line.road;
  bool lineSettings = road.baudRate || road.byteSize || road.parity || road.stopBits;
  if (road.dump && (road.port || road.usb || road.tcpHost || lineSettings)) {
    error = "--dump sends nothing and takes no --port, --usb, --tcp or line settings";
    return std::nullopt;
  }
  if (road.usb && (road.port || road.tcpHost || lineSettings)) {
    error = "--usb takes no --port, --tcp or serial line settings";
    return std::nullopt;
  }
  if (road.tcpHost && road.port) {
    error = "--tcp and --port are two roads; choose one";
    return std::nullopt;
  }
  if (road.rfc2217 && !road.tcpHost) {
    error = "--rfc2217 needs --tcp HOST:PORT";
    return std::nullopt;
  }
  return line;
}
