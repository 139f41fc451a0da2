#include "extract/library_lines.h"

namespace pk {

int32_t FoldHeaderName(LineRecord& line) {
  int32_t end = 3;
  while (end <= LINE_LENGTH && line.At(end) != BLANK) {
    line.At(end) = FoldCase(line.At(end));
    ++end;
  }
  return end - 3;
}

int32_t CopiedLength(const LineRecord& line) {
  int32_t k = LINE_LENGTH;
  while (k > 0 && (line.At(k) == BLANK || line.At(k) == '\0')) --k;
  return k;
}

}  // namespace pk
