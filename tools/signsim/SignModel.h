#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/signsim/SignCommand.h"

// One file in the sign's memory.
struct CSignFile {
  CSignFileType type = CSignFileType::kText;
  bool locked = false;
  int size = 0;
  std::string contents;
};

// The sign's memory: its file table, the files' contents and the run
// sequence. Applying a command changes them as a sign does and returns what a
// real sign would reject or mangle, as plain sentences.
//
// At power-on the virtual sign holds one empty, unlocked TEXT file "A" of
// kPowerOnTextSize bytes, and runs it.
class CSignModel {
 public:
  static constexpr int kPowerOnTextSize = 1024;

  CSignModel();

  std::vector<std::string> Apply(const CSignCommand& command);

  const std::map<char, CSignFile>& Files() const { return files_; }
  const CRunSequence& RunSequence() const { return runSequence_; }

 private:
  std::vector<std::string> Configure(const CMemoryConfig& config);
  std::vector<std::string> Run(const CRunSequence& sequence);
  std::vector<std::string> Write(CSignFileType type, char label, const std::string& contents);

  std::map<char, CSignFile> files_;
  CRunSequence runSequence_;
};
