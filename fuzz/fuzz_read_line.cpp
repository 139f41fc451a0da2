// Fuzz target: the line reader and the byte reader of the record layer on
// arbitrary bytes. Every line read is 80 bytes without CR or LF and equals the
// reference reading; the end of the file answers -1 and keeps answering it;
// a byte read in arbitrary pieces returns the file's bytes in order.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/line_model.h"
#include "records/record_file.h"
#include "testing/memory_files.h"

namespace {

constexpr char kName[] = "INPUT.TXT";

void CheckLines(const std::string& bytes) {
  PK_FUZZ_CHECK(pk::OpenFile(pk::UNIT_INPUT, kName, sizeof kName - 1, pk::OpenStatus::OLD) ==
                pk::IO_OK);
  const std::vector<std::string> expected = pk::fuzzing::ModelLines(bytes);
  size_t count = 0;
  pk::LineRecord line;
  pk::IoStatus status;
  while ((status = pk::ReadLine(pk::UNIT_INPUT, line)) == pk::IO_OK) {
    const std::string text(line.chars, pk::LINE_LENGTH);
    PK_FUZZ_CHECK(text.find('\r') == std::string::npos && text.find('\n') == std::string::npos);
    PK_FUZZ_CHECK(count < expected.size());
    PK_FUZZ_CHECK(text == expected[count]);
    ++count;
  }
  PK_FUZZ_CHECK(status == pk::IO_END_OF_FILE);
  PK_FUZZ_CHECK(count == expected.size());
  const std::string before(line.chars, pk::LINE_LENGTH);
  PK_FUZZ_CHECK(pk::ReadLine(pk::UNIT_INPUT, line) == pk::IO_END_OF_FILE);
  PK_FUZZ_CHECK(std::string(line.chars, pk::LINE_LENGTH) == before);
  pk::CloseFile(pk::UNIT_INPUT);
}

// Reads the file in pieces whose sizes come from its own bytes.
void CheckBytes(const std::string& bytes) {
  PK_FUZZ_CHECK(pk::OpenFile(pk::UNIT_INPUT, kName, sizeof kName - 1, pk::OpenStatus::OLD) ==
                pk::IO_OK);
  std::string got;
  size_t piece = 0;
  for (;;) {
    const int32_t size =
        bytes.empty() ? 7 : 1 + static_cast<uint8_t>(bytes[piece++ % bytes.size()]);
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\x5A');
    const pk::ByteItem items[] = {{buffer.data(), size / 2},
                                  {buffer.data() + size / 2, size - size / 2}};
    const pk::IoStatus status = pk::ReadBytes(pk::UNIT_INPUT, items, 2);
    const size_t remaining = bytes.size() - got.size();
    if (status == pk::IO_OK) {
      PK_FUZZ_CHECK(static_cast<size_t>(size) <= remaining);
      got.append(buffer.data(), static_cast<size_t>(size));
      continue;
    }
    PK_FUZZ_CHECK(status == pk::IO_END_OF_FILE);
    PK_FUZZ_CHECK(static_cast<size_t>(size) > remaining);
    got.append(buffer.data(), remaining);
    // Nothing lands beyond the bytes that arrived.
    PK_FUZZ_CHECK(buffer[remaining] == '\x5A');
    break;
  }
  PK_FUZZ_CHECK(got == bytes);
  pk::CloseFile(pk::UNIT_INPUT);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const pk::testing::MemoryFiles memoryFiles;
  pk::testing::PutMemoryFile(kName, bytes);
  CheckLines(bytes);
  CheckBytes(bytes);
  return 0;
}
