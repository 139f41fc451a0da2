#include "records/fixed_text.h"

#include <cstdlib>

#include "records/file_services.h"

namespace pk {

void Assign(char* destination, int32_t dfirst, int32_t dlast, const char* source, int32_t sfirst,
            int32_t slast) {
  const int32_t n = dlast - dfirst + 1;
  const int32_t c = slast - sfirst + 1;
  if (n < 0 || c < 0) {
    // Through the file services like the layer's other run-time errors, so a
    // test that replaces them sees this one too.
    static const char REPORT[] = "\nrun-time error: negative length in a text assignment\n";
    CurrentFileServices().writeStandardError(REPORT, static_cast<int32_t>(sizeof REPORT - 1));
    std::exit(1);
  }
  char* to = destination + (dfirst - 1);
  const char* from = source + (sfirst - 1);
  const int32_t copied = c < n ? c : n;
  for (int32_t i = 0; i < copied; ++i) to[i] = from[i];
  for (int32_t i = copied; i < n; ++i) to[i] = BLANK;
}

int32_t TrimmedLength(const char* text, int32_t length) {
  while (length > 0 && text[length - 1] == BLANK) --length;
  return length;
}

char FoldCase(char c) {
  // Read as a signed byte, so 128-255 are negative and never folded.
  const signed char value = static_cast<signed char>(c);
  return value > 96 ? static_cast<char>(value - 32) : c;
}

int Compare(const char* a, int32_t lengthA, const char* b, int32_t lengthB) {
  const int32_t common = lengthA < lengthB ? lengthA : lengthB;
  for (int32_t i = 0; i < common; ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  // The longer operand is greater as soon as its extra part holds a non-blank.
  const char* rest = lengthA > lengthB ? a : b;
  const int32_t restLength = lengthA > lengthB ? lengthA : lengthB;
  for (int32_t i = common; i < restLength; ++i) {
    if (rest[i] != BLANK) return lengthA > lengthB ? 1 : -1;
  }
  return 0;
}

}  // namespace pk
