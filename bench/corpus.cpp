#include "bench/corpus.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "extract/library_table.h"

namespace pk {

namespace {

constexpr uint32_t SEED = 19950301;

// A buffered CR LF text file.
class TextFile {
 public:
  explicit TextFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~TextFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void Line(const std::string& text) {
    if (file_ == nullptr) return;
    failed_ |= std::fwrite(text.data(), 1, text.size(), file_) != text.size();
    failed_ |= std::fwrite("\r\n", 1, 2, file_) != 2;
  }
  bool Close() {
    const bool closed = file_ != nullptr && std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
  }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

// Unique, realistic-looking names: a random stem of capitals and a base-36
// serial number, 6 to 24 characters in all.
std::vector<std::string> MakeNames(std::mt19937& random, const char* kindPrefix, int32_t count) {
  static const char DIGITS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string name(kindPrefix);
    const uint32_t stem = 2 + random() % 16;
    for (uint32_t k = 0; k < stem; ++k) name += static_cast<char>('A' + random() % 26);
    for (int32_t serial = i; serial > 0 || name.size() < 6; serial /= 36)
      name += DIGITS[serial % 36];
    names.push_back(name);
  }
  return names;
}

bool WriteMasterList(const std::string& path, const std::vector<std::string>& names,
                     int32_t listed) {
  TextFile file(path);
  for (int32_t i = 0; i < listed; ++i)
    file.Line(names[static_cast<size_t>(i)] + "   library symbol");
  return file.Close();
}

bool WriteLibraries(const std::string& directory, const LibraryName* slots,
                    const std::vector<std::string>& names) {
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const std::string fileName = LibraryFileName(slots[slot]);
    TextFile file(directory + "/" + fileName);
    file.Line("C  Declarations of " + fileName);
    for (size_t i = static_cast<size_t>(slot); i < names.size();
         i += static_cast<size_t>(libraryTable.libraryCount)) {
      const std::string& name = names[i];
      file.Line("C*" + name + "  declaration block");
      file.Line("      INTEGER*4 FUNCTION " + name + "(ARG1, ARG2)");
      file.Line("!MS$ATTRIBUTES STDCALL, ALIAS:'_" + name + "@8' :: " + name);
      file.Line("C     arguments");
      file.Line("      INTEGER*4 ARG1, ARG2   ");
      file.Line("      END");
      file.Line("");
    }
    if (!file.Close()) return false;
  }
  return true;
}

bool WriteSource(const std::string& path, std::mt19937& random, const std::vector<std::string>& fd,
                 const std::vector<std::string>& fi, const CorpusShape& shape) {
  TextFile file(path);
  file.Line("      PROGRAM BENCH");
  for (int32_t line = 1; line < shape.sourceLines; ++line) {
    const uint32_t pick = random() % 10;
    const std::string& fdName = fd[random() % static_cast<uint32_t>(shape.usedPerKind)];
    const std::string& fiName = fi[random() % static_cast<uint32_t>(shape.usedPerKind)];
    const std::string local = "LOCAL" + std::to_string(random() % 5000);
    if (pick == 0) {
      file.Line("C     call " + fdName + " with the record " + fiName);
    } else if (pick < 4) {
      file.Line("      RECORD /" + fiName + "/ " + local);
    } else if (pick < 8) {
      file.Line("      I = " + fdName + "(" + local + ", 16#FF, 'TEXT'C)");
    } else {
      file.Line(" 100  IF (" + local + " .GT. 0) CALL " + fdName + "(X, Y)");
    }
  }
  file.Line("      END");
  return file.Close();
}

}  // namespace

std::string LibraryFileName(const LibraryName& slot) {
  std::string fileName(slot.chars, LIBRARY_NAME_LENGTH);
  return fileName.erase(fileName.find(' '));
}

bool GenerateCorpus(const std::string& directory, const CorpusShape& shape) {
  std::filesystem::create_directories(directory);
  std::mt19937 random(SEED);
  const std::vector<std::string> fd = MakeNames(random, "D", shape.symbolsPerKind);
  const std::vector<std::string> fi = MakeNames(random, "I", shape.symbolsPerKind);
  return WriteMasterList(directory + "/MASTERFD.LIS", fd, shape.listedPerKind) &&
         WriteMasterList(directory + "/MASTERFI.LIS", fi, shape.listedPerKind) &&
         WriteLibraries(directory, libraryTable.fdLibraries, fd) &&
         WriteLibraries(directory, libraryTable.fiLibraries, fi) &&
         WriteSource(directory + "/" + BENCH_PROGRAM + ".FOR", random, fd, fi, shape);
}

bool ShareSourceAndLibraries(const std::string& model, const std::string& directory) {
  std::vector<std::string> names = {std::string(BENCH_PROGRAM) + ".FOR"};
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    names.push_back(LibraryFileName(libraryTable.fdLibraries[slot]));
    names.push_back(LibraryFileName(libraryTable.fiLibraries[slot]));
  }
  for (const std::string& name : names) {
    const std::filesystem::path from = model + "/" + name;
    const std::filesystem::path to = directory + "/" + name;
    std::error_code error;
    std::filesystem::remove(to, error);
    std::filesystem::create_hard_link(from, to, error);
    if (error && !std::filesystem::copy_file(from, to, error)) return false;
  }
  return true;
}

}  // namespace pk
