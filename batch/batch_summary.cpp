#include "batch/batch_summary.h"

#include <cstring>
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
    case MissingReason::LIBRARY_NOT_COPIED:
      return "library-not-copied";
    default:
      return "no-block";
  }
}

// The summary as it is made: its bytes collect here and go to standard
// output a buffer at a time. `failed` once a write-out failed.
struct SummaryText {
  char bytes[4096];
  int32_t length;
  bool failed;
};

void WriteOut(SummaryText& text) {
  if (!text.failed && text.length > 0) {
    text.failed = !WriteStandardOutput(text.bytes, text.length);
  }
  text.length = 0;
}

void Put(SummaryText& text, const char* chars, int length) {
  for (int i = 0; i < length; ++i) {
    if (text.length == static_cast<int32_t>(sizeof text.bytes)) WriteOut(text);
    text.bytes[text.length++] = chars[i];
  }
}

void Put(SummaryText& text, const char* chars) {
  Put(text, chars, static_cast<int>(std::strlen(chars)));
}

void PutNumber(SummaryText& text, long value) {
  char digits[24];
  Put(text, digits, std::snprintf(digits, sizeof digits, "%ld", value));
}

// A JSON string of `length` bytes: quotes, backslashes and control
// characters escaped, every other byte as it is.
void JsonString(SummaryText& text, const char* chars, int length) {
  Put(text, "\"");
  for (int i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(chars[i]);
    if (c == '"' || c == '\\') {
      const char escaped[2] = {'\\', static_cast<char>(c)};
      Put(text, escaped, 2);
    } else if (c < 0x20) {
      char escaped[8];
      Put(text, escaped, std::snprintf(escaped, sizeof escaped, "\\u%04x", c));
    } else {
      Put(text, &chars[i], 1);
    }
  }
  Put(text, "\"");
}

void JsonString(SummaryText& text, const char* chars) {
  JsonString(text, chars, static_cast<int>(std::strlen(chars)));
}

void JsonFile(SummaryText& text, const JobFileName& file, bool inLibraryDirectory,
              const LibraryDirectory& directory) {
  FilePath path;
  JsonString(text, path.chars, PathOf(file, inLibraryDirectory, directory, path));
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
    case EXIT_FATAL:
      return "a fatal file error ended the process";
    default:
      return "the job ended early";
  }
}

void WriteMissing(SummaryText& text, const MissingSymbols& missing) {
  Put(text, "  \"not_found\": [");
  for (int32_t i = 0; i < missing.count; ++i) {
    const MissingSymbol& symbol = missing.symbols[i];
    Put(text, i == 0 ? "\n    {\"kind\": \"" : ",\n    {\"kind\": \"");
    Put(text, KindText(symbol.kind));
    Put(text, "\", \"symbol\": ");
    JsonString(text, symbol.name, symbol.nameLength);
    Put(text, ", \"needed_by\": ");
    if (symbol.neededByLength == 0) {
      Put(text, "null");
    } else {
      JsonString(text, symbol.neededBy, symbol.neededByLength);
    }
    Put(text, ", \"reason\": \"");
    Put(text, ReasonWord(symbol.reason));
    Put(text, "\", \"library\": ");
    const int library = TrimmedLength(symbol.library.chars, LIBRARY_NAME_LENGTH);
    if (library == 0) {
      Put(text, "null");
    } else {
      JsonString(text, symbol.library.chars, library);
    }
    Put(text, ", \"detail\": ");
    JsonString(text, symbol.detail, symbol.detailLength);
    Put(text, "}");
  }
  Put(text, missing.count == 0 ? "" : "\n  ");
  Put(text, "],\n  \"not_found_untold\": ");
  PutNumber(text, missing.untold);
  Put(text, ",\n  \"missing_library_files\": [");
  const char* separator = "";
  for (SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
    for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
      if (!missing.libraryMissing[static_cast<int>(kind)][slot]) continue;
      Put(text, separator);
      const LibraryName& library = LibrariesOf(kind)[slot];
      JsonString(text, library.chars, TrimmedLength(library.chars, LIBRARY_NAME_LENGTH));
      separator = ", ";
    }
  }
  Put(text, "],\n");
}

// The kinds the job came to copy, with the counts of its report.
void WriteKinds(SummaryText& text, const MissingSymbols& missing) {
  Put(text, ",\n  \"kinds\": {");
  const char* separator = "";
  for (SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
    const int k = static_cast<int>(kind);
    if (!missing.copied[k]) continue;
    Put(text, separator);
    Put(text, "\"");
    Put(text, KindText(kind));
    Put(text, "\": {\"specified\": ");
    PutNumber(text, missing.specifiedCount[k]);
    Put(text, ", \"needed_by_other_blocks\": ");
    PutNumber(text, missing.addedCount[k]);
    Put(text, ", \"not_found\": ");
    PutNumber(text, missing.notFoundCount[k]);
    Put(text, "}");
    separator = ", ";
  }
  Put(text, "},\n");
}

