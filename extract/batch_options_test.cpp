#include "extract/batch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pk {
namespace {

std::string Text(const char* text) {
  return text == nullptr ? "-" : text;
}

TEST(ParseBatchOptions, ReadsOptionsAndName) {
  const struct {
    std::vector<const char*> words;
    BatchAction action;
    const char* name;
    const char* directory;
    bool freeForm;
    const char* problemWord;
  } cases[] = {
      {{"DEMO"}, BatchAction::RUN, "DEMO", nullptr, false, nullptr},
      {{"--free-form", "DEMO"}, BatchAction::RUN, "DEMO", nullptr, true, nullptr},
      {{"DEMO", "--library-dir", "lib"}, BatchAction::RUN, "DEMO", "lib", false, nullptr},
      {{"--library-dir=/usr/lib x", "DEMO"},
       BatchAction::RUN,
       "DEMO",
       "/usr/lib x",
       false,
       nullptr},
      {{"--", "-DEMO"}, BatchAction::RUN, "-DEMO", nullptr, false, nullptr},
      {{"-"}, BatchAction::RUN, "-", nullptr, false, nullptr},
      {{"DEMO", "--help", "--bogus"}, BatchAction::HELP, nullptr, nullptr, false, nullptr},
      {{"--version", "--help"}, BatchAction::VERSION, nullptr, nullptr, false, nullptr},
      {{"--", "--help"}, BatchAction::RUN, "--help", nullptr, false, nullptr},
      {{}, BatchAction::USAGE, nullptr, nullptr, false, nullptr},
      {{"DEMO", "EXTRA"}, BatchAction::USAGE, nullptr, nullptr, false, "EXTRA"},
      {{"--bogus", "DEMO"}, BatchAction::USAGE, nullptr, nullptr, false, "--bogus"},
      {{"--library-dirx", "DEMO"}, BatchAction::USAGE, nullptr, nullptr, false, "--library-dirx"},
      {{"DEMO", "--library-dir"}, BatchAction::USAGE, nullptr, nullptr, false, nullptr},
      {{"--library-dir=", "DEMO"}, BatchAction::USAGE, nullptr, nullptr, false, nullptr},
      {{"--library-dir=a", "--library-dir=b", "DEMO"},
       BatchAction::USAGE,
       nullptr,
       nullptr,
       false,
       "--library-dir=b"},
      {{""}, BatchAction::USAGE, nullptr, nullptr, false, ""},
      {{"A23456789B23456789C23456789D23X"},
       BatchAction::USAGE,
       nullptr,
       nullptr,
       false,
       "A23456789B23456789C23456789D23X"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"pareskit-batch"};
    argv.insert(argv.end(), c.words.begin(), c.words.end());
    std::string context;
    for (const char* word : c.words) context += std::string(word) + " ";
    const BatchOptions options = ParseBatchOptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(options.action, c.action) << context;
    EXPECT_EQ(options.action == BatchAction::USAGE, options.problem != nullptr) << context;
    EXPECT_EQ(Text(options.problemWord), Text(c.problemWord)) << context;
    if (c.action != BatchAction::RUN) continue;
    EXPECT_EQ(Text(options.programName), Text(c.name)) << context;
    EXPECT_EQ(Text(options.libraryDirectory), Text(c.directory)) << context;
    EXPECT_EQ(options.freeForm, c.freeForm) << context;
  }
}

}  // namespace
}  // namespace pk
