#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A store file's first lines, up to the program's own key.
inline const std::string kStoreHead =
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n";

// Each test gets its own XDG_CONFIG_HOME, removed afterwards.
class TemporaryConfigHome : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ravelle-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    home_ = pattern;
    setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

  std::filesystem::path StoreFile() const { return home_ / "ravelle" / "settings.reg"; }
  std::string StoreText() const {
    std::ifstream in(StoreFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void PutStoreText(const std::string& text) const {
    std::filesystem::create_directories(StoreFile().parent_path());
    std::ofstream(StoreFile(), std::ios::binary) << text;
  }

  std::filesystem::path home_;
};
