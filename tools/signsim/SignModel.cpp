#include "tools/signsim/SignModel.h"

#include <type_traits>

namespace {

const char* TypeName(CSignFileType type) {
  return type == CSignFileType::kText ? "TEXT" : "STRING";
}

std::string FileName(CSignFileType type, char label) {
  return std::string(TypeName(type)) + " file " + label;
}

}  // namespace

CSignModel::CSignModel() {
  files_['A'] = CSignFile{CSignFileType::kText, false, kPowerOnTextSize, {}};
  runSequence_ = CRunSequence{'S', false, "A"};
}

std::vector<std::string> CSignModel::Apply(const CSignCommand& command) {
  return std::visit(
      [this](const auto& c) -> std::vector<std::string> {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, CMemoryConfig>) {
          return Configure(c);
        } else if constexpr (std::is_same_v<T, CRunSequence>) {
          return Run(c);
        } else if constexpr (std::is_same_v<T, CWriteText>) {
          return Write(CSignFileType::kText, c.label, c.contents);
        } else {
          return Write(CSignFileType::kString, c.label, c.contents);
        }
      },
      command);
}

std::vector<std::string> CSignModel::Configure(const CMemoryConfig& config) {
  // A new file table re-creates the memory: every file's contents are gone.
  std::vector<std::string> flags;
  files_.clear();
  for (const CFileEntry& entry : config.files) {
    if (files_.count(entry.label) != 0) {
      flags.push_back(std::string("memory configuration lists file ") + entry.label +
                      " more than once: the first entry is kept");
      continue;
    }
    files_[entry.label] = CSignFile{entry.type, entry.locked, entry.size, {}};
  }
  return flags;
}

std::vector<std::string> CSignModel::Run(const CRunSequence& sequence) {
  std::vector<std::string> flags;
  for (char label : sequence.labels) {
    auto file = files_.find(label);
    if (file == files_.end()) {
      flags.push_back(std::string("run sequence names file ") + label +
                      ", which the memory configuration lacks");
    } else if (file->second.type != CSignFileType::kText) {
      flags.push_back(std::string("run sequence names STRING file ") + label +
                      ": only TEXT files run");
    }
  }
  runSequence_ = sequence;
  return flags;
}

std::vector<std::string> CSignModel::Write(CSignFileType type, char label,
                                           const std::string& contents) {
  auto file = files_.find(label);
  if (file == files_.end()) {
    return {"write to " + FileName(type, label) +
            ", which the memory configuration lacks: ignored"};
  }
  if (file->second.type != type) {
    return {"write to " + FileName(type, label) + ", which is configured as a " +
            TypeName(file->second.type) + " file: ignored"};
  }
  const auto length = static_cast<int>(contents.size());
  if (length <= file->second.size) {
    file->second.contents = contents;
    return {};
  }
  const std::string overrun = FileName(type, label) + " holds " +
                              std::to_string(file->second.size) + " bytes but " +
                              std::to_string(length) + " were written";
  if (type == CSignFileType::kString) {
    file->second.contents.clear();
    return {overrun + ": the sign empties it"};
  }
  file->second.contents = contents.substr(0, static_cast<std::size_t>(file->second.size));
  return {overrun + ": the rest is cut off"};
}
