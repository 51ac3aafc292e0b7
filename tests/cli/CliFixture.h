#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/ProgramRun.h"
#include "tests/support/RecordingSink.h"

// Runs the built ravelle-cli with a settings store of its own, so no test
// touches the real user's settings.
class CliFixture : public ::testing::Test {
 protected:
  CliFixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ravelle-cli-XXXXXX").string();
    configHome_ = mkdtemp(pattern.data());
  }
  ~CliFixture() override { std::filesystem::remove_all(configHome_); }

  CProgramRun Cli(const std::vector<std::string>& args, const std::string& input = "",
                  std::map<std::string, std::string> env = {}, int alsoReadFd = -1) {
    env["XDG_CONFIG_HOME"] = configHome_;
    return RunProgram(RAVELLE_CLI_PATH, args, input, env, alsoReadFd);
  }

  const std::string& ConfigHome() const { return configHome_; }

 private:
  std::string configHome_;
};

using Bytes = std::vector<unsigned char>;

// The --dump line of a packet.
inline std::string PacketLine(const Bytes& packet) { return "packet " + HexBytes(packet) + "\n"; }

inline Bytes RunSequence() {
  return Framed(
      "\x01Z00\x02"
      "E.SLA\x04");
}

inline Bytes EmptyText() {
  return Framed(
      "\x01Z00\x02"
      "AA\x04");
}

inline Bytes MemoryConfig(const std::string& hexSize) {
  return Framed(
      "\x01Z00\x02"
      "E$AAU" +
      hexSize + "FF001BL000300002BL000300003BL00030000\x04");
}

inline Bytes StringPacket(char label, const std::string& text) {
  return Framed(std::string("\x01Z00\x02G") + label + text + "\x04");
}

// The --dump lines of ClearSign.
inline std::string ClearSignLines() {
  return PacketLine(MemoryConfig("001C")) + PacketLine(EmptyText()) + PacketLine(RunSequence());
}

// The nine --dump lines of a full scoreboard of HOM and VIS at 0 : 0; the
// colour digits name, score, name, score.
inline std::string HomVisScoreboardLines(const std::string& colours = "1111") {
  return ClearSignLines() + PacketLine(MemoryConfig("0035")) + PacketLine(StringPacket('3', "  ")) +
         PacketLine(StringPacket('1', " 0")) + PacketLine(StringPacket('2', " 0")) +
         PacketLine(Framed(std::string("\x01Z00\x02") + "AA\x1B b\x1E" + "1\x1C" + colours[0] +
                           "HOM\x1C" + colours[1] + "\x10" + "1\x10" + "3\x1C" + colours[2] +
                           "VIS\x1C" + colours[3] + "\x10" + "2\x04")) +
         PacketLine(RunSequence());
}
