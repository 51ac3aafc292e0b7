#pragma once

#include <optional>
#include <string>
#include <vector>

// What the caller asked for on the command line. Texts meant for the sign
// (abbreviations, note) are already Windows-1252; names are as typed.

// Where packets go. Without --dump they are sent with the saved connection
// settings; --port and --usb choose the road, and the line settings override
// the saved serial ones.
struct CRoadOptions {
  bool dump = false;
  std::optional<int> port;
  bool usb = false;
  // --tcp HOST:PORT, a serial device server; --rfc2217 speaks RFC 2217 to it.
  std::optional<std::string> tcpHost;
  int tcpPort = 0;
  bool rfc2217 = false;
  std::optional<int> baudRate;
  std::optional<int> byteSize;
  std::optional<std::string> parity;
  std::optional<int> stopBits;
};

enum class CCliCommand { Help, Version, Clear, Scoreboard, Note, Session };

struct CScoreboardArguments {
  std::string team1Abbrev;
  std::string team2Abbrev;
  int team1Score = 0;
  int team2Score = 0;
  std::string team1NameColor = "Red";
  std::string team1ScoreColor = "Red";
  std::string team2NameColor = "Red";
  std::string team2ScoreColor = "Red";
};

struct CNoteArguments {
  std::string text;
  int charactersLost = 0;  // characters of the argument Windows-1252 lacks
  std::string color = "Red";
  std::string size = "Normal";
};

struct CCommandLine {
  CRoadOptions road;
  CCliCommand command = CCliCommand::Help;
  CScoreboardArguments scoreboard;
  CNoteArguments note;
};

// Parses the arguments that follow the program name. On bad input returns
// nothing and sets error to a sentence that names the offending argument.
std::optional<CCommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error);

// The help text printed by --help.
extern const char* const kUsage;
