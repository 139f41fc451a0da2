// Fuzz target: scanning an arbitrary source against an arbitrary master list
// (both cut from one input). The used-symbol list written is well-formed CR LF
// text and equals the reference scan: every library symbol of the statement
// lines once, in order of first use, as the master list spells it; then every
// symbol that a needs line of a used entry names, not in the list yet, with
// the remark naming that entry.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "extract/job_files.h"
#include "extract/master_list.h"
#include "extract/source_scan.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/line_model.h"
#include "fuzz/split_input.h"
#include "testing/files.h"
#include "testing/memory_files.h"

namespace {

bool IsIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The first entry equal to a folded name; entries.size() when none is.
size_t FirstEqualEntry(const std::vector<std::string>& entries, const std::string& name) {
  size_t j = 0;
  while (j < entries.size() && entries[j] != name) ++j;
  return j;
}

// The symbols the needs lines of the entries in `used` (by number) add.
void ModelAddedSymbols(const std::vector<std::string>& entries, std::set<size_t>& marked,
                       std::vector<std::string>& used) {
  const std::set<size_t> named = marked;
  size_t owner = entries.size();
  for (size_t j = 0; j < entries.size(); ++j) {
    if (entries[j][0] != '+') {
      owner = j;
      continue;
    }
    const std::string name = entries[j].substr(1);
    bool identifier = !name.empty();
    for (const char c : name) identifier = identifier && IsIdentifierChar(c);
    if (owner == entries.size() || named.count(owner) == 0 || !identifier) continue;
    const size_t needed = FirstEqualEntry(entries, name);
    if (needed == entries.size() || !marked.insert(needed).second) continue;
    used.push_back(name + " needed by " + entries[owner]);
  }
}

std::vector<std::string> ModelUsedSymbols(const std::string& master, const std::string& source) {
  std::vector<std::string> entries;
  for (const std::string& line : pk::fuzzing::ModelLines(master)) {
    if (line[0] == ' ') continue;
    std::string word = pk::fuzzing::ModelFirstWord(line);
    for (char& c : word) c = pk::fuzzing::ModelFold(c);
    entries.push_back(word);
  }
  std::vector<std::string> used;
  std::set<size_t> marked;
  for (const std::string& line : pk::fuzzing::ModelLines(source)) {
    if (line[0] == 'C' || line[0] == 'c' || line[0] == '$') continue;
    size_t column = 6;
    while (column < line.size()) {
      std::string identifier;
      while (column < line.size() && IsIdentifierChar(line[column])) {
        identifier += pk::fuzzing::ModelFold(line[column++]);
      }
      ++column;
      if (identifier.empty()) continue;
      const size_t j = FirstEqualEntry(entries, identifier);
      if (j < entries.size() && marked.insert(j).second) used.push_back(identifier);
    }
  }
  ModelAddedSymbols(entries, marked, used);
  return used;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  const std::vector<std::string> parts = pk::fuzzing::SplitInput(data, size, 2);
  const pk::testing::MemoryFiles memoryFiles;
  pk::testing::PutMemoryFile(pk::MASTER_FI_NAME, parts[0]);
  pk::testing::PutMemoryFile("DEMO.FOR", parts[1]);
  pk::testing::PutMemoryFile("DEMO.FIH", std::string("LEFT_BY_AN_EARLIER_JOB\r\n"));
  char programName[pk::PROGRAM_NAME_LENGTH + 1] = "DEMO";
  const pk::JobFiles jobFiles = pk::MakeJobFiles(pk::ProgramNameOf(programName), "FOR");

  PK_FUZZ_CHECK(pk::LoadMasterList(pk::MASTER_FI_NAME, sizeof pk::MASTER_FI_NAME - 1).end ==
                pk::StepEnd::DONE);
  PK_FUZZ_CHECK(
      pk::ScanSource(jobFiles.sourceName, jobFiles.usedFiName, pk::LookUpIdentifier).end ==
      pk::StepEnd::DONE);
  std::string written;
  PK_FUZZ_CHECK(pk::testing::GetMemoryFile("DEMO.FIH", &written));
  bool wellFormed = false;
  const std::vector<std::string> lines = pk::testing::SplitCrLf(written, &wellFormed);
  PK_FUZZ_CHECK(wellFormed);
  PK_FUZZ_CHECK(lines == ModelUsedSymbols(parts[0], parts[1]));
  return 0;
}
