// Fuzz target: the logo reader on arbitrary bitmap files. Nothing is written
// outside the colour table and the store; the counts follow the headers read;
// the rows the paint may use fit in the store; the store holds the file's
// bytes from the end of the colour table on, and nothing past what arrived.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "records/work_store.h"
#include "shell/logo.h"
#include "testing/memory_files.h"

namespace {

constexpr uint8_t kUntouched = 0xA5;
constexpr size_t kSlack = 64;

int64_t Min(int64_t a, int64_t b) {
  return a < b ? a : b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > pk::WORK_STORE_SIZE) return 0;
  const pk::testing::MemoryFiles memoryFiles;
  pk::testing::PutMemoryFile("crest.bmp", data, size);
  // The reader runs once per process on an all-zero image.
  pk::logoImage = pk::LogoImage{};
  const size_t marked = Min(pk::WORK_STORE_SIZE, static_cast<int64_t>(size + kSlack));
  std::memset(pk::workStore, kUntouched, marked);

  pk::LoadLogo();

  const pk::LogoImage& logo = pk::logoImage;
  const pk::BitmapInfoHeader& header = logo.info.bmiHeader;
  int64_t pixelBytes = 0;
  if (size >= 54) {
    PK_FUZZ_CHECK(std::memcmp(&logo.fileHeader, data, 14) == 0);
    PK_FUZZ_CHECK(std::memcmp(&header, data + 14, 40) == 0);
    PK_FUZZ_CHECK(logo.colorCount == (int64_t{logo.fileHeader.bfOffBits} - 54) / 4);
    // A negative width gives a negative row length, which reads nothing; a row
    // wider than 32 bits can count is capped at the largest int32, never read.
    PK_FUZZ_CHECK(logo.rowBytes % 4 == 0 || logo.rowBytes == INT32_MAX);
    PK_FUZZ_CHECK(logo.rowBytes >= 0 || header.biWidth < 0);
    PK_FUZZ_CHECK(logo.paintRows >= 0 &&
                  (logo.paintRows == 0 || logo.paintRows <= header.biHeight));
    PK_FUZZ_CHECK(int64_t{logo.paintRows} * logo.rowBytes <= pk::WORK_STORE_SIZE);
    const int64_t colors = logo.colorCount > 0 ? logo.colorCount : 0;
    const int64_t pixelStart = 54 + 4 * colors;
    const int64_t kept = Min(colors, pk::COLOR_TABLE_ROOM);
    for (int64_t entry = 0; entry < pk::COLOR_TABLE_ROOM; ++entry) {
      const uint8_t* stored = reinterpret_cast<const uint8_t*>(&logo.info.bmiColors[entry]);
      if (entry >= kept) {
        PK_FUZZ_CHECK(stored[0] == 0 && stored[1] == 0 && stored[2] == 0 && stored[3] == 0);
      } else if (54 + 4 * (entry + 1) <= static_cast<int64_t>(size)) {
        PK_FUZZ_CHECK(std::memcmp(stored, data + 54 + 4 * entry, 4) == 0);
      }
    }
    if (logo.rowBytes > 0 && header.biHeight > 0 && pixelStart <= static_cast<int64_t>(size)) {
      const int64_t rowsThatFit = Min(header.biHeight, pk::WORK_STORE_SIZE / logo.rowBytes);
      pixelBytes = Min(rowsThatFit * logo.rowBytes, static_cast<int64_t>(size) - pixelStart);
      PK_FUZZ_CHECK(std::memcmp(pk::workStore, data + pixelStart, pixelBytes) == 0);
    }
  } else {
    PK_FUZZ_CHECK(logo.rowBytes == 0 && logo.paintRows == 0 && logo.colorCount == 0);
  }
  for (size_t at = static_cast<size_t>(pixelBytes); at < marked; ++at) {
    PK_FUZZ_CHECK(static_cast<uint8_t>(pk::workStore[at]) == kUntouched);
  }
  return 0;
}
