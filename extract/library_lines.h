// How the library files are read, line by line: the block headers and the
// lines of the blocks. The copying and pareskit-batch --show read them so.
#pragma once

#include <cstdint>

#include "records/record_file.h"

namespace pk {

// Folds the name of the block header `line` ("C*NAME": column 3 up to the
// first blank or column 80) to capitals in place and returns its length, 0
// when the header names nothing. The name starts at &line.At(3).
int32_t FoldHeaderName(LineRecord& line);

// The length of a block line as it is copied: its trailing blanks and NULs
// removed.
int32_t CopiedLength(const LineRecord& line);

// Reads the library file attached to UNIT_INPUT to its end. A "c" in column 1
// is read as "C", which makes the line a comment: a comment line whose
// column 2 holds "*" is a block header and goes to `header(LineRecord&)`,
// the others are passed over; every line that is not a comment goes to
// `text(const LineRecord&)`. Either returns false to stop the reading.
// Returns the status of the last read: IO_END_OF_FILE at the end, a read
// error, or IO_OK when stopped.
template <typename Header, typename Text>
IoStatus ReadLibraryLines(Header header, Text text) {
  LineRecord line;
  IoStatus read;
  while ((read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (line.At(1) == 'c') line.At(1) = 'C';
    if (line.At(1) != 'C') {
      if (!text(static_cast<const LineRecord&>(line))) break;
    } else if (line.At(2) == '*') {
      if (!header(line)) break;
    }
  }
  return read;
}

}  // namespace pk
