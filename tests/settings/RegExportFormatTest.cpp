#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/RegExportFormat.h"

namespace {

const std::string kHead = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n";

TEST(RegExportFormatTest, MalformedTextIsRefusedNotTakenAsEmpty) {
  const std::vector<std::string> bad = {
      "",
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n",
      "Windows Registry Editor Version 5.00\n\n\"V\"=\"value before any key\"\n",
      kHead + "\"V\"=\"unterminated\n",
      kHead + "\"V\"=\"bad escape \\n\"\n",
      kHead + "\"V\"=dword:1\n",
      kHead + "\"V\"=dword:0000000g\n",
      kHead + "\"V\"=hex(1):6\n",
      kHead + "\"V\"=hex(1):61,,62\n",
      kHead + "\"V\"=hex(1):61,\\\n",
      kHead + "\"V\"=hex():61\n",
      kHead + "\"V\"=-\n",
      kHead + "\\\n",
      kHead + "\\\n\\\n",
      kHead + "V=\"name without quotes\"\n",
      kHead + "\"V\" = \"blanks around the sign\"\n",
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K\n",
      "Windows Registry Editor Version 5.00\n\n[]\n",
  };
  for (const std::string& text : bad) {
    EXPECT_FALSE(ParseRegExport(text)) << text;
  }
}

TEST(RegExportFormatTest, FormatThenParseGivesTheSameHive) {
  CRegHive hive;
  hive.SetValue("HKEY_CURRENT_USER\\A", CRegValue{"", 1, {'x', 0}});
  hive.SetValue("HKEY_CURRENT_USER\\A", CRegValue{"q\"\\", 4, {1, 2, 3, 4}});
  hive.SetValue("HKEY_CURRENT_USER\\A\\B", CRegValue{"bin", 0x20000, {0, 1, 0xFE}});
  hive.CreateKey("HKEY_CURRENT_USER\\Empty");

  auto parsed = ParseRegExport(FormatRegExport(hive));
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->Keys().size(), hive.Keys().size());
  for (std::size_t k = 0; k < hive.Keys().size(); ++k) {
    const CRegKey& want = hive.Keys()[k];
    const CRegKey& got = parsed->Keys()[k];
    EXPECT_EQ(got.path, want.path);
    ASSERT_EQ(got.values.size(), want.values.size());
    for (std::size_t v = 0; v < want.values.size(); ++v) {
      EXPECT_EQ(got.values[v].name, want.values[v].name);
      EXPECT_EQ(got.values[v].type, want.values[v].type);
      EXPECT_EQ(got.values[v].data, want.values[v].data);
    }
  }
}

TEST(RegExportFormatTest, KeyPathsLoseTrailingBackslashesAndRefuseEmptyParts) {
  EXPECT_EQ(NormaliseKeyPath("Software\\Norvane\\Ravelle\\"), "Software\\Norvane\\Ravelle");
  EXPECT_EQ(NormaliseKeyPath("Software\\Norvane\\Ravelle\\\\"), "Software\\Norvane\\Ravelle");
  EXPECT_EQ(NormaliseKeyPath(""), "");
  EXPECT_FALSE(NormaliseKeyPath("\\Software"));
  EXPECT_FALSE(NormaliseKeyPath("A\\\\B"));
  EXPECT_FALSE(NormaliseKeyPath("A\xE9"));
}

}  // namespace
