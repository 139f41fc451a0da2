#include "extract/master_list.h"

#include <cstring>

#include "extract/symbol_table.h"
#include "extract/word_hash.h"
#include "records/record_file.h"

namespace pk {

namespace {

// The index over the entries whose text consists of identifier characters
// (capitals, digits, "_"): any other entry can never equal a folded
// identifier. Of equal entries only the first is indexed.
//
// Open addressing in buckets of four slots, a bucket to half a cache line. A
// slot holds a 16-bit tag from the hash beside the 16-bit entry number, so a
// probe seldom has to look at the entry itself; 0 is an empty slot. Slots
// fill in probe order and are never emptied one by one, so a lookup ends at
// the first empty slot. At most 50,000 of the 131,072 slots are used.
constexpr int32_t BUCKET_BITS = 15;
constexpr int32_t BUCKETS = 1 << BUCKET_BITS;
constexpr int32_t BUCKET_SLOTS = 4;
static_assert(MAX_SYMBOLS < (1 << 16), "an entry number fits the 16 bits of a slot");
static_assert(MAX_SYMBOLS <= BUCKETS * BUCKET_SLOTS / 2, "the index stays at most half full");

struct Bucket {
  uint32_t slots[BUCKET_SLOTS];  // tag << 16 | entry number
};
Bucket buckets[BUCKETS];

// Identifier characters run from "0" (48) to "_" (95). firstCharacters[n]
// has bit c - 48 set when an indexed entry of n characters starts with c: a
// lookup that finds its bit clear is decided without a probe.
constexpr uint32_t FIRST_IDENTIFIER_CODE = '0';
constexpr uint32_t IDENTIFIER_CODES = '_' - '0' + 1;
static_assert(IDENTIFIER_CODES <= 64, "one bit per first character");
uint64_t firstCharacters[LINE_LENGTH + 1];

// The entries that are needs lines.
int32_t needsLines;

struct IndexKey {
  uint32_t bucket;
  uint32_t tag;
};

IndexKey KeyOf(const char* chars, int32_t length) {
  const uint64_t hash = HashWord(chars, length);
  return {static_cast<uint32_t>(hash >> (64 - BUCKET_BITS)),
          static_cast<uint32_t>(hash >> 16) & 0xFFFFu};
}

bool IsIdentifierText(const char* chars, int32_t length) {
  for (int32_t i = 0; i < length; ++i) {
    const char c = chars[i];
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

bool EntryEquals(int32_t j, const char* chars, int32_t length) {
  return symbolTable.entryLength[j] == length &&
         std::memcmp(EntryText(j), chars, static_cast<size_t>(length)) == 0;
}

void ClearIndex() {
  std::memset(buckets, 0, sizeof buckets);
  std::memset(firstCharacters, 0, sizeof firstCharacters);
  needsLines = 0;
}

// Indexes entry j unless an equal entry is indexed already.
void IndexEntry(int32_t j) {
  const char* chars = EntryText(j);
  const int32_t length = symbolTable.entryLength[j];
  const IndexKey key = KeyOf(chars, length);
  for (uint32_t b = key.bucket;; b = (b + 1) & (BUCKETS - 1)) {
    for (uint32_t& slot : buckets[b].slots) {
      if (slot == 0) {
        slot = key.tag << 16 | static_cast<uint32_t>(j);
        firstCharacters[length] |= uint64_t{1}
                                   << (static_cast<uint8_t>(chars[0]) - FIRST_IDENTIFIER_CODE);
        return;
      }
      if (slot >> 16 == key.tag &&
          EntryEquals(static_cast<int32_t>(slot & 0xFFFFu), chars, length)) {
        return;
      }
    }
  }
}

}  // namespace

void IndexMasterEntries() {
  ClearIndex();
  for (int32_t j = 1; j <= symbolTable.entryCount; ++j) {
    const int32_t length = symbolTable.entryLength[j];
    if (length <= LINE_LENGTH && IsIdentifierText(EntryText(j), length)) {
      IndexEntry(j);
    } else if (EntryText(j)[0] == NEEDS_LINE_MARK) {
      ++needsLines;
    }
  }
}

int32_t NeedsLineCount() {
  return needsLines;
}

StepOutcome LoadMasterList(const char* fileName, int32_t nameLength) {
  ClearEntries();
  ClearIndex();
  const IoStatus opened = OpenFile(UNIT_INPUT, fileName, nameLength, OpenStatus::OLD);
  if (opened != IO_OK) return StepOutcome{StepEnd::INPUT_NOT_OPENED, opened};
  const IoStatus ended = AppendFirstWords(UNIT_INPUT);
  CloseFile(UNIT_INPUT);
  IndexMasterEntries();
  // A list cut by a read error would hide symbols the program uses.
  return ended > 0 ? StepOutcome{StepEnd::INPUT_READ_FAILED, ended} : STEP_DONE;
}

IoStatus SpellMasterEntries(const char* fileName, int32_t nameLength, EntrySpelling spelt,
                            void* context) {
  const IoStatus opened = OpenFile(UNIT_INPUT, fileName, nameLength, OpenStatus::OLD);
  if (opened != IO_OK) return opened;
  // The entries are the lines AppendFirstWords took, the words as long as it
  // took them: folding changes no length.
  LineRecord line;
  IoStatus read = IO_OK;
  int32_t entry = 0;
  bool more = true;
  while (more && entry < symbolTable.entryCount && (read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (line.At(1) == BLANK) continue;
    ++entry;
    more = spelt(context, entry, line.chars, symbolTable.entryLength[entry]);
  }
  CloseFile(UNIT_INPUT);
  return read == IO_OK ? IO_END_OF_FILE : read;
}

namespace {

// The probe of LookUpIdentifier, apart so that the common early answer costs
// no more than its test.
[[gnu::noinline]] int32_t FindIndexedEntry(const char* chars, int32_t length) {
  const IndexKey key = KeyOf(chars, length);
  for (uint32_t b = key.bucket;; b = (b + 1) & (BUCKETS - 1)) {
    for (const uint32_t slot : buckets[b].slots) {
      if (slot == 0) return 0;
      const auto entry = static_cast<int32_t>(slot & 0xFFFFu);
      if (slot >> 16 == key.tag && EntryEquals(entry, chars, length)) return entry;
    }
  }
}

}  // namespace

int32_t LookUpIdentifier(const char* chars, int32_t length) {
  if (length <= 0 || length > LINE_LENGTH) return 0;
  const uint32_t first = static_cast<uint8_t>(chars[0]) - FIRST_IDENTIFIER_CODE;
  if (first >= IDENTIFIER_CODES || (firstCharacters[length] >> first & 1) == 0) return 0;
  return FindIndexedEntry(chars, length);
}

}  // namespace pk
