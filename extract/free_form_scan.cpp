#include "extract/free_form_scan.h"

#include "extract/identifier_chars.h"

namespace pk {

namespace {

bool IsBlank(char c) {
  return c == BLANK || c == '\t';
}

// Gives the word read so far, when there is one that can be a symbol, and
// starts the next.
bool GiveWord(FreeFormScanner& s) {
  const int32_t length = s.wordLength;
  s.wordLength = 0;
  if (length == 0 || length > LINE_LENGTH) return true;
  return s.sink(s.context, s.word, length);
}

bool ScanChar(FreeFormScanner& s, char c) {
  if (s.inComment) return true;
  // A blank ends a word, except one held by a "&" that may continue it.
  if (IsBlank(c)) return s.ampersandLast || GiveWord(s);
  if (!s.lineStarted) {
    if (c == '!') {
      s.inComment = true;  // a comment line: a continuation still waits for its line
      return true;
    }
    s.lineStarted = true;
    if (s.continued) {
      s.continued = false;
      s.ampersandLast = false;
      if (c == '&') return true;  // the statement, and a word split before it, go on here
      if (!GiveWord(s)) return false;
    }
  }
  if (c == '!' && s.quote == 0) {
    s.inComment = true;  // a "&" before the comment may still end the line
    return s.ampersandLast || GiveWord(s);
  }
  if (s.ampersandLast) {
    // The "&" was not the line's last character: the word before it ended there.
    s.ampersandLast = false;
    if (!GiveWord(s)) return false;
  }
  const char folded = FoldedIdentifierChar(c);
  if (folded != 0) {
    if (s.wordLength < LINE_LENGTH) s.word[s.wordLength] = folded;
    if (s.wordLength <= LINE_LENGTH) ++s.wordLength;
    return true;
  }
  if (c == '&') {
    s.ampersandLast = true;
    return true;
  }
  if (!GiveWord(s)) return false;
  if (s.quote == 0) {
    if (c == '\'' || c == '"') s.quote = c;
  } else if (c == s.quote) {
    s.quote = 0;  // a doubled quote closes and opens again: the same text
  }
  return true;
}

}  // namespace

void StartFreeFormScan(FreeFormScanner& scanner, WordSink sink, void* context) {
  scanner = FreeFormScanner{};
  scanner.sink = sink;
  scanner.context = context;
}

bool ScanFreeFormPiece(FreeFormScanner& scanner, const char* chars, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (!ScanChar(scanner, chars[i])) return false;
  }
  return true;
}

bool EndFreeFormLine(FreeFormScanner& scanner) {
  scanner.inComment = false;
  if (!scanner.lineStarted) return true;  // a blank or comment line changes nothing
  scanner.lineStarted = false;
  if (scanner.ampersandLast) {
    scanner.continued = true;
    return true;
  }
  scanner.quote = 0;  // a character constant does not pass a line's end without "&"
  return GiveWord(scanner);
}

bool EndFreeFormSource(FreeFormScanner& scanner) {
  scanner.ampersandLast = false;
  return GiveWord(scanner);
}

}  // namespace pk
