#include "batch/batch_summary.h"

#include <initializer_list>

namespace pk {

namespace {

const char* KindText(SymbolKind kind) {
  return kind == SymbolKind::FD ? "FD" : "FI";
}

const JobFileName& OutputOf(const JobFiles& files, SymbolKind kind) {
  return kind == SymbolKind::FD ? files.fdOutName : files.fiOutName;
}

const char* ReasonWord(MissingReason reason) {
  switch (reason) {
    case MissingReason::LISTED_WITHOUT_BLOCK:
      return "listed-without-block";
    case MissingReason::LIBRARY_MISSING:
      return "library-missing";
    case MissingReason::LIBRARY_NOT_READ:
      return "library-not-read";
    case MissingReason::NOT_WRITTEN:
      return "not-written";
    default:
      return "no-block";
  }
}

// A JSON string of `length` bytes: quotes, backslashes and control
// characters escaped, every other byte as it is.
void JsonString(std::FILE* stream, const char* text, int length) {
  std::fputc('"', stream);
  for (int i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      std::fprintf(stream, "\\%c", c);
    } else if (c < 0x20) {
      std::fprintf(stream, "\\u%04x", c);
    } else {
      std::fputc(c, stream);
    }
  }
  std::fputc('"', stream);
}

void JsonString(std::FILE* stream, const char* text) {
  int length = 0;
  while (text[length] != '\0') ++length;
  JsonString(stream, text, length);
}

void JsonFile(std::FILE* stream, const JobFileName& file, bool inLibraryDirectory,
              const LibraryDirectory& directory) {
  FilePath path;
  JsonString(stream, path.chars, PathOf(file, inLibraryDirectory, directory, path));
}

const char* EndWord(JobEnd end) {
  switch (end) {
    case JobEnd::NOT_OPENED:
      return "not-opened";
    case JobEnd::NOT_READ:
      return "not-read";
    case JobEnd::NOT_WRITTEN:
      return "not-written";
    case JobEnd::LIBRARY_NAME:
      return "library-name";
    case JobEnd::LOCKED:
      return "locked";
    case JobEnd::SAME_FILE:
      return "same-file";
    default:
      return "complete";
  }
}

const char* ExitMeaning(int exitCode) {
  switch (exitCode) {
    case EXIT_COMPLETE:
      return "complete";
    case EXIT_DEGRADED:
      return "complete, but a file failed on the way";
    case EXIT_MISSING:
      return "complete, but a symbol was not found or a library file is missing (--strict)";
    default:
      return "the job ended early";
  }
}

void WriteMissing(std::FILE* stream, const MissingSymbols& missing) {
  std::fprintf(stream, "  \"not_found\": [");
  for (int32_t i = 0; i < missing.count; ++i) {
    const MissingSymbol& symbol = missing.symbols[i];
    std::fprintf(stream, "%s\n    {\"kind\": \"%s\", \"symbol\": ", i == 0 ? "" : ",",
                 KindText(symbol.kind));
    JsonString(stream, symbol.name, symbol.nameLength);
    std::fprintf(stream, ", \"needed_by\": ");
    if (symbol.neededByLength == 0) {
      std::fprintf(stream, "null");
    } else {
      JsonString(stream, symbol.neededBy, symbol.neededByLength);
    }
    std::fprintf(stream, ", \"reason\": \"%s\", \"library\": ", ReasonWord(symbol.reason));
    const int library = TrimmedLength(symbol.library.chars, LIBRARY_NAME_LENGTH);
    if (library == 0) {
      std::fprintf(stream, "null");
    } else {
      JsonString(stream, symbol.library.chars, library);
    }
    std::fprintf(stream, ", \"detail\": ");
    JsonString(stream, symbol.detail, symbol.detailLength);
    std::fprintf(stream, "}");
  }
  std::fprintf(stream, "%s],\n  \"not_found_untold\": %d,\n  \"missing_library_files\": [",
               missing.count == 0 ? "" : "\n  ", static_cast<int>(missing.untold));
  const char* separator = "";
  for (SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
    for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
      if (!missing.libraryMissing[static_cast<int>(kind)][slot]) continue;
      std::fprintf(stream, "%s", separator);
      const LibraryName& library = LibrariesOf(kind)[slot];
      JsonString(stream, library.chars, TrimmedLength(library.chars, LIBRARY_NAME_LENGTH));
      separator = ", ";
    }
  }
  std::fprintf(stream, "],\n");
}

}  // namespace

