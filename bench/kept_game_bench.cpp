// Host time of keeping the game after one score press: the whole game
// formatted and written to a temporary file, flushed to the disk and renamed
// over the kept file. Measured for a game early on (no history), one of a
// usual length (200 history lines) and a very long one (2000 lines and
// notes). Goal: under 1 ms for a usual game, well under 5 % of a score
// press's 31 ms of line time. The flush dominates and depends on the disk
// under $TMPDIR and what else writes to it; the label says how much of the
// time the format takes (TMPDIR=/dev/shm leaves the format alone).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "game/KeptGame.h"

namespace {

CKeptGameRecord GameWithHistory(int lines) {
  CKeptGameRecord game;
  game.fields.team1Abbrev = "HOM";
  game.fields.team2Abbrev = "VIS";
  game.fields.team1Score = 45;
  game.fields.team2Score = 38;
  game.showing = CShowing::Scoreboard;
  game.lastChange.tm_year = 126;
  game.lastChange.tm_mday = 5;
  for (int i = 0; i < lines; ++i) {
    game.fields.history += i % 50 == 49 ? "  20:15:07 -- Note :: Half time, back in ten minutes\n"
                                        : "  20:15:07 -- HOM ::  3\n";
  }
  return game;
}

void BM_KeepOnePress(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "ravelle-bench-XXXXXX").string();
  const std::filesystem::path folder = mkdtemp(pattern.data());
  const CKeptGame kept(folder / "ravelle" / "game");
  CKeptGameRecord game = GameWithHistory(static_cast<int>(state.range(0)));
  std::string problem;
  for (auto _ : state) {
    ++game.fields.team1Score;
    game.fields.team1Score %= 1000;
    if (!kept.Keep(game, problem)) state.SkipWithError(problem.c_str());
  }
  const auto start = std::chrono::steady_clock::now();
  constexpr int kFormats = 100;
  for (int i = 0; i < kFormats; ++i) benchmark::DoNotOptimize(FormatKeptGame(game));
  const std::chrono::duration<double, std::micro> format =
      (std::chrono::steady_clock::now() - start) / kFormats;
  state.SetLabel("format " + std::to_string(static_cast<int>(format.count())) + " us");
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KeepOnePress)->Arg(0)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