// How the job ended, and on which file why: `end` and `ended_on`.
void WriteEnd(SummaryText& text, const BatchSummary& summary, const LibraryDirectory& directory) {
  const JobOutcome& outcome = *summary.outcome;
  const FatalEnd* fatal = summary.fatal;
  Put(text, ",\n  \"end\": \"");
  if (fatal != nullptr) {
    Put(text, fatal->close ? "not-closed" : "not-opened");
    Put(text, "\",\n  \"ended_on\": {\"file\": ");
    JsonString(text, fatal->file, fatal->fileLength);
    Put(text, ", \"reason\": ");
    JsonString(text, IoStatusText(fatal->status));
    Put(text, "}");
    return;
  }
  Put(text, EndWord(outcome.end));
  Put(text, "\",\n  \"ended_on\": ");
  if (outcome.end == JobEnd::COMPLETE) {
    Put(text, "null");
    return;
  }
  Put(text, "{\"file\": ");
  JsonFile(text, outcome.file, outcome.inLibraryDirectory, directory);
  Put(text, ", \"reason\": ");
  JsonString(text, outcome.reason == IO_OK ? "" : IoStatusText(outcome.reason));
  Put(text, "}");
}

// The files the job went on without, and a name the lock could not remove.
void WriteFaults(SummaryText& text, const JobOutcome& outcome, const LibraryDirectory& directory) {
  Put(text, "  \"faults\": [");
  for (int32_t i = 0; i < outcome.faults.count; ++i) {
    const FileFault& fault = outcome.faults.faults[i];
    Put(text, i == 0 ? "{\"operation\": \"" : ", {\"operation\": \"");
    Put(text, fault.operation == FileOperation::READ ? "read" : "write");
    Put(text, "\", \"file\": ");
    JsonFile(text, fault.file, fault.inLibraryDirectory, directory);
    Put(text, ", \"reason\": ");
    JsonString(text, IoStatusText(fault.reason));
    Put(text, "}");
  }
  if (outcome.lockNameLeftReason != IO_OK) {
    Put(text, outcome.faults.count == 0 ? "" : ", ");
    Put(text, "{\"operation\": \"remove\", \"file\": ");
    JsonString(text, outcome.lockNameLeft);
    Put(text, ", \"reason\": ");
    JsonString(text, IoStatusText(outcome.lockNameLeftReason));
    Put(text, "}");
  }
  Put(text, "],\n");
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
    case MissingReason::LIBRARY_NOT_COPIED:
      std::fprintf(stream,
                   "its block in %.*s was not reached: the copying of that file stopped at a "
                   "block that could not be written to %.*s",
                   library, symbol.library.chars, TrimmedLength(output.chars, JOB_FILE_NAME_LENGTH),
                   output.chars);
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

bool WriteJsonSummary(const BatchSummary& summary) {
  const JobFiles& files = *summary.files;
  const JobOutcome& outcome = *summary.outcome;
  const LibraryDirectoryChoice& library = *summary.library;
  const LibraryDirectory directory = {library.chars, library.length};
  SummaryText text;
  text.length = 0;
  text.failed = false;
  Put(text, "{\n  \"program\": ");
  const int nameLength = TrimmedLength(files.reportName.chars, JOB_FILE_NAME_LENGTH) - 4;
  JsonString(text, files.reportName.chars, nameLength);
  Put(text, ",\n  \"source\": {\"file\": ");
  JsonFile(text, files.sourceName, false, directory);
  Put(text, ", \"form\": \"");
  Put(text, summary.form == SourceForm::FREE ? "free" : "fixed");
  Put(text, "\"},\n  \"library_dir\": {\"path\": ");
  JsonString(text, library.length == 0 ? "." : library.chars);
  Put(text, ", \"chosen_by\": \"");
  Put(text, ChosenByWord(library.source));
  Put(text, "\", \"why\": ");
  JsonString(text, ChosenByText(library.source));
  Put(text, "},\n  \"library_set\": {\"version\": ");
  JsonString(text, summary.version->version);
  Put(text, ", \"details\": ");
  if (summary.version->known) {
    JsonString(text, summary.version->details);
  } else {
    Put(text, "null");
  }
  Put(text, "},\n  \"strict\": ");
  Put(text, summary.strict ? "true" : "false");
  Put(text, ",\n  \"exit_code\": ");
  PutNumber(text, summary.exitCode);
  Put(text, ",\n  \"exit_meaning\": ");
  JsonString(text, ExitMeaning(summary.exitCode));
  WriteEnd(text, summary, directory);
  // After a fatal end the symbols are not told: nothing more is read.
  static MissingSymbols none;
  const MissingSymbols& missing = summary.fatal == nullptr ? *summary.missing : none;
  WriteKinds(text, missing);
  WriteMissing(text, missing);
  WriteFaults(text, outcome, directory);
  Put(text, "  \"files_written\": [");
  if (outcome.end == JobEnd::COMPLETE && summary.fatal == nullptr) {
    const char* separator = "";
    for (const JobFileName* name : {&files.usedFiName, &files.usedFdName, &files.reportName,
                                    &files.fdOutName, &files.fiOutName}) {
      Put(text, separator);
      JsonFile(text, *name, false, directory);
      separator = ", ";
    }
  }
  Put(text, "]\n}\n");
  WriteOut(text);
  return !text.failed;
}

}  // namespace pk
