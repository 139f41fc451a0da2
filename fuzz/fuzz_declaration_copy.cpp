// Fuzz target: reading back an arbitrary used-symbol list and copying blocks
// out of two arbitrary library files (all cut from one input), then writing
// the report section. The indexed search for a needed word answers as the
// walk through the list does, before and after the marks change; the output
// file and the report equal the reference copying and report.
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "extract/declaration_copy.h"
#include "extract/job_files.h"
#include "extract/library_table.h"
#include "extract/needed_list.h"
#include "extract/report.h"
#include "extract/symbol_table.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/line_model.h"
#include "fuzz/split_input.h"
#include "records/record_file.h"
#include "testing/files.h"
#include "testing/list_walks.h"
#include "testing/memory_files.h"

namespace {

struct ModelWord {
  std::string text;
  bool found;
  std::string remark;  // the entry it was added for, when its line names one
};

std::string FoldedFirstWord(const std::string& line, size_t from) {
  std::string word = line.substr(from, line.find(' ', from) - from);
  for (char& c : word) c = pk::fuzzing::ModelFold(c);
  return word;
}

// The name after " needed by " behind the word, folded; empty when none.
std::string ModelRemark(const std::string& line, size_t wordLength) {
  const std::string neededBy = " NEEDED BY ";
  if (wordLength + neededBy.size() >= line.size()) return "";
  for (size_t i = 0; i < neededBy.size(); ++i) {
    if (pk::fuzzing::ModelFold(line[wordLength + i]) != neededBy[i]) return "";
  }
  return FoldedFirstWord(line, wordLength + neededBy.size());
}

std::vector<ModelWord> ModelNeeded(const std::string& list) {
  std::vector<ModelWord> words;
  for (const std::string& line : pk::fuzzing::ModelLines(list)) {
    if (line[0] == ' ') continue;
    const std::string word = FoldedFirstWord(line, 0);
    words.push_back({word, false, ModelRemark(line, word.size())});
  }
  return words;
}

// Copies the blocks of one library; returns the lines written.
void ModelCopyLibrary(const std::string& library, std::vector<ModelWord>& words, int* remaining,
                      std::vector<std::string>& output) {
  bool copying = false;
  for (std::string line : pk::fuzzing::ModelLines(library)) {
    if (line[0] == 'c') line[0] = 'C';
    if (copying && line[0] != 'C') {
      const size_t last = line.find_last_not_of(std::string(" \0", 2));
      output.push_back(last == std::string::npos ? "" : line.substr(0, last + 1));
    }
    if (line[0] == 'C' && line[1] == '*') {
      copying = false;
      const std::string name = FoldedFirstWord(line, 2);
      if (name.empty()) continue;
      for (ModelWord& word : words) {
        if (word.found || word.text != name) continue;
        word.found = true;
        --*remaining;
        copying = true;
        break;
      }
    }
  }
}

std::vector<std::string> ModelReport(const std::vector<ModelWord>& words, int remaining) {
  char line[64];
  std::vector<std::string> report;
  int added = 0;
  for (const ModelWord& word : words) added += word.remark.empty() ? 0 : 1;
  std::snprintf(line, sizeof line, "%8d FD Symbols were specified",
                static_cast<int>(words.size()) - added);
  report.push_back(line);
  if (added > 0) {
    std::snprintf(line, sizeof line, "%8d FD Symbols were needed by other blocks", added);
    report.push_back(line);
  }
  std::snprintf(line, sizeof line, "%8d FD Symbols were not found", remaining);
  report.push_back(line);
  if (remaining == 0) return report;
  report.push_back(" FD Symbols not found:");
  for (const ModelWord& word : words) {
    if (!word.found) {
      report.push_back(word.text + (word.remark.empty() ? "" : " needed by " + word.remark));
    }
  }
  return report;
}

// Each distinct query once, and at most a few hundred of them: the walk is
// linear, and a long input of short lines would otherwise dominate the run.
void CheckFinders(const std::set<std::string>& queries) {
  int checked = 0;
  for (const std::string& query : queries) {
    if (++checked > 256) break;
    if (query.empty() || query.size() > 80) continue;
    const int32_t length = static_cast<int32_t>(query.size());
    PK_FUZZ_CHECK(pk::FindNeededWord(query.data(), length) ==
                  pk::testing::FindNeededWordByWalk(query.data(), length));
  }
}

std::vector<std::string> WrittenLines(const char* name) {
  std::string bytes;
  PK_FUZZ_CHECK(pk::testing::GetMemoryFile(name, &bytes));
  bool wellFormed = false;
  const std::vector<std::string> lines = pk::testing::SplitCrLf(bytes, &wellFormed);
  PK_FUZZ_CHECK(wellFormed);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  const std::vector<std::string> parts = pk::fuzzing::SplitInput(data, size, 3);
  const pk::testing::MemoryFiles memoryFiles;
  pk::testing::PutMemoryFile("DEMO.FDH", parts[0]);
  pk::testing::PutMemoryFile("USER32.FD", parts[1]);
  pk::testing::PutMemoryFile("GDI32.FD", parts[2]);
  pk::testing::PutMemoryFile("DEMO.FD", std::string("LEFT BY AN EARLIER JOB\r\n"));
  char programName[pk::PROGRAM_NAME_LENGTH + 1] = "DEMO";
  const pk::JobFiles jobFiles = pk::MakeJobFiles(pk::ProgramNameOf(programName), "FOR");

  std::vector<ModelWord> words = ModelNeeded(parts[0]);
  std::set<std::string> queries;
  for (const ModelWord& word : words) queries.insert(word.text);
  for (size_t library = 1; library <= 2; ++library) {
    for (const std::string& line : pk::fuzzing::ModelLines(parts[library])) {
      queries.insert(FoldedFirstWord(line, 2));
    }
  }

  PK_FUZZ_CHECK(pk::LoadNeededList(jobFiles.usedFdName).end == pk::StepEnd::DONE);
  PK_FUZZ_CHECK(pk::neededList.neededCount == static_cast<int32_t>(words.size()));
  PK_FUZZ_CHECK(pk::neededList.remainingCount == pk::neededList.neededCount);
  CheckFinders(queries);
  pk::FileFaults faults = {};
  bool cutShort[pk::LIBRARY_SLOTS] = {};
  PK_FUZZ_CHECK(pk::CopyDeclarations(pk::CURRENT_DIRECTORY, pk::libraryTable.fdLibraries,
                                     jobFiles.fdOutName, pk::FindNeededWord, faults, cutShort)
                    .end == pk::StepEnd::DONE);
  PK_FUZZ_CHECK(faults.count == 0);
  CheckFinders(queries);

  int remaining = static_cast<int>(words.size());
  std::vector<std::string> output;
  for (size_t library = 1; library <= 2 && remaining > 0; ++library) {
    ModelCopyLibrary(parts[library], words, &remaining, output);
  }
  PK_FUZZ_CHECK(pk::neededList.remainingCount == remaining);
  PK_FUZZ_CHECK(WrittenLines("DEMO.FD") == output);

  PK_FUZZ_CHECK(pk::OpenFile(pk::UNIT_REPORT, jobFiles.reportName, pk::OpenStatus::REPLACE) ==
                pk::IO_OK);
  PK_FUZZ_CHECK(pk::WriteReport(pk::FD_KIND_TEXT).end == pk::StepEnd::DONE);
  pk::CloseFile(pk::UNIT_REPORT);
  PK_FUZZ_CHECK(WrittenLines("DEMO.PRE") == ModelReport(words, remaining));
  return 0;
}
