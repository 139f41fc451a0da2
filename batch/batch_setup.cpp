#include "batch/batch_setup.h"

#include <cstring>
#include <initializer_list>

#include "extract/job_files.h"
#include "extract/master_list.h"
#include "records/file_services.h"

namespace pk {

namespace {

constexpr char INSTALLED_SUFFIX[] = "/../share/pareskit";

// The free-form sources looked for, in this order.
constexpr const char* FREE_SOURCE_EXTENSIONS[] = {"f90", "F90", "f95", "F95",
                                                  "f03", "F03", "f08", "F08"};

int32_t Length(const char* text) {
  return static_cast<int32_t>(std::strlen(text));
}

// The choice of `source`: `first` and then `second` (nullptr for none) as the
// directory, or tooLong when together they do not fit.
LibraryDirectoryChoice Chosen(LibraryDirectorySource source, const char* first,
                              const char* second = nullptr) {
  LibraryDirectoryChoice choice = {};
  choice.source = source;
  const int32_t firstLength = Length(first);
  const int32_t secondLength = second == nullptr ? 0 : Length(second);
  if (firstLength + secondLength > LIBRARY_DIRECTORY_LENGTH) {
    choice.tooLong = true;
    return choice;
  }
  std::memcpy(choice.chars, first, static_cast<size_t>(firstLength));
  if (second != nullptr) {
    std::memcpy(choice.chars + firstLength, second, static_cast<size_t>(secondLength));
  }
  choice.length = firstLength + secondLength;
  choice.chars[choice.length] = '\0';
  return choice;
}

// True when the file `name` (`length` characters, blanks around it ignored)
// opens for reading. Its failed close changes no answer.
bool Opens(const char* name, int32_t length) {
  if (OpenFile(UNIT_INPUT, name, length, OpenStatus::OLD) != IO_OK) return false;
  CloseFileWithStatus(UNIT_INPUT);
  return true;
}

}  // namespace

LibraryDirectoryChoice ChooseLibraryDirectory(const char* option, const char* environment,
                                              const char* executableDirectory,
                                              DirectoryProbe holdsMasterList) {
  if (option != nullptr) return Chosen(LibraryDirectorySource::OPTION, option);
  if (holdsMasterList("", 0)) return Chosen(LibraryDirectorySource::CURRENT, "");
  if (environment != nullptr && environment[0] != '\0') {
    return Chosen(LibraryDirectorySource::ENVIRONMENT, environment);
  }
  if (executableDirectory == nullptr) return Chosen(LibraryDirectorySource::CURRENT_FALLBACK, "");
  if (holdsMasterList(executableDirectory, Length(executableDirectory))) {
    return Chosen(LibraryDirectorySource::EXECUTABLE, executableDirectory);
  }
  // "/" + "/../share/pareskit" would begin with "//": the root needs no separator.
  const bool root = std::strcmp(executableDirectory, "/") == 0;
  return Chosen(LibraryDirectorySource::INSTALLED, executableDirectory,
                root ? INSTALLED_SUFFIX + 1 : INSTALLED_SUFFIX);
}

bool HoldsMasterList(const char* directory, int32_t length) {
  if (length > LIBRARY_DIRECTORY_LENGTH) return false;
  for (const char* master : {MASTER_FI_NAME, MASTER_FD_NAME}) {
    FilePath path;
    LibraryFilePath({directory, length}, master, Length(master), path);
    if (Opens(path.chars, MAX_FILE_NAME)) return true;
  }
  return false;
}

bool ExecutableDirectory(char* buffer, int32_t capacity) {
  int32_t length = 0;
  if (CurrentFileServices().executablePath(buffer, capacity, &length) != IO_OK) return false;
  while (length > 0 && buffer[length - 1] != '/' && buffer[length - 1] != '\\') --length;
  if (length == 0) return false;
  // The separator stays only where it is the root itself ("/", "C:\").
  if (length > 1 && buffer[length - 2] != ':') --length;
  buffer[length] = '\0';
  return true;
}

SourceChoice ChooseSource(const char* programName, bool freeForm, FileProbe exists) {
  const SourceChoice fixed = {SourceForm::FIXED, {'F', 'O', 'R'}};
  char name[JOB_FILE_NAME_LENGTH + 1] = {};
  const size_t length = std::strlen(programName);
  std::memcpy(name, programName, length);
  name[length] = '.';
  const auto present = [&](const SourceChoice& choice) {
    std::memcpy(name + length + 1, choice.extension, 3);
    return exists(name);
  };
  if (!freeForm && present(fixed)) return fixed;
  for (const char* extension : FREE_SOURCE_EXTENSIONS) {
    const SourceChoice free = {SourceForm::FREE, {extension[0], extension[1], extension[2]}};
    if (present(free)) return free;
  }
  return freeForm ? SourceChoice{SourceForm::FREE, {'f', '9', '0'}} : fixed;
}

bool FileOpensForReading(const char* name) {
  return Opens(name, Length(name));
}

}  // namespace pk

namespace pk {

namespace {

constexpr char VERSION_LIBRARY[] = "USER32.FD";
constexpr char VERSION_PREFIX[] = "C     Library set ";
constexpr int32_t VERSION_PREFIX_LENGTH = sizeof VERSION_PREFIX - 1;

// The version of a line that is a version line: "C     Library set ", the
// version (no blanks), one blank, "(", the details, ")".
bool ParseVersionLine(const LineRecord& line, LibrarySetVersion& result) {
  const int32_t length = TrimmedLength(line.chars, LINE_LENGTH);
  if (length < VERSION_PREFIX_LENGTH + 4 ||
      std::memcmp(line.chars, VERSION_PREFIX, VERSION_PREFIX_LENGTH) != 0 ||
      line.chars[length - 1] != ')') {
    return false;
  }
  int32_t blank = VERSION_PREFIX_LENGTH;
  while (blank < length && line.chars[blank] != BLANK) ++blank;
  if (blank == VERSION_PREFIX_LENGTH || blank + 2 >= length || line.chars[blank + 1] != '(') {
    return false;
  }
  const int32_t versionLength = blank - VERSION_PREFIX_LENGTH;
  const int32_t detailsLength = length - 1 - (blank + 2);
  std::memcpy(result.version, line.chars + VERSION_PREFIX_LENGTH,
              static_cast<size_t>(versionLength));
  result.version[versionLength] = '\0';
  std::memcpy(result.details, line.chars + blank + 2, static_cast<size_t>(detailsLength));
  result.details[detailsLength] = '\0';
  result.known = true;
  return true;
}

}  // namespace

LibrarySetVersion ReadLibrarySetVersion(const LibraryDirectory& directory) {
  LibrarySetVersion result = {false, "unknown", ""};
  FilePath path;
  LibraryFilePath(directory, VERSION_LIBRARY, sizeof VERSION_LIBRARY - 1, path);
  if (OpenFile(UNIT_INPUT, path, OpenStatus::OLD) != IO_OK) return result;
  LineRecord line;
  while (ReadLine(UNIT_INPUT, line) == IO_OK) {
    if (line.At(1) != 'C' && line.At(1) != 'c') break;
    if (line.At(2) == '*' || ParseVersionLine(line, result)) break;
  }
  // The line is read: a failed close takes nothing from it.
  CloseFileWithStatus(UNIT_INPUT);
  return result;
}

}  // namespace pk
