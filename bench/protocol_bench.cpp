// How long the protocol core takes to build every packet of the messages an
// operator sends, with a sink that only counts what it is given.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/BenchViewStatus.h"
#include "game/RavelleDoc.h"
#include "sign/PacketSink.h"
#include "sign/SignMessages.h"
#include "sign/SignText.h"

namespace {

class CCountingSink : public CPacketSink {
 public:
  void SendToSign(int, const unsigned char* bytes, int length) override {
    ++packets;
    this->bytes += length;
    benchmark::DoNotOptimize(bytes);
  }
  long packets = 0;
  long bytes = 0;
};

void ReportPackets(benchmark::State& state, const CCountingSink& sink) {
  state.counters["packets/op"] = benchmark::Counter(static_cast<double>(sink.packets) /
                                                    static_cast<double>(state.iterations()));
  state.SetBytesProcessed(sink.bytes);
}

std::string ExtendedText(std::size_t characters) { return std::string(characters, '\xE9'); }

std::string AsciiText(std::size_t characters) {
  std::string text;
  while (text.size() < characters) text += "Half time, back at 3 ";
  text.resize(characters);
  return text;
}

void BM_SendScoreboard(benchmark::State& state) {
  CRavelleDoc doc;
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  doc.team1Score = 21;
  doc.team2Score = 17;
  CCountingSink sink;
  CBenchViewStatus view;
  CSignMessages messages(doc, sink, view);
  for (auto _ : state) {
    view.scoreMode = 1;
    view.lastSpacer.clear();
    messages.SendScoreboard();
  }
  ReportPackets(state, sink);
}
BENCHMARK(BM_SendScoreboard);

void BM_SendTeamScore(benchmark::State& state) {
  CRavelleDoc doc;
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  doc.team1Score = 24;
  CCountingSink sink;
  CBenchViewStatus view;
  view.lastSpacer = " ";
  CSignMessages messages(doc, sink, view);
  for (auto _ : state) messages.SendTeamScore(1, doc.team1Score);
  ReportPackets(state, sink);
}
BENCHMARK(BM_SendTeamScore);

// An 8000-character note: plain text fits the note packet whole; extended
// characters (two bytes each) are cut to fit it.
void BM_SendNote8000(benchmark::State& state, std::string note) {
  CRavelleDoc doc;
  doc.noteText = std::move(note);
  CCountingSink sink;
  CBenchViewStatus view;
  CSignMessages messages(doc, sink, view);
  for (auto _ : state) {
    doc.history.clear();  // the history line is part of the work, not its growth
    messages.SendNote();
  }
  ReportPackets(state, sink);
}
BENCHMARK_CAPTURE(BM_SendNote8000, ascii, AsciiText(8000));
BENCHMARK_CAPTURE(BM_SendNote8000, extended, ExtendedText(8000));

void BM_EncodeSignText8000(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    std::string text = input;
    EncodeSignText(text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
}
BENCHMARK_CAPTURE(BM_EncodeSignText8000, ascii, AsciiText(8000));
BENCHMARK_CAPTURE(BM_EncodeSignText8000, extended, ExtendedText(8000));
BENCHMARK_CAPTURE(BM_EncodeSignText8000, references, [] {
  std::string text;
  while (text.size() < 8000) text += "&#233;";
  return text.substr(0, 7998);
}());

}  // namespace
