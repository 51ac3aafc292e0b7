#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "tools/signsim/SignCommand.h"

// Reads a sign's input stream byte by byte: NUL lead-in, SOH, type code,
// two-character address, STX, command and data, EOT. Reports each command the
// virtual sign takes, and everything else as a protocol error that carries the
// offending bytes. It never loses its place: after a bad frame it picks up
// again at the next NUL or SOH, and a frame cut short by a new lead-in or SOH
// is reported while the new frame is read.
//
// Memory is bounded: a frame is kept up to kFrameLimit bytes; past that only
// its length is counted until it ends.
class CSignDecoder {
 public:
  using Event = std::variant<CSignCommand, CProtocolError>;
  using EventHandler = std::function<void(const Event&)>;

  // More than the longest packet the scoreboard program sends (a note of
  // 8000 characters, some of them extended, in an 8200-byte area).
  static constexpr std::size_t kFrameLimit = 16384;

  explicit CSignDecoder(EventHandler onEvent);

  // Bytes outside any frame are gathered and reported as one error at the
  // end of the chunk (or sooner, when a NUL or SOH ends them).
  void Feed(const std::uint8_t* bytes, std::size_t count);

  // The stream has ended: a frame still open is reported as cut short.
  void Finish();

 private:
  enum class State { kBetween, kTypeCode, kAddress, kStartOfText, kBody, kSkipping };

  void Take(std::uint8_t byte);
  void TakeBetween(std::uint8_t byte);
  void BeginFrame();
  void Keep(std::uint8_t byte);
  void EndFrame();
  void DropFrame(const std::string& why);
  // A broken header: the rest of the frame, up to its EOT, goes into the
  // same report.
  void SkipFrame(const char* why, std::uint8_t offending);
  void ReportStray();
  void Report(Event event);

  EventHandler onEvent_;
  State state_ = State::kBetween;
  std::vector<std::uint8_t> frame_;  // from SOH on, at most kFrameLimit bytes
  std::size_t frameLength_ = 0;      // every byte of the frame, kept or not
  std::vector<std::uint8_t> stray_;  // bytes outside a frame, an excerpt
  std::size_t strayCount_ = 0;
  std::string skipReason_;
};
