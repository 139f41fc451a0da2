// Fuzz target: loading a master list from arbitrary bytes, twice over the
// same table as a job does. The table holds exactly the reference entries,
// keeps its packing invariants, and the indexed lookup answers every query
// exactly as the walk through the list does.
#include <cstdint>
#include <string>
#include <vector>

#include "extract/master_list.h"
#include "extract/symbol_table.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/line_model.h"
#include "testing/list_walks.h"
#include "testing/memory_files.h"

namespace {

std::vector<std::string> ModelEntries(const std::string& bytes) {
  std::vector<std::string> entries;
  for (const std::string& line : pk::fuzzing::ModelLines(bytes)) {
    if (line[0] == ' ') continue;
    std::string word = pk::fuzzing::ModelFirstWord(line);
    for (char& c : word) c = pk::fuzzing::ModelFold(c);
    entries.push_back(word);
  }
  return entries;
}

bool IsIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int32_t ModelLookUp(const std::vector<std::string>& entries, const std::string& query) {
  for (size_t j = 0; j < entries.size(); ++j) {
    if (entries[j] == query) return static_cast<int32_t>(j + 1);
  }
  return 0;
}

void CheckQuery(const std::vector<std::string>& entries, const std::string& query) {
  if (query.empty() || query.size() > 80) return;
  const int32_t length = static_cast<int32_t>(query.size());
  const int32_t walked = pk::testing::LookUpIdentifierByWalk(query.data(), length);
  PK_FUZZ_CHECK(pk::LookUpIdentifier(query.data(), length) == walked);
  PK_FUZZ_CHECK(walked == ModelLookUp(entries, query));
}

// The identifiers a scan could take out of the entries and out of the raw
// bytes (folded), plus their shorter prefixes, which share first character
// and sometimes length with other entries.
void CheckLookUps(const std::vector<std::string>& entries, const std::string& bytes) {
  std::vector<std::string> queries;
  for (const std::string& entry : entries) {
    std::string identifier;
    for (char c : entry) {
      if (!IsIdentifierChar(c)) break;
      identifier += c;
    }
    queries.push_back(identifier);
  }
  std::string current;
  for (char c : bytes) {
    c = pk::fuzzing::ModelFold(c);
    if (IsIdentifierChar(c)) {
      current += c;
    } else if (!current.empty()) {
      queries.push_back(current);
      current.clear();
    }
  }
  queries.push_back(current);
  for (const std::string& query : queries) {
    CheckQuery(entries, query);
    if (query.size() > 1) CheckQuery(entries, query.substr(0, query.size() - 1));
  }
}

void CheckTable(const std::vector<std::string>& entries) {
  const pk::SymbolTable& table = pk::symbolTable;
  PK_FUZZ_CHECK(table.entryCount == static_cast<int32_t>(entries.size()));
  PK_FUZZ_CHECK(table.entryStart[0] == 1);
  for (int32_t j = 1; j <= table.entryCount; ++j) {
    const std::string& expected = entries[static_cast<size_t>(j - 1)];
    PK_FUZZ_CHECK(table.entryLength[j] == static_cast<int32_t>(expected.size()));
    PK_FUZZ_CHECK(std::string(pk::EntryText(j), expected.size()) == expected);
    PK_FUZZ_CHECK(pk::EntryTerminator(j) == pk::MARK_OPEN);
    PK_FUZZ_CHECK(table.entryStart[j] == table.entryStart[j - 1] + table.entryLength[j] + 1);
  }
  PK_FUZZ_CHECK(table.nextFree == table.entryStart[table.entryCount]);
}

void LoadAndCheck(const std::string& bytes) {
  pk::testing::PutMemoryFile(pk::MASTER_FI_NAME, bytes);
  PK_FUZZ_CHECK(pk::LoadMasterList(pk::MASTER_FI_NAME, sizeof pk::MASTER_FI_NAME - 1).end ==
                pk::StepEnd::DONE);
  // Inputs are far below the table's capacity, so every entry is loaded.
  const std::vector<std::string> entries = ModelEntries(bytes);
  CheckTable(entries);
  CheckLookUps(entries, bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const pk::testing::MemoryFiles memoryFiles;
  // A second, different list loaded over the first must leave nothing of it.
  LoadAndCheck(bytes);
  LoadAndCheck(bytes.substr(size / 2));
  return 0;
}
