#include "batch/batch_options.h"

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

TEST(ParseBatchOptions, ReadsSuffixesFlagsAndHelpWords) {
  const std::string twoBytes = "\xc3\x9c";  // one U+00DC
  std::string sixteenCharacters;
  for (int i = 0; i < 16; ++i) sixteenCharacters += twoBytes;
  const struct {
    std::vector<const char*> words;
    bool windows;
    BatchAction action;
    int32_t nameLength;
    const char* extension;
    bool free;
    bool strict;
    bool json;
  } cases[] = {
      {{"TICKS.FOR"}, false, BatchAction::RUN, 5, "FOR", false, false, false},
      {{"GEOM.f95", "--strict"}, false, BatchAction::RUN, 4, "f95", true, true, false},
      {{"--json", "G.F08"}, false, BatchAction::RUN, 1, "F08", true, false, true},
      {{"A.B"}, false, BatchAction::RUN, 3, nullptr, false, false, false},
      {{".FOR"}, false, BatchAction::USAGE, 0, nullptr, false, false, false},
      {{"-h", "DEMO"}, false, BatchAction::HELP, 0, nullptr, false, false, false},
      {{"/?"}, true, BatchAction::HELP, 0, nullptr, false, false, false},
      {{"DEMO", "-?"}, true, BatchAction::HELP, 0, nullptr, false, false, false},
      {{"/?"}, false, BatchAction::USAGE, 0, nullptr, false, false, false},
      {{"../t2/TICKS"}, false, BatchAction::USAGE, 0, nullptr, false, false, false},
      {{"C:TICKS"}, false, BatchAction::USAGE, 0, nullptr, false, false, false},
      {{sixteenCharacters.c_str()}, false, BatchAction::USAGE, 0, nullptr, false, false, false},
      {{"--print-library-dir"},
       false,
       BatchAction::PRINT_LIBRARY_DIR,
       0,
       nullptr,
       false,
       false,
       false},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"pareskit-batch"};
    argv.insert(argv.end(), c.words.begin(), c.words.end());
    const std::string context = c.words[0];
    const BatchOptions options =
        ParseBatchOptions(static_cast<int>(argv.size()), argv.data(), c.windows);
    EXPECT_EQ(options.action, c.action) << context;
    if (c.action != BatchAction::RUN) continue;
    EXPECT_EQ(options.programNameLength, c.nameLength) << context;
    EXPECT_EQ(Text(options.sourceExtension), Text(c.extension)) << context;
    EXPECT_EQ(options.sourceFree, c.free) << context;
    EXPECT_EQ(options.strict, c.strict) << context;
    EXPECT_EQ(options.json, c.json) << context;
  }
}

TEST(ParseBatchOptions, TakesTheSymbolsOfShowAndOnlyTheLibraryDirWithThem) {
  std::vector<std::string> many;
  for (int i = 0; i <= MAX_SHOW_SYMBOLS; ++i) many.push_back("S" + std::to_string(i));
  std::vector<const char*> sixtyFour = {"--show"};
  for (int i = 0; i < MAX_SHOW_SYMBOLS; ++i) sixtyFour.push_back(many[i].c_str());
  std::vector<const char*> sixtyFive = sixtyFour;
  sixtyFive.push_back(many[MAX_SHOW_SYMBOLS].c_str());
  const struct {
    std::vector<const char*> words;
    BatchAction action;
    int32_t symbols;
    const char* first;
    const char* directory;
  } cases[] = {
      {{"--show", "rect", "MessageBox"}, BatchAction::SHOW, 2, "rect", nullptr},
      {{"RECT", "--library-dir", "lib", "--show", "POINT"}, BatchAction::SHOW, 2, "RECT", "lib"},
      {{"--show", "--", "-odd"}, BatchAction::SHOW, 1, "-odd", nullptr},
      {sixtyFour, BatchAction::SHOW, MAX_SHOW_SYMBOLS, "S0", nullptr},
      {sixtyFive, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--show"}, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--show", "--strict", "RECT"}, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--json", "--show", "RECT"}, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--show", "RECT", "--print-library-dir"}, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--print-library-dir", "--show", "RECT"}, BatchAction::USAGE, 0, nullptr, nullptr},
      {{"--show", "RECT", "--help"}, BatchAction::HELP, 0, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"pareskit-batch"};
    argv.insert(argv.end(), c.words.begin(), c.words.end());
    const std::string context = c.words.size() > 1 ? c.words[1] : c.words[0];
    const BatchOptions options = ParseBatchOptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(options.action, c.action) << context;
    if (c.action != BatchAction::SHOW) continue;
    EXPECT_EQ(options.showSymbolCount, c.symbols) << context;
    EXPECT_EQ(Text(options.showSymbols[0]), Text(c.first)) << context;
    EXPECT_EQ(Text(options.libraryDirectory), Text(c.directory)) << context;
  }
}

}  // namespace
}  // namespace pk
