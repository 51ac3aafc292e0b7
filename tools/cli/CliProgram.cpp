#include "tools/cli/CliProgram.h"

#include "res/Version.h"
#include "sign/SignMessages.h"
#include "tools/cli/CliGame.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/PacketDump.h"
#include "tools/cli/Session.h"

namespace {

class CDumpRoad : public CCliRoad {
 public:
  explicit CDumpRoad(std::ostream& out) : dump_(out) {}
  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    dump_.SendToSign(comPort, bytes, length);
  }
  bool SendFailed() const override { return false; }

 private:
  CDumpSink dump_;
};

// A full scoreboard as Send Score makes it, from the arguments instead of
// the form's boxes.
void SendScoreboard(CCliGame& cli, const CScoreboardArguments& board) {
  CRavelleDoc& doc = cli.doc;
  doc.team1Abbrev = board.team1Abbrev;
  doc.team2Abbrev = board.team2Abbrev;
  doc.team1Score = board.team1Score;
  doc.team2Score = board.team2Score;
  doc.team1NameColor = board.team1NameColor;
  doc.team1ScoreColor = board.team1ScoreColor;
  doc.team2NameColor = board.team2NameColor;
  doc.team2ScoreColor = board.team2ScoreColor;
  cli.game.SetScoreMode(1);
  cli.game.SetLastSpacer("");
  cli.game.Messages().SendScoreboard();
}

void SendNote(CCliGame& cli, const CNoteArguments& note, std::ostream& err) {
  cli.doc.noteText = note.text;
  cli.doc.noteColor = note.color;
  cli.doc.noteSize = note.size;
  cli.game.SetScoreMode(0);
  CNoteFit fit = cli.game.Messages().SendNote();
  fit.charactersLeftOut += note.charactersLost;
  const std::string notice = NoteFitNotice(fit);
  if (!notice.empty()) err << "ravelle-cli: " << notice << '\n';
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CRoadOpener& openSignRoad) {
  std::string error;
  std::optional<CCommandLine> line = ParseCommandLine(args, error);
  if (!line) {
    err << "ravelle-cli: " << error << "\nTry 'ravelle-cli --help'.\n";
    return 2;
  }
  if (line->command == CCliCommand::Help) {
    out << kUsage;
    return 0;
  }
  if (line->command == CCliCommand::Version) {
    out << "ravelle-cli " << kRavelleVersion << '\n';
    return 0;
  }

  CCliGame cli(out);
  std::unique_ptr<CCliRoad> road;
  if (line->road.dump) {
    road = std::make_unique<CDumpRoad>(out);
  } else {
    road = openSignRoad(cli, line->road, out, err);
    if (!road) return 1;
  }
  cli.socket.Plug(*road);

  int status = 0;
  switch (line->command) {
    case CCliCommand::Clear:
      cli.game.ClearSign();
      break;
    case CCliCommand::Scoreboard:
      SendScoreboard(cli, line->scoreboard);
      break;
    case CCliCommand::Note:
      SendNote(cli, line->note, err);
      break;
    case CCliCommand::Session:
      status = RunSession(cli, in, out, err);
      break;
    case CCliCommand::Help:
    case CCliCommand::Version:
      break;
  }
  return road->SendFailed() ? 1 : status;
}
