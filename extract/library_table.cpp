#include "extract/library_table.h"

namespace pk {

namespace {

constexpr LibraryName Slot(const char* text) {
  LibraryName name{};
  int32_t i = 0;
  for (; text[i] != '\0' && i < LIBRARY_NAME_LENGTH; ++i) name.chars[i] = text[i];
  for (; i < LIBRARY_NAME_LENGTH; ++i) name.chars[i] = BLANK;
  return name;
}

constexpr LibraryName BLANK_SLOT = Slot("");

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

}  // namespace

const LibraryTable libraryTable = {
    {Slot("USER32.FD"),   Slot("GDI32.FD"),    Slot("KERNEL32.FD"), Slot("COMDLG32.FD"),
     Slot("COMCTL32.FD"), Slot("WIN32SPL.FD"), Slot("SHELL32.FD"),  Slot("NETAPI32.FD"),
     Slot("OLECLI32.FD"), Slot("OLESVR32.FD"), Slot("RASAPI32.FD"), Slot("LZ32.FD"),
     Slot("ADVAPI32.FD"), BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT,
     BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT},
    {Slot("USER32.FI"),   Slot("GDI32.FI"),    Slot("KERNEL32.FI"), Slot("COMDLG32.FI"),
     Slot("COMCTL32.FI"), Slot("WIN32SPL.FI"), Slot("SHELL32.FI"),  Slot("NETAPI32.FI"),
     Slot("OLECLI32.FI"), Slot("OLESVR32.FI"), Slot("RASAPI32.FI"), Slot("LZ32.FI"),
     Slot("ADVAPI32.FI"), BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT,
     BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT,          BLANK_SLOT},
    13,
};

void LibraryFilePath(const LibraryDirectory& directory, const char* name, int32_t length,
                     FilePath& path) {
  length = TrimmedLength(name, length);
  int32_t end = directory.length;
  Assign(path.chars, 1, MAX_FILE_NAME, directory.chars, 1, end);
  if (end > 0 && directory.chars[end - 1] != '/' && directory.chars[end - 1] != '\\') {
    path.At(++end) = '/';
  }
  // The directory's length keeps the longest name whole.
  Assign(path.chars, end + 1, MAX_FILE_NAME, name, 1, length);
}

bool IsLibraryProgramName(const ProgramName& programName) {
  const char* name = programName.chars;
  const int32_t length = programName.length;
  int32_t first = 0;
  while (first < length && name[first] == BLANK) ++first;
  // "dir/USER32" or "C:USER32" may still name the current directory.
  for (int32_t i = first; i < length; ++i) {
    if (name[i] == '/' || name[i] == '\\' || name[i] == ':') first = i + 1;
  }
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const char* library = libraryTable.fdLibraries[slot].chars;
    int32_t baseLength = 0;
    while (library[baseLength] != '.') ++baseLength;
    if (length - first != baseLength) continue;
    int32_t i = 0;
    while (i < baseLength && UpperAscii(name[first + i]) == library[i]) ++i;
    if (i == baseLength) return true;
  }
  return false;
}

}  // namespace pk
