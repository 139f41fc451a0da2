// The words of free-form source text, for the source scan.
//
// The text comes a line at a time, each line in pieces of any length. Every
// column is scanned; there is no comment column. A word is a run of letters,
// digits and "_", folded to capitals. "!" outside a character constant
// ('...' or "...") starts a comment to the end of the line. A line whose last
// character before any comment, blanks aside, is "&" goes on in the next line
// that is neither blank nor a comment: when that line's first character,
// blanks aside, is "&", a word just before the first "&" and the one just
// after the second are one word (`CALL Get&` / `&TickCount()` gives
// GETTICKCOUNT). Character constants are scanned like the rest; they are
// followed only so that a "!" inside one does not hide what follows it.
#pragma once

#include <cstdint>

#include "records/record_file.h"

namespace pk {

// Takes one word (1 to LINE_LENGTH characters, folded); false stops the scan.
// Words longer than LINE_LENGTH match no master-list entry and are not given.
using WordSink = bool (*)(void* context, const char* chars, int32_t length);

struct FreeFormScanner {
  WordSink sink;
  void* context;
  char word[LINE_LENGTH];  // the word being read; its first LINE_LENGTH characters
  int32_t wordLength;      // may pass LINE_LENGTH: then it is no symbol
  char quote;              // the quote of the character constant being read, 0 outside
  bool lineStarted;        // a character other than a blank was met on this line
  bool inComment;          // after a "!" that starts a comment, up to the line's end
  bool ampersandLast;      // "&" is the last nonblank character met outside a comment
  bool continued;          // the line before ended with "&"
};

// Makes `scanner` ready for the first line of a source.
void StartFreeFormScan(FreeFormScanner& scanner, WordSink sink, void* context);

// Scans `count` characters of the current line. Returns false when the sink
// stopped the scan (the scanner is then not to be used further).
bool ScanFreeFormPiece(FreeFormScanner& scanner, const char* chars, int32_t count);

// Ends the current line (a continued word is kept for the next line).
// Returns false when the sink stopped the scan.
bool EndFreeFormLine(FreeFormScanner& scanner);

// Ends the source: a word still held is given. Returns false when the sink
// stopped the scan.
bool EndFreeFormSource(FreeFormScanner& scanner);

}  // namespace pk
