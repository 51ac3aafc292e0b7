#include "tools/signsim/VirtualSign.h"

#include <type_traits>
#include <utility>

#include "tools/signsim/DisplayMarkup.h"

CVirtualSign::CVirtualSign(LineHandler onLine, DisplayHandler onDisplay)
    : onLine_(std::move(onLine)), onDisplay_(std::move(onDisplay)) {
  display_ = ComposeDisplay(model_, characters_).display;
}

void CVirtualSign::Start() {
  Line("sign: " + RenderMarkup(display_));
  if (onDisplay_) onDisplay_(display_);
}

void CVirtualSign::Take(const CSignDecoder::Event& event) {
  if (const auto* error = std::get_if<CProtocolError>(&event)) {
    Line("error: " + error->message + ": " + DescribeBytes(*error));
    return;
  }
  for (const std::string& flag : model_.Apply(std::get<CSignCommand>(event))) {
    Line("warning: " + flag);
  }
  Refresh();
}

CSignDecoder CVirtualSign::MakeDecoder() {
  return CSignDecoder([this](const CSignDecoder::Event& event) { Take(event); });
}

void CVirtualSign::Refresh() {
  CDisplayComposition composition = ComposeDisplay(model_, characters_);
  if (composition.display == display_) return;
  display_ = std::move(composition.display);
  // Flags of the display come with the change that shows them, not again
  // for every later packet.
  for (const std::string& flag : composition.flags) Line("warning: " + flag);
  Line("sign: " + RenderMarkup(display_));
  if (onDisplay_) onDisplay_(display_);
}

void CVirtualSign::Line(const std::string& line) {
  if (onLine_) onLine_(line);
}
