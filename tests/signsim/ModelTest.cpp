#include <gtest/gtest.h>

#include "tools/signsim/SignModel.h"

namespace {

CFileEntry Text(char label, int size) {
  return CFileEntry{label, CSignFileType::kText, false, size, "FF00"};
}
CFileEntry String(char label, int size) {
  return CFileEntry{label, CSignFileType::kString, true, size, "0000"};
}

struct CFlagCase {
  const char* name;
  CSignCommand command;
  std::string flag;     // empty: none expected
  std::string textA;    // TEXT A afterwards
  std::string string1;  // STRING 1 afterwards
};

// Each case starts from TEXT A (10 bytes) holding "before" and STRING 1
// (3 bytes) holding " 9".
const CFlagCase kFlags[] = {
    {"WriteToMissingText", CWriteText{'B', "x"},
     "write to TEXT file B, which the memory configuration lacks: ignored", "before", " 9"},
    {"TextIntoStringFile", CWriteText{'1', "x"},
     "write to TEXT file 1, which is configured as a STRING file: ignored", "before", " 9"},
    {"StringOverrun", CWriteString{'1', "1000"},
     "STRING file 1 holds 3 bytes but 4 were written: the sign empties it", "before", ""},
    {"TextOverrun", CWriteText{'A', "0123456789AB"},
     "TEXT file A holds 10 bytes but 12 were written: the rest is cut off", "0123456789", " 9"},
    {"RunMissingFile", CRunSequence{'S', true, "AB"},
     "run sequence names file B, which the memory configuration lacks", "before", " 9"},
    {"RunStringFile", CRunSequence{'S', true, "1"},
     "run sequence names STRING file 1: only TEXT files run", "before", " 9"},
    {"NewConfigurationErasesEveryFile", CMemoryConfig{{Text('A', 10), String('1', 3)}}, "", "", ""},
    {"DuplicateLabel", CMemoryConfig{{Text('A', 5), String('A', 3), String('1', 3)}},
     "memory configuration lists file A more than once: the first entry is kept", "", ""},
};

class ModelFlag : public testing::TestWithParam<CFlagCase> {};

TEST_P(ModelFlag, IsRaisedExactlyWhenARealSignWouldObject) {
  CSignModel model;
  model.Apply(CMemoryConfig{{Text('A', 10), String('1', 3), String('7', 3)}});
  model.Apply(CWriteText{'A', "before"});
  model.Apply(CWriteString{'1', " 9"});
  const std::vector<std::string> none;
  EXPECT_EQ(model.Apply(GetParam().command),
            GetParam().flag.empty() ? none : std::vector{GetParam().flag});
  EXPECT_EQ(model.Files().at('A').contents, GetParam().textA);
  EXPECT_EQ(model.Files().at('1').contents, GetParam().string1);
  EXPECT_EQ(model.Files().count('7'),
            std::holds_alternative<CMemoryConfig>(GetParam().command) ? 0u : 1u);
  // A run sequence is kept even when a real sign would object to it.
  const auto* run = std::get_if<CRunSequence>(&GetParam().command);
  EXPECT_TRUE(run == nullptr || model.RunSequence() == *run);
}

INSTANTIATE_TEST_SUITE_P(Flags, ModelFlag, testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