int PathOf(const JobFileName& file, bool inLibraryDirectory, const LibraryDirectory& directory,
           FilePath& path) {
  if (inLibraryDirectory) {
    LibraryFilePath(directory, file.chars, JOB_FILE_NAME_LENGTH, path);
  } else {
    AssignText(path, file.chars, JOB_FILE_NAME_LENGTH);
  }
  return TrimmedLength(path.chars, MAX_FILE_NAME);
}

const char* ChosenByText(LibraryDirectorySource source) {
  switch (source) {
    case LibraryDirectorySource::OPTION:
      return "--library-dir";
    case LibraryDirectorySource::CURRENT:
      return "the current directory holds a master list";
    case LibraryDirectorySource::ENVIRONMENT:
      return "$PARESKIT_LIBRARY_DIR";
    case LibraryDirectorySource::EXECUTABLE:
      return "the directory of pareskit-batch holds a master list";
    case LibraryDirectorySource::INSTALLED:
      return "the installed library set (<directory of pareskit-batch>/../share/pareskit)";
    default:
      return "no other place applies";
  }
}

const char* ChosenByWord(LibraryDirectorySource source) {
  switch (source) {
    case LibraryDirectorySource::OPTION:
      return "option";
    case LibraryDirectorySource::CURRENT:
      return "current";
    case LibraryDirectorySource::ENVIRONMENT:
      return "environment";
    case LibraryDirectorySource::EXECUTABLE:
      return "executable";
    case LibraryDirectorySource::INSTALLED:
      return "installed";
    default:
      return "fallback";
  }
}

void WriteMissingReason(std::FILE* stream, const MissingSymbol& symbol, const JobFileName& output) {
  const int library = TrimmedLength(symbol.library.chars, LIBRARY_NAME_LENGTH);
  switch (symbol.reason) {
    case MissingReason::NO_BLOCK:
      std::fprintf(stream, "no block in any library file");
      break;
    case MissingReason::LISTED_WITHOUT_BLOCK:
      std::fprintf(stream, "listed without a block in %.*s: %.*s", library, symbol.library.chars,
                   static_cast<int>(symbol.detailLength), symbol.detail);
      break;
    case MissingReason::LIBRARY_MISSING:
      std::fprintf(stream, "its library file %.*s is missing", library, symbol.library.chars);
      break;
    case MissingReason::LIBRARY_NOT_READ:
      std::fprintf(stream, "its library file %.*s could not be read to its end", library,
                   symbol.library.chars);
      break;
    case MissingReason::NOT_WRITTEN:
      std::fprintf(stream, "its block could not be written to %.*s",
                   TrimmedLength(output.chars, JOB_FILE_NAME_LENGTH), output.chars);
      break;
  }
}

void TellMissing(std::FILE* stream, const MissingSymbols& missing, const JobFiles& files,
                 const LibraryDirectory& directory) {
  for (int32_t i = 0; i < missing.count; ++i) {
    const MissingSymbol& symbol = missing.symbols[i];
    std::fprintf(stream, "pareskit-batch: %s symbol %.*s", KindText(symbol.kind),
                 static_cast<int>(symbol.nameLength), symbol.name);
    if (symbol.neededByLength > 0) {
      std::fprintf(stream, " (needed by %.*s)", static_cast<int>(symbol.neededByLength),
                   symbol.neededBy);
    }
    std::fprintf(stream, " not found: ");
    WriteMissingReason(stream, symbol, OutputOf(files, symbol.kind));
    std::fprintf(stream, "\n");
  }
  if (missing.untold > 0) {
    std::fprintf(stream, "pareskit-batch: %d more symbols not found (%.*s lists them)\n",
                 static_cast<int>(missing.untold),
                 TrimmedLength(files.reportName.chars, JOB_FILE_NAME_LENGTH),
                 files.reportName.chars);
  }
  for (SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
    for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
      if (!missing.libraryMissing[static_cast<int>(kind)][slot]) continue;
      const LibraryName& library = LibrariesOf(kind)[slot];
      FilePath path;
      LibraryFilePath(directory, library.chars, LIBRARY_NAME_LENGTH, path);
      std::fprintf(stream, "pareskit-batch: library file %.*s is missing\n",
                   TrimmedLength(path.chars, MAX_FILE_NAME), path.chars);
    }
  }
}

