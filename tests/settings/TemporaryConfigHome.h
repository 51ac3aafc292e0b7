#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void PutStoreText(const std::string& text) const {
    std::filesystem::create_directories(StoreFile().parent_path());
    std::ofstream(StoreFile(), std::ios::binary) << text;
  }

  std::filesystem::path home_;
};
