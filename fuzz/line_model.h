// Fuzzing support: the text-line rules written out plainly, as the reference
// the record layer's line reader and the readers built on it are held to.
#pragma once

#include <string>
#include <vector>

namespace pk::fuzzing {

constexpr size_t kLineLength = 80;

// The 80-column records a text file reads as: lines end at LF (or the file's
// end), a CR ends the useful part of its line, at most 80 characters are
// kept, blanks fill the rest. An empty file has no line.
inline std::vector<std::string> ModelLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string text = bytes.substr(start, end - start);
    text = text.substr(0, text.find('\r'));
    if (text.size() > kLineLength) text.resize(kLineLength);
    text.resize(kLineLength, ' ');
    lines.push_back(text);
    start = end + 1;
  }
  return lines;
}

// The case rule of the job's files: a byte above 96, read as a signed 8-bit
// number, is lowered by 32.
inline char ModelFold(char c) {
  return static_cast<signed char>(c) > 96 ? static_cast<char>(c - 32) : c;
}

// The first word of a record: from column 1 up to the first blank.
inline std::string ModelFirstWord(const std::string& line) {
  return line.substr(0, line.find(' '));
}

}  // namespace pk::fuzzing