void WriteJsonSummary(std::FILE* stream, const BatchSummary& summary) {
  const JobFiles& files = *summary.files;
  const JobOutcome& outcome = *summary.outcome;
  const LibraryDirectoryChoice& library = *summary.library;
  const LibraryDirectory directory = {library.chars, library.length};
  std::fprintf(stream, "{\n  \"program\": ");
  const int nameLength = TrimmedLength(files.reportName.chars, JOB_FILE_NAME_LENGTH) - 4;
  JsonString(stream, files.reportName.chars, nameLength);
  std::fprintf(stream, ",\n  \"source\": {\"file\": ");
  JsonFile(stream, files.sourceName, false, directory);
  std::fprintf(stream, ", \"form\": \"%s\"},\n  \"library_dir\": {\"path\": ",
               summary.form == SourceForm::FREE ? "free" : "fixed");
  JsonString(stream, library.length == 0 ? "." : library.chars);
  std::fprintf(stream, ", \"chosen_by\": \"%s\", \"why\": ", ChosenByWord(library.source));
  JsonString(stream, ChosenByText(library.source));
  std::fprintf(stream, "},\n  \"library_set\": {\"version\": ");
  JsonString(stream, summary.version->version);
  std::fprintf(stream, ", \"details\": ");
  if (summary.version->known) {
    JsonString(stream, summary.version->details);
  } else {
    std::fprintf(stream, "null");
  }
  std::fprintf(stream, "},\n  \"strict\": %s,\n  \"exit_code\": %d,\n  \"exit_meaning\": ",
               summary.strict ? "true" : "false", summary.exitCode);
  JsonString(stream, ExitMeaning(summary.exitCode));
  std::fprintf(stream, ",\n  \"end\": \"%s\",\n  \"ended_on\": ", EndWord(outcome.end));
  if (outcome.end == JobEnd::COMPLETE) {
    std::fprintf(stream, "null");
  } else {
    std::fprintf(stream, "{\"file\": ");
    JsonFile(stream, outcome.file, outcome.inLibraryDirectory, directory);
    std::fprintf(stream, ", \"reason\": ");
    JsonString(stream, outcome.reason == IO_OK ? "" : IoStatusText(outcome.reason));
    std::fprintf(stream, "}");
  }
  const MissingSymbols& missing = *summary.missing;
  std::fprintf(stream, ",\n  \"kinds\": {");
  const char* separator = "";
  for (SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
    const int k = static_cast<int>(kind);
    if (!missing.copied[k]) continue;
    std::fprintf(stream,
                 "%s\"%s\": {\"specified\": %d, \"needed_by_other_blocks\": %d, "
                 "\"not_found\": %d}",
                 separator, KindText(kind), static_cast<int>(missing.specifiedCount[k]),
                 static_cast<int>(missing.addedCount[k]),
                 static_cast<int>(missing.notFoundCount[k]));
    separator = ", ";
  }
  std::fprintf(stream, "},\n");
  WriteMissing(stream, missing);
  std::fprintf(stream, "  \"faults\": [");
  for (int32_t i = 0; i < outcome.faults.count; ++i) {
    const FileFault& fault = outcome.faults.faults[i];
    std::fprintf(stream, "%s{\"operation\": \"%s\", \"file\": ", i == 0 ? "" : ", ",
                 fault.operation == FileOperation::READ ? "read" : "write");
    JsonFile(stream, fault.file, fault.inLibraryDirectory, directory);
    std::fprintf(stream, ", \"reason\": ");
    JsonString(stream, IoStatusText(fault.reason));
    std::fprintf(stream, "}");
  }
  std::fprintf(stream, "],\n  \"files_written\": [");
  if (outcome.end == JobEnd::COMPLETE) {
    separator = "";
    for (const JobFileName* name : {&files.usedFiName, &files.usedFdName, &files.reportName,
                                    &files.fdOutName, &files.fiOutName}) {
      std::fprintf(stream, "%s", separator);
      JsonFile(stream, *name, false, directory);
      separator = ", ";
    }
  }
  std::fprintf(stream, "]\n}\n");
}

}  // namespace pk
