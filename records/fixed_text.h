// Fixed-length, blank-padded character fields with 1-based inclusive slices.
// Every text the system keeps (file names, input lines, symbols, form texts)
// lives in such a field: always completely filled, blanks where no character
// stands, no terminator and no separate length.
#pragma once

#include <cstdint>

#include "records/byte_vectors.h"

namespace pk {

constexpr char BLANK = ' ';

// A field of exactly N bytes, positions 1 to N.
template <int32_t N>
struct FixedText {
  char chars[N];

  // The character at 1-based position `position` (1 <= position <= N).
  char& At(int32_t position) { return chars[position - 1]; }
  char At(int32_t position) const { return chars[position - 1]; }
};

// Copies source(sfirst:slast) into destination(dfirst:dlast): a shorter source
// is followed by blanks, a longer one is cut on the right. Characters are
// copied from the first position to the last. A negative length on either
// side is a programming error: the process reports it on standard error and
// ends with exit code 1.
void Assign(char* destination, int32_t dfirst, int32_t dlast, const char* source, int32_t sfirst,
            int32_t slast);

// Copies a whole field into another of any length (same rules as Assign).
template <int32_t N, int32_t M>
void Assign(FixedText<N>& destination, const FixedText<M>& source) {
  Assign(destination.chars, 1, N, source.chars, 1, M);
}

// Fills a whole field from `length` bytes at `text` (same rules as Assign).
template <int32_t N>
void AssignText(FixedText<N>& destination, const char* text, int32_t length) {
  Assign(destination.chars, 1, N, text, 1, length);
}

// The length of the first `length` characters of `text` once their trailing
// blanks are left out (0 when all are blanks). A tab or a NUL is no blank.
int32_t TrimmedLength(const char* text, int32_t length);

// The system's upper-case rule: a byte whose value, read as a signed 8-bit
// number, is greater than 96 is lowered by 32. So 97-127 become 65-95 and
// bytes 128-255 stay as they are.
char FoldCase(char c);

// FoldCase of sixteen characters at once.
inline ByteVector FoldCaseSixteen(ByteVector chars) {
  // Bytes 97 to 127 are the ones above 96 as signed bytes.
  return chars - (Lanes(chars - SameBytes(97) < SameBytes(31)) & SameBytes(32));
}

// Compares two texts as unsigned bytes, the shorter one taken as if padded
// with blanks: -1, 0 or +1. Extra characters of the longer operand that are
// not blanks (a tab or a NUL too) make it the greater.
int Compare(const char* a, int32_t lengthA, const char* b, int32_t lengthB);

// True when Compare finds the two texts equal.
inline bool TextEqual(const char* a, int32_t la, const char* b, int32_t lb) {
  return Compare(a, la, b, lb) == 0;
}

}  // namespace pk
