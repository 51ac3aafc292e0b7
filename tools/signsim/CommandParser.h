#pragma once

#include <optional>
#include <string>

#include "tools/signsim/SignCommand.h"

// The command and data of one frame (the bytes between STX and EOT) as a
// command the virtual sign takes, or the reason it cannot.
struct CCommandParse {
  std::optional<CSignCommand> command;
  std::string error;
};

CCommandParse ParseCommand(const std::string& body);
