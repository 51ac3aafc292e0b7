// Host time of the settings reads a send makes: one serial packet looks up
// its port's device (one read and parse of the settings file), and the
// command line reads the saved connection once. Measured on the file as the
// program writes it and on the largest file it still reads (1 MiB, mostly
// comments). Goal, in an optimised build: a packet's lookup costs under
// 5 % of the shortest packet's line time (a 30-byte score packet at 9600
// baud: 31 ms), so under 1.5 ms even at the size limit; a file as the
// program writes it, a small fraction of that.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game/RavelleDoc.h"
#include "link/ComPortMap.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"

namespace {

// A settings store of its own, with the saved connection and a port map,
// padded with comment lines up to `size` bytes when that is larger.
class CBenchStore {
 public:
  explicit CBenchStore(std::size_t size) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ravelle-bench-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    unsetenv("RAVELLE_COM1");
    CRegistryAccess registry;
    CCommSettings settings{"alpha", kConnectionSerialClassic, 1, 9600, 7, "even", 1};
    SaveCommSettings(settings, registry);
    SaveComPortDevice(1, "/dev/serial/by-id/usb-FTDI_sign");
    const std::filesystem::path file = folder_ / "ravelle" / "settings.reg";
    const auto written = std::filesystem::file_size(file);
    if (size > written) {
      std::ofstream(file, std::ios::app) << ';' << std::string(size - written - 2, 'c') << '\n';
    }
  }
  ~CBenchStore() { std::filesystem::remove_all(folder_); }

 private:
  std::filesystem::path folder_;
};

void BM_PortLookupOfOnePacket(benchmark::State& state) {
  CBenchStore store(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FindComPortDevice(1));
  state.SetLabel(FindComPortDevice(1).problem.empty() ? "" : "unreadable");
}
BENCHMARK(BM_PortLookupOfOnePacket)->Arg(0)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_SavedConnectionRead(benchmark::State& state) {
  CBenchStore store(static_cast<std::size_t>(state.range(0)));
  CRegistryAccess registry;
  CRavelleDoc doc;
  for (auto _ : state) benchmark::DoNotOptimize(ReadSavedSettings(doc, registry));
}
BENCHMARK(BM_SavedConnectionRead)->Arg(0)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
