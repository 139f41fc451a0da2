// Test support: a fresh, empty working directory for one test. The previous
// working directory is restored afterwards. Every unit is closed and the
// host's file services are restored on the way in and out, so no test
// inherits another's files or failing services.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "records/file_services.h"
#include "records/record_file.h"

namespace pk::testing {

class ScratchDirectory {
 public:
  ScratchDirectory() : previous_(std::filesystem::current_path()) {
    CloseAllFiles();
    UseFileServices(nullptr);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "pareskit-";
    if (test != nullptr) name += std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name) {
      if (c == '/' || c == '\\') c = '_';
    }
    path_ = std::filesystem::temp_directory_path() / name;
    // On Win32 a death test's child repeats the test from its start while the
    // parent sits in this directory: the child works in the parent's
    // directory, with the parent's files, instead of emptying it.
    if (GTEST_FLAG_GET(internal_run_death_test).empty()) std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~ScratchDirectory() {
    CloseAllFiles();
    UseFileServices(nullptr);
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

}  // namespace pk::testing
