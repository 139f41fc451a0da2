// Fuzzing support: one fuzz input cut into several files. The first two
// bytes of each cut give the length of the next part (taken modulo what is
// left), the last part is the rest; short inputs give empty parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pk::fuzzing {

inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t parts) {
  std::vector<std::string> result;
  size_t at = 0;
  for (size_t part = 1; part < parts; ++part) {
    size_t length = 0;
    if (size - at >= 2) {
      length = static_cast<size_t>(data[at] | (data[at + 1] << 8));
      at += 2;
      length %= size - at + 1;
    }
    result.emplace_back(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }
  result.emplace_back(reinterpret_cast<const char*>(data + at), size - at);
  return result;
}

}  // namespace pk::fuzzing
