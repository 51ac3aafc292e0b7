#include <gtest/gtest.h>

#include "tools/signsim/SignModel.h"

namespace {

CMemoryConfig Config(std::vector<CFileEntry> files) { return CMemoryConfig{std::move(files)}; }

CFileEntry Text(char label, int size) {
  return CFileEntry{label, CSignFileType::kText, false, size, "FF00"};
}
CFileEntry String(char label, int size) {
  return CFileEntry{label, CSignFileType::kString, true, size, "0000"};
}

TEST(SignModel, PowerOnRunsAnEmptyTextFileA) {
  CSignModel model;
  ASSERT_EQ(model.Files().count('A'), 1u);
  EXPECT_EQ(model.Files().at('A').type, CSignFileType::kText);
  EXPECT_EQ(model.RunSequence().labels, "A");
}

TEST(SignModel, MemoryConfigurationErasesEveryFile) {
  CSignModel model;
  model.Apply(Config({Text('A', 40), String('1', 3), String('7', 3)}));
  model.Apply(CWriteText{'A', "HOME"});
  model.Apply(CWriteString{'1', " 7"});
  EXPECT_TRUE(model.Apply(Config({Text('A', 40), String('1', 3)})).empty());
  EXPECT_EQ(model.Files().at('A').contents, "");
  EXPECT_EQ(model.Files().at('1').contents, "");
  EXPECT_EQ(model.Files().count('7'), 0u);
}

struct CFlagCase {
  const char* name;
  CSignCommand command;
  std::string flag;  // empty: none expected
};

// Each case starts from TEXT A (10 bytes), STRING 1 (3 bytes), and A holding
// "before", 1 holding " 9".
const CFlagCase kFlags[] = {
    {"TextFits", CWriteText{'A', "0123456789"}, ""},
    {"StringFits", CWriteString{'1', "100"}, ""},
    {"WriteToMissingText", CWriteText{'B', "x"},
     "write to TEXT file B, which the memory configuration lacks: ignored"},
    {"WriteToMissingString", CWriteString{'2', " 3"},
     "write to STRING file 2, which the memory configuration lacks: ignored"},
    {"TextIntoStringFile", CWriteText{'1', "x"},
     "write to TEXT file 1, which is configured as a STRING file: ignored"},
    {"StringIntoTextFile", CWriteString{'A', "x"},
     "write to STRING file A, which is configured as a TEXT file: ignored"},
    {"StringOverrun", CWriteString{'1', "1000"},
     "STRING file 1 holds 3 bytes but 4 were written: the sign empties it"},
    {"TextOverrun", CWriteText{'A', "0123456789AB"},
     "TEXT file A holds 10 bytes but 12 were written: the rest is cut off"},
    {"RunMissingFile", CRunSequence{'S', true, "AB"},
     "run sequence names file B, which the memory configuration lacks"},
    {"RunStringFile", CRunSequence{'S', true, "1"},
     "run sequence names STRING file 1: only TEXT files run"},
    {"DuplicateLabel", Config({Text('A', 5), String('A', 3)}),
     "memory configuration lists file A more than once: the first entry is kept"},
};

class ModelFlag : public testing::TestWithParam<CFlagCase> {};

TEST_P(ModelFlag, IsRaisedExactlyWhenARealSignWouldObject) {
  CSignModel model;
  model.Apply(Config({Text('A', 10), String('1', 3)}));
  model.Apply(CWriteText{'A', "before"});
  model.Apply(CWriteString{'1', " 9"});
  const auto flags = model.Apply(GetParam().command);
  if (GetParam().flag.empty()) {
    EXPECT_TRUE(flags.empty()) << flags.front();
  } else {
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0], GetParam().flag);
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, ModelFlag, testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SignModel, IgnoredWritesLeaveContentsAlone) {
  CSignModel model;
  model.Apply(Config({Text('A', 10), String('1', 3)}));
  model.Apply(CWriteText{'A', "kept"});
  model.Apply(CWriteString{'A', "x"});
  EXPECT_EQ(model.Files().at('A').contents, "kept");
}

TEST(SignModel, OverrunningStringIsEmptiedAndOverlongTextCut) {
  CSignModel model;
  model.Apply(Config({Text('A', 4), String('1', 3)}));
  model.Apply(CWriteString{'1', " 9"});
  model.Apply(CWriteString{'1', "1000"});
  model.Apply(CWriteText{'A', "ABCDEF"});
  EXPECT_EQ(model.Files().at('1').contents, "");
  EXPECT_EQ(model.Files().at('A').contents, "ABCD");
}

TEST(SignModel, RunSequenceIsKeptEvenWhenItNamesMissingFiles) {
  CSignModel model;
  model.Apply(CRunSequence{'T', false, "AQ"});
  EXPECT_EQ(model.RunSequence(), (CRunSequence{'T', false, "AQ"}));
}

}  // namespace
