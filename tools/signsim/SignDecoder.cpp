#include "tools/signsim/SignDecoder.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "tools/signsim/CommandParser.h"

namespace {

constexpr std::uint8_t kNul = 0x00;
constexpr std::uint8_t kSoh = 0x01;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEot = 0x04;

constexpr std::size_t kHeaderLength = 5;  // SOH, type code, two address characters, STX

bool IsAddressCharacter(std::uint8_t byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F');
}

CProtocolError MakeError(std::string message, const std::vector<std::uint8_t>& bytes,
                         std::size_t byteCount) {
  CProtocolError error;
  error.message = std::move(message);
  const std::size_t kept = std::min(bytes.size(), CProtocolError::kExcerptLimit);
  error.excerpt.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kept));
  error.byteCount = byteCount;
  return error;
}

}  // namespace

std::string DescribeBytes(const CProtocolError& error) {
  std::string text;
  char hex[4];
  for (std::uint8_t byte : error.excerpt) {
    std::snprintf(hex, sizeof hex, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += hex;
  }
  if (error.byteCount > error.excerpt.size()) {
    text += text.empty() ? "" : " ";
    text += "... (" + std::to_string(error.byteCount) + " bytes)";
  }
  return text;
}

CSignDecoder::CSignDecoder(EventHandler onEvent) : onEvent_(std::move(onEvent)) {}

void CSignDecoder::Feed(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) Take(bytes[i]);
  ReportStray();
}

void CSignDecoder::Finish() {
  ReportStray();
  if (state_ == State::kSkipping) {
    DropFrame(skipReason_);
  } else if (state_ != State::kBetween) {
    DropFrame("frame cut short: the stream ended before EOT");
  }
}

void CSignDecoder::Take(std::uint8_t byte) {
  if (state_ == State::kBetween) {
    TakeBetween(byte);
    return;
  }
  if (state_ == State::kSkipping) {
    if (byte == kSoh || byte == kNul) {
      DropFrame(skipReason_);
      TakeBetween(byte);
      return;
    }
    Keep(byte);
    if (byte == kEot) DropFrame(skipReason_);
    return;
  }
  // A lead-in or a new header inside a frame means the frame was cut short;
  // the new one is read from here.
  if (byte == kSoh) {
    Keep(byte);
    DropFrame("frame cut short: SOH before EOT");
    BeginFrame();
    return;
  }
  if (byte == kNul) {
    Keep(byte);
    DropFrame("frame cut short: NUL before EOT");
    return;
  }
  Keep(byte);
  switch (state_) {
    case State::kTypeCode:
      if (byte < 0x20 || byte > 0x7E) {
        SkipFrame("malformed header: the type code is not a printable character", byte);
        return;
      }
      state_ = State::kAddress;
      return;
    case State::kAddress:
      if (!IsAddressCharacter(byte)) {
        SkipFrame("malformed header: the address is not two hexadecimal characters", byte);
        return;
      }
      if (frameLength_ == 4) state_ = State::kStartOfText;
      return;
    case State::kStartOfText:
      if (byte != kStx) {
        SkipFrame("malformed header: STX missing after the address", byte);
        return;
      }
      state_ = State::kBody;
      return;
    case State::kBody:
      if (byte == kEot) EndFrame();
      return;
    case State::kBetween:
    case State::kSkipping:
      return;
  }
}

void CSignDecoder::TakeBetween(std::uint8_t byte) {
  if (byte == kNul) {
    ReportStray();
    return;
  }
  if (byte == kSoh) {
    ReportStray();
    BeginFrame();
    return;
  }
  if (stray_.size() < CProtocolError::kExcerptLimit) stray_.push_back(byte);
  ++strayCount_;
}

void CSignDecoder::BeginFrame() {
  frame_.clear();
  frameLength_ = 0;
  Keep(kSoh);
  state_ = State::kTypeCode;
}

void CSignDecoder::Keep(std::uint8_t byte) {
  if (frame_.size() < kFrameLimit) frame_.push_back(byte);
  ++frameLength_;
}

void CSignDecoder::EndFrame() {
  state_ = State::kBetween;
  if (frameLength_ > kFrameLimit) {
    Report(MakeError("frame of " + std::to_string(frameLength_) + " bytes is longer than the " +
                         std::to_string(kFrameLimit) + " bytes the sign takes",
                     frame_, frameLength_));
    return;
  }
  const char typeCode = static_cast<char>(frame_[1]);
  const std::string address(frame_.begin() + 2, frame_.begin() + 4);
  if ((typeCode != 'Z' && typeCode != '?') || address != "00") {
    Report(MakeError(std::string("frame for type code '") + typeCode + "' at address " + address +
                         ": the sign answers to type Z or ? at address 00",
                     frame_, frameLength_));
    return;
  }
  // Command and data: between STX and EOT.
  const std::string body(frame_.begin() + kHeaderLength, frame_.end() - 1);
  CCommandParse parse = ParseCommand(body);
  if (parse.command) {
    Report(*parse.command);
  } else {
    Report(MakeError(parse.error, frame_, frameLength_));
  }
}

void CSignDecoder::SkipFrame(const char* why, std::uint8_t offending) {
  skipReason_ = why;
  state_ = State::kSkipping;
  if (offending == kEot) DropFrame(skipReason_);
}

void CSignDecoder::DropFrame(const std::string& why) {
  state_ = State::kBetween;
  Report(MakeError(why, frame_, frameLength_));
}

void CSignDecoder::ReportStray() {
  if (strayCount_ == 0) return;
  Report(MakeError("bytes outside a frame (no SOH)", stray_, strayCount_));
  stray_.clear();
  strayCount_ = 0;
}

void CSignDecoder::Report(Event event) {
  if (onEvent_) onEvent_(event);
}
