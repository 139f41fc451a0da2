#include "extract/batch_setup.h"

#include <cstring>
#include <initializer_list>

#include "extract/job_files.h"
#include "extract/master_list.h"
#include "records/file_services.h"

namespace pk {

namespace {

constexpr char INSTALLED_SUFFIX[] = "/../share/pareskit";

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
// opens for reading.
bool Opens(const char* name, int32_t length) {
  if (OpenFile(UNIT_INPUT, name, length, OpenStatus::OLD) != IO_OK) return false;
  CloseFile(UNIT_INPUT);
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
    DirectoryFilePath(directory, length, master, Length(master), path);
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
  const SourceChoice lower = {SourceForm::FREE, {'f', '9', '0'}};
  const SourceChoice upper = {SourceForm::FREE, {'F', '9', '0'}};
  char name[JOB_FILE_NAME_LENGTH + 1] = {};
  const size_t length = std::strlen(programName);
  std::memcpy(name, programName, length);
  name[length] = '.';
  const auto present = [&](const SourceChoice& choice) {
    std::memcpy(name + length + 1, choice.extension, 3);
    return exists(name);
  };
  if (!freeForm && present(fixed)) return fixed;
  if (present(lower)) return lower;
  if (present(upper)) return upper;
  return freeForm ? lower : fixed;
}

bool FileOpensForReading(const char* name) {
  return Opens(name, Length(name));
}

}  // namespace pk
