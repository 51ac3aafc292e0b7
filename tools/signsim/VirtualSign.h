#pragma once

#include <functional>
#include <string>

#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignDecoder.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignModel.h"

// The virtual sign: takes what its decoders read, keeps the sign's memory and
// reports, one line each:
//   "sign: <markup>"   every change of what the sign shows (DisplayMarkup.h)
//   "error: <what>: <bytes in hex>"   a transmission the sign cannot take
//   "warning: <what>"  something a real sign would reject or mangle
// Every input stream needs its own decoder (MakeDecoder); they share the sign.
class CVirtualSign {
 public:
  using LineHandler = std::function<void(const std::string& line)>;
  using DisplayHandler = std::function<void(const CSignDisplay& display)>;

  explicit CVirtualSign(LineHandler onLine, DisplayHandler onDisplay = {});
  // Its decoders hold on to it.
  CVirtualSign(const CVirtualSign&) = delete;
  CVirtualSign& operator=(const CVirtualSign&) = delete;

  // Reports the power-on display.
  void Start();

  void Take(const CSignDecoder::Event& event);
  CSignDecoder MakeDecoder();

  const CSignModel& Model() const { return model_; }
  const CSignDisplay& Display() const { return display_; }

 private:
  void Refresh();
  void Line(const std::string& line);

  LineHandler onLine_;
  DisplayHandler onDisplay_;
  CSignCharacters characters_;
  CSignModel model_;
  CSignDisplay display_;
};
