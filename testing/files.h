// Test support: whole files written and read back byte for byte, and the
// CR LF lines the record layer writes.
#pragma once

#include <string>
#include <vector>

namespace pk::testing {

// Creates or replaces `name` with exactly `bytes`.
void WriteWholeFile(const std::string& name, const std::string& bytes);

// The bytes of `name`, or "<missing>" when it cannot be opened.
std::string ReadWholeFile(const std::string& name);

bool FileExists(const std::string& name);

// The lines, each one ended by CR LF.
std::string CrLf(const std::vector<std::string>& lines);

// The lines of `bytes` without their CR LF. *wellFormed is false when the
// bytes end in a line that has no CR LF, which is then not among the lines.
std::vector<std::string> SplitCrLf(const std::string& bytes, bool* wellFormed);

}  // namespace pk::testing
