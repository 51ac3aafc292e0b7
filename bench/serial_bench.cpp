// Host time of the serial road on a pseudo-terminal: one packet (open,
// configure, break, write, drain, purge, close) and a full scoreboard send
// of nine packets. The line itself costs nothing on a pseudo-terminal, so
// what is measured is the program's own overhead; each benchmark reports it
// as a share of the time the same bytes take on a real line at 9600 baud
// 7E1 (ten bits a character, 960 bytes a second). Goal: at most 5 %.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchViewStatus.h"
#include "game/RavelleDoc.h"
#include "link/EventPump.h"
#include "link/MessageBoxSeam.h"
#include "link/SignLink.h"
#include "sign/PacketSink.h"
#include "sign/SignMessages.h"

namespace {

constexpr double kLineBytesPerSecond = 960.0;

class CNoMessages : public CMessageBoxSeam {
 public:
  void Show(const std::string&, const std::string&, Icon) override {}
};

class CNoPump : public CEventPump {
 public:
  void PumpOnce() override {}
};

// Counts the bytes of each packet on its way to the real link.
class CCountingSink : public CPacketSink {
 public:
  explicit CCountingSink(CPacketSink& next) : next_(next) {}
  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    bytes_ += length;
    ++packets_;
    next_.SendToSign(comPort, bytes, length);
  }
  long bytes_ = 0;
  long packets_ = 0;

 private:
  CPacketSink& next_;
};

// A pseudo-terminal as COM1 whose far end reads everything at once.
class CPtyLine {
 public:
  CPtyLine() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    grantpt(master_);
    unlockpt(master_);
    keptSlave_ = open(ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    setenv("RAVELLE_COM1", ptsname(master_), 1);
    reader_ = std::thread([this] {
      unsigned char chunk[4096];
      while (!stop_) {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && read(master_, chunk, sizeof chunk) > 0) continue;
      }
    });
  }
  ~CPtyLine() {
    stop_ = true;
    reader_.join();
    close(keptSlave_);
    close(master_);
    unsetenv("RAVELLE_COM1");
  }

 private:
  int master_ = -1;
  int keptSlave_ = -1;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

// Every case reports the same counters: the CSV reporter takes its columns
// from the first case and refuses a later one with a counter of its own.
void ReportOverhead(benchmark::State& state, double seconds, double bytesPerIteration,
                    double packetsPerIteration) {
  double hostPerIteration = seconds / static_cast<double>(state.iterations());
  double linePerIteration = bytesPerIteration / kLineBytesPerSecond;
  state.counters["host_ms"] = hostPerIteration * 1e3;
  state.counters["line_ms"] = linePerIteration * 1e3;
  state.counters["overhead_pct"] = 100.0 * hostPerIteration / linePerIteration;
  state.counters["packets"] = packetsPerIteration;
}

// One packet of the given size (a score STRING file packet is 32 bytes).
void BM_SerialPacket(benchmark::State& state) {
  CPtyLine line;
  CRavelleDoc doc;
  doc.connection = kConnectionSerialClassic;
  CBenchViewStatus view;
  CNoMessages messages;
  CNoPump pump;
  CSignLink link(doc, view, messages, pump);
  std::vector<unsigned char> packet(static_cast<std::size_t>(state.range(0)), 'A');

  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    link.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
  }
  std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  if (link.LastSerialFailure()) state.SkipWithError(link.LastSerialFailure()->systemText.c_str());
  ReportOverhead(state, spent.count(), static_cast<double>(packet.size()), 1);
}
BENCHMARK(BM_SerialPacket)->Arg(32)->Arg(256)->Unit(benchmark::kMicrosecond);

// Send Score: memory configuration, the TEXT file, the STRING files, the
// run sequence.
void BM_SerialScoreboard(benchmark::State& state) {
  CPtyLine line;
  CRavelleDoc doc;
  doc.connection = kConnectionSerialClassic;
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  doc.team1Score = 21;
  doc.team2Score = 7;
  CBenchViewStatus view;
  CNoMessages messages;
  CNoPump pump;
  CSignLink link(doc, view, messages, pump);
  CCountingSink sink(link);
  CSignMessages signMessages(doc, sink, view);

  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    signMessages.SendScoreboard();
  }
  std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  if (link.LastSerialFailure()) state.SkipWithError(link.LastSerialFailure()->systemText.c_str());
  double iterations = static_cast<double>(state.iterations());
  ReportOverhead(state, spent.count(), static_cast<double>(sink.bytes_) / iterations,
                 static_cast<double>(sink.packets_) / iterations);
}
BENCHMARK(BM_SerialScoreboard)->Unit(benchmark::kMicrosecond);

}  // namespace
