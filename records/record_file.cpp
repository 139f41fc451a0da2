#include "records/record_file.h"

#include <cstdlib>
#include <cstring>

#include "records/byte_vectors.h"
#include "records/file_services.h"
#include "records/number_edit.h"

namespace pk {

namespace {

// One attached file. Every slot owns its name copy and transfer buffer, so
// opening a file allocates nothing.
struct RecordFile {
  bool attached;
  int32_t unit;
  char name[MAX_FILE_NAME + 1];  // NUL-terminated for the OS calls
  int32_t nameLength;
  OsHandle handle;
  // TRANSFER_BUFFER_SIZE bytes take part in transfers; the slack after them
  // lets a line be searched and copied 80 bytes at a time.
  char buffer[TRANSFER_BUFFER_SIZE + LINE_LENGTH];
  int32_t fill;          // reading: bytes held; writing: bytes waiting to be written
  int32_t position;      // reading: next byte to take
  int64_t bufferOffset;  // file offset of buffer[0]
  int64_t lineEnd;       // writing: the offset just after the last line ended (its CR LF)
  int64_t wholeOnDisk;   // writing: the disk holds whole lines up to this offset
  bool untidy;           // writing: a failed take-back may have left bytes past bufferOffset
  bool writing;
  bool endOfFile;  // a read has returned IO_END_OF_FILE: later reads do too
};

RecordFile unitTable[UNIT_SLOTS];
bool closeAtExitRegistered = false;
RunTimeErrorWatcher runTimeErrorWatcher = nullptr;
bool closingAtExit = false;
bool closeFailedAtExit = false;

struct NamePart {
  const char* chars;
  int32_t length;
};

// The name without its leading and trailing blanks.
NamePart TrimBlanks(const char* name, int32_t nameLength) {
  int32_t first = 0;
  int32_t last = nameLength;
  while (first < last && name[first] == BLANK) ++first;
  while (last > first && name[last - 1] == BLANK) --last;
  return {name + first, last - first};
}

void AppendText(char* line, int32_t* length, int32_t capacity, const char* text, int32_t count) {
  for (int32_t i = 0; i < count && *length < capacity; ++i) line[(*length)++] = text[i];
}

// Writes the run-time error report of a request made without a status:
// an empty line, "run-time error F<n>: <verb>(<name>)", "- <description>".
void ReportRunTimeError(IoStatus status, const char* verb, const char* name, int32_t nameLength) {
  char report[2 * MAX_FILE_NAME];
  int32_t length = 0;
  const int32_t capacity = static_cast<int32_t>(sizeof report);
  AppendText(report, &length, capacity, "\nrun-time error F", 17);
  char number[12];
  EditInteger(status, 11, number);
  int32_t first = 0;
  while (number[first] == BLANK) ++first;
  AppendText(report, &length, capacity, number + first, 11 - first);
  AppendText(report, &length, capacity, ": ", 2);
  int32_t verbLength = 0;
  while (verb[verbLength] != '\0') ++verbLength;
  AppendText(report, &length, capacity, verb, verbLength);
  AppendText(report, &length, capacity, "(", 1);
  AppendText(report, &length, capacity, name, nameLength);
  AppendText(report, &length, capacity, ")\n- ", 4);
  const char* description = IoStatusText(status);
  int32_t descriptionLength = 0;
  while (description[descriptionLength] != '\0') ++descriptionLength;
  AppendText(report, &length, capacity, description, descriptionLength);
  AppendText(report, &length, capacity, "\n", 1);
  CurrentFileServices().writeStandardError(report, length);
}

[[noreturn]] void EndProcessWithRunTimeError(IoStatus status, const char* verb, const char* name,
                                             int32_t nameLength) {
  ReportRunTimeError(status, verb, name, nameLength);
  if (const RunTimeErrorWatcher watcher = runTimeErrorWatcher) {
    runTimeErrorWatcher = nullptr;
    watcher(status, verb, name, nameLength);
  }
  // Process end closes every file still attached (see CloseFilesAtExit).
  std::exit(1);
}

// Copies the `length` (1 to MAX_FILE_NAME) characters of a trimmed name to
// `osName`, NUL-terminated. False when the name holds a NUL, which would
// silently shorten it for the OS.
bool CopyOsName(const char* trimmed, int32_t length, char (&osName)[MAX_FILE_NAME + 1]) {
  for (int32_t i = 0; i < length; ++i) {
    if (trimmed[i] == '\0') return false;
    osName[i] = trimmed[i];
  }
  osName[length] = '\0';
  return true;
}

RecordFile* FindUnit(int32_t unit) {
  for (RecordFile& file : unitTable) {
    if (file.attached && file.unit == unit) return &file;
  }
  return nullptr;
}

RecordFile* FindFreeSlot() {
  for (RecordFile& file : unitTable) {
    if (!file.attached) return &file;
  }
  return nullptr;
}

// Cuts the file on disk at `length` (and positions it there). A failure
// leaves the file untidy: the next cut or write-out tries again.
IoStatus TakeBack(RecordFile& file, int64_t length) {
  const IoStatus status = CurrentFileServices().truncate(file.handle, length);
  file.untidy = status != IO_OK;
  return status;
}

// After a cut at `length`, no line ends beyond it.
void LimitLineEnds(RecordFile& file, int64_t length) {
  if (file.lineEnd > length) file.lineEnd = length;
  if (file.wholeOnDisk > length) file.wholeOnDisk = length;
}

// Writes out the waiting bytes of a file in writing state, first making a
// take-back that was left undone. On failure they are dropped, also any part
// of them the OS did write, and so is the start of a line that an earlier
// write-out put on disk: the file goes back to the end of its last whole
// line, so it never ends inside a line and a later write or the close does
// not repeat them.
IoStatus WriteOut(RecordFile& file) {
  const int32_t count = file.fill;
  file.fill = 0;
  if (count == 0) return IO_OK;
  IoStatus status = file.untidy ? TakeBack(file, file.bufferOffset) : IO_OK;
  if (status == IO_OK) status = CurrentFileServices().write(file.handle, file.buffer, count);
  if (status != IO_OK) {
    file.bufferOffset = file.wholeOnDisk;
    file.lineEnd = file.wholeOnDisk;
    TakeBack(file, file.wholeOnDisk);
    return status;
  }
  file.bufferOffset += count;
  file.wholeOnDisk = file.lineEnd;
  return IO_OK;
}

IoStatus Flush(RecordFile& file) {
  return file.writing ? WriteOut(file) : IO_OK;
}

// Enters writing state. The first write after opening or reading cuts the
// file off at the current position.
IoStatus StartWriting(RecordFile& file) {
  if (file.writing) return IO_OK;
  const int64_t current = file.bufferOffset + file.position;
  const IoStatus status = CurrentFileServices().truncate(file.handle, current);
  if (status != IO_OK) return status;
  file.writing = true;
  file.bufferOffset = current;
  file.lineEnd = current;
  file.wholeOnDisk = current;
  file.fill = 0;
  file.position = 0;
  return IO_OK;
}

// Enters reading state, writing out what is waiting first.
IoStatus StartReading(RecordFile& file) {
  if (!file.writing) return IO_OK;
  const IoStatus status = Flush(file);
  file.writing = false;
  file.fill = 0;
  file.position = 0;
  return status;
}

IoStatus PutBytes(RecordFile& file, const char* bytes, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (file.fill >= TRANSFER_BUFFER_SIZE) {
      const IoStatus status = WriteOut(file);
      if (status != IO_OK) return status;
    }
    file.buffer[file.fill++] = bytes[i];
  }
  return IO_OK;
}

IoStatus EndLine(RecordFile& file) {
  const IoStatus status = PutBytes(file, "\r\n", 2);
  if (status == IO_OK) file.lineEnd = file.bufferOffset + file.fill;
  return status;
}

// Makes the next byte available in the buffer. Returns IO_OK with a byte
// waiting, IO_END_OF_FILE when none is left, or the read error.
IoStatus Refill(RecordFile& file) {
  if (file.position < file.fill) return IO_OK;
  int32_t received = 0;
  const IoStatus status =
      CurrentFileServices().read(file.handle, file.buffer, TRANSFER_BUFFER_SIZE, &received);
  if (status != IO_OK) return status;
  file.bufferOffset += file.fill;
  file.fill = received;
  file.position = 0;
  return received == 0 ? IO_END_OF_FILE : IO_OK;
}

// Closes the OS file of a slot and frees the slot. Returns the first failure.
IoStatus Detach(RecordFile& file) {
  IoStatus status = Flush(file);
  const IoStatus closed = CurrentFileServices().close(file.handle);
  if (status == IO_OK) status = closed;
  file.attached = false;
  file.handle = NO_OS_HANDLE;
  return status;
}

// Process end: every file still attached is closed, so no buffered line is lost. A failure is
// reported like a failed CloseFile, and the process then ends with exit code 1.
void CloseFilesAtExit() {
  closingAtExit = true;
  CloseAllFiles();
  if (closeFailedAtExit) std::_Exit(1);
}

// Tries read-write access, then read-only, then write-only; the status is
// the last attempt's. A file the open empties is not tried read-only: such a
// handle could not empty it, and its refusal would hide why the file could
// not be opened for writing.
IoStatus OpenWithFallback(const char* name, OsCreation creation, bool emptied, OsHandle* handle) {
  const FileServices& os = CurrentFileServices();
  IoStatus status = os.open(name, OsAccess::READ_WRITE, creation, handle);
  if (status == IO_OK) return status;
  if (!emptied) {
    status = os.open(name, OsAccess::READ_ONLY, creation, handle);
    if (status == IO_OK) return status;
  }
  return os.open(name, OsAccess::WRITE_ONLY, creation, handle);
}

static_assert(LINE_LENGTH % BYTE_VECTOR_SIZE == 0, "a record is a whole number of vectors");

// The offset of the first CR or LF among the first `count` (up to 80) of the
// 80 bytes at `bytes`; `count` when there is none. All 80 are looked at
// alike, so the line's length costs no branch.
int32_t FindLineBreakIn80(const char* bytes, int32_t count) {
  uint64_t breaks[2] = {0, 0};  // bit i for byte i
  for (int32_t offset = 0; offset < LINE_LENGTH; offset += BYTE_VECTOR_SIZE) {
    const ByteVector chars = LoadBytes(bytes + offset);
    const uint32_t found =
        LaneBits(Lanes(chars == SameBytes('\n')) | Lanes(chars == SameBytes('\r')));
    breaks[offset / 64] |= uint64_t{found} << (offset % 64);
  }
  const int32_t first = breaks[0] != 0   ? __builtin_ctzll(breaks[0])
                        : breaks[1] != 0 ? 64 + __builtin_ctzll(breaks[1])
                                         : LINE_LENGTH;
  return first < count ? first : count;
}

// The offset of the first CR or LF among the `count` bytes at `bytes`;
// `count` when there is none. Reads up to 79 bytes past them (the buffer's
// slack).
int32_t FindLineBreak(const char* bytes, int32_t count) {
  for (int32_t offset = 0; offset < count; offset += LINE_LENGTH) {
    const int32_t part = count - offset < LINE_LENGTH ? count - offset : LINE_LENGTH;
    const int32_t found = FindLineBreakIn80(bytes + offset, part);
    if (found < part) return offset + found;
  }
  return count;
}

// Fills `line` with the `count` characters (0 to 80) at `chars` and blanks
// after them. Reads chars[0..80) whatever `count` is.
void PutRecord(LineRecord& line, const char* chars, int32_t count) {
  for (int32_t offset = 0; offset < LINE_LENGTH; offset += BYTE_VECTOR_SIZE) {
    const ByteVector kept = Lanes(LaneNumbers() + static_cast<uint8_t>(offset) <
                                  SameBytes(static_cast<uint8_t>(count)));
    StoreBytes(line.chars + offset,
               (LoadBytes(chars + offset) & kept) | (SameBytes(BLANK) & ~kept));
  }
}

// The offset of the first LF among the `count` bytes at `bytes`; -1 when
// there is none.
int32_t FindLineFeed(const char* bytes, int32_t count) {
  const void* found = std::memchr(bytes, '\n', static_cast<size_t>(count));
  return found == nullptr ? -1 : static_cast<int32_t>(static_cast<const char*>(found) - bytes);
}

// ReadLine for a line that ends inside the buffer, without a refill: takes it
// and returns true; false, changing nothing, when the line needs a refill
// (or the file is not in a state to read from the buffer).
bool TakeBufferedLine(RecordFile& file, LineRecord& line) {
  if (file.writing || file.endOfFile) return false;
  const char* next = file.buffer + file.position;
  const int32_t available = file.fill - file.position;
  const int32_t limit = available < LINE_LENGTH ? available : LINE_LENGTH;
  const int32_t count = FindLineBreakIn80(next, limit);
  int32_t lineFeed = -1;
  if (count < limit && next[count] == '\n') {
    lineFeed = count;
  } else if (count + 1 < available && next[count] == '\r' && next[count + 1] == '\n') {
    lineFeed = count + 1;
  } else if (count < limit || limit == LINE_LENGTH) {
    // After a CR, or past column 80, the rest of the line is skipped.
    const int32_t rest = count < limit ? count + 1 : LINE_LENGTH;
    const int32_t found = FindLineFeed(next + rest, available - rest);
    if (found >= 0) lineFeed = rest + found;
  }
  if (lineFeed < 0) return false;
  PutRecord(line, next, count);
  file.position += lineFeed + 1;
  return true;
}

// Reads characters of the current line into text[0..capacity) up to its
// first CR or LF. With `skipRest` the characters past `capacity` are passed
// over up to the LF; without it the read stops before the first of them, so
// the next read continues the line.
//
// The buffer is searched a stretch at a time, and it is refilled only when a
// byte beyond it is needed: the OS reads happen at the same points of the
// file as they would for a byte at a time.
IoStatus TakeLine(int32_t unit, char* text, int32_t capacity, bool skipRest, int32_t* count,
                  bool* lineEnds) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  if (file->endOfFile) {
    *count = 0;
    *lineEnds = true;
    return IO_END_OF_FILE;
  }
  IoStatus status = StartReading(*file);
  if (status != IO_OK) return status;

  int32_t taken = 0;
  bool anyByte = false;
  bool collecting = true;  // false after a CR, or once `capacity` is reached with `skipRest`
  for (;;) {
    status = Refill(*file);
    if (status == IO_END_OF_FILE) {
      if (!anyByte) {
        file->endOfFile = true;
        *count = 0;
        *lineEnds = true;
        return IO_END_OF_FILE;
      }
      break;  // the end of the file ends the last line like a line feed
    }
    if (status != IO_OK) return status;
    if (collecting) {
      const int32_t available = file->fill - file->position;
      const int32_t room = capacity - taken;
      const int32_t span = available < room ? available : room;
      const char* next = file->buffer + file->position;
      const int32_t copied = FindLineBreak(next, span);
      std::memcpy(text + taken, next, static_cast<size_t>(copied));
      taken += copied;
      file->position += copied;
      anyByte = anyByte || copied > 0;
      if (copied == span) {
        if (taken < capacity) continue;  // the buffer is used up: the line goes on in the next
        if (skipRest) {
          collecting = false;
        } else {
          if (file->position == file->fill) continue;  // the next byte decides
          const char following = file->buffer[file->position];
          if (following != '\r' && following != '\n') {
            *count = taken;
            *lineEnds = false;
            return IO_OK;
          }
        }
      }
      if (collecting) {
        // A CR or LF stands at the position.
        const char lineBreak = file->buffer[file->position++];
        anyByte = true;
        if (lineBreak == '\n') break;
        collecting = false;
      }
    }
    // Skip the rest of the line up to and including its LF.
    const char* next = file->buffer + file->position;
    const int32_t available = file->fill - file->position;
    const int32_t lineFeed = FindLineFeed(next, available);
    if (lineFeed < 0) {
      anyByte = anyByte || available > 0;
      file->position = file->fill;
      continue;
    }
    file->position += lineFeed + 1;
    anyByte = true;
    break;
  }
  *count = taken;
  *lineEnds = true;
  return IO_OK;
}

}  // namespace

IoStatus OpenFile(int32_t unit, const char* name, int32_t nameLength, OpenStatus status) {
  const NamePart trimmedName = TrimBlanks(name, nameLength);
  const char* trimmed = trimmedName.chars;
  int32_t length = trimmedName.length;
  if (length == 0) return IO_INVALID_REQUEST;
  // A longer name is cut, not refused: the layer keeps a fixed-size copy of
  // every name. No name the job makes comes near it (the batch driver refuses
  // a library directory that would), so only a caller's own long name is cut.
  if (length > MAX_FILE_NAME) length = MAX_FILE_NAME;

  if (RecordFile* current = FindUnit(unit)) {
    if (current->nameLength == length && TextEqual(current->name, length, trimmed, length)) {
      return IO_OK;
    }
    CloseFile(unit);
  }
  // The slot is taken before the OS call, so a full table never creates a file.
  RecordFile* file = FindFreeSlot();
  if (file == nullptr) return IO_UNITS_EXHAUSTED;

  char osName[MAX_FILE_NAME + 1];
  if (!CopyOsName(trimmed, length, osName)) return IO_INVALID_REQUEST;

  OsCreation creation = OsCreation::EXISTING_OR_NEW;
  switch (status) {
    case OpenStatus::OLD:
      creation = OsCreation::MUST_EXIST;
      break;
    case OpenStatus::UNKNOWN:
    case OpenStatus::REPLACE:
      creation = OsCreation::EXISTING_OR_NEW;
      break;
  }
  OsHandle handle = NO_OS_HANDLE;
  const IoStatus opened =
      OpenWithFallback(osName, creation, status == OpenStatus::REPLACE, &handle);
  if (opened != IO_OK) return opened;
  if (status == OpenStatus::REPLACE) {
    const IoStatus emptied = CurrentFileServices().truncate(handle, 0);
    if (emptied != IO_OK) {
      CurrentFileServices().close(handle);
      return emptied;
    }
  }

  *file = RecordFile{};
  file->attached = true;
  file->unit = unit;
  for (int32_t i = 0; i <= length; ++i) file->name[i] = osName[i];
  file->nameLength = length;
  file->handle = handle;
  if (!closeAtExitRegistered) {
    closeAtExitRegistered = true;
    std::atexit(CloseFilesAtExit);
  }
  return IO_OK;
}

void OpenFileOrDie(int32_t unit, const char* name, int32_t nameLength, OpenStatus status) {
  const IoStatus opened = OpenFile(unit, name, nameLength, status);
  if (opened != IO_OK) EndWithOpenError(opened, name, nameLength);
}

int32_t OsFileName(const char* name, int32_t nameLength, char (&osName)[MAX_FILE_NAME + 1]) {
  const NamePart trimmed = TrimBlanks(name, nameLength);
  const int32_t length = trimmed.length < MAX_FILE_NAME ? trimmed.length : MAX_FILE_NAME;
  if (length == 0 || !CopyOsName(trimmed.chars, length, osName)) {
    osName[0] = '\0';
    return 0;
  }
  return length;
}

void WatchRunTimeErrors(RunTimeErrorWatcher watcher) {
  runTimeErrorWatcher = watcher;
}

void EndWithOpenError(IoStatus status, const char* name, int32_t nameLength) {
  const NamePart trimmed = TrimBlanks(name, nameLength);
  EndProcessWithRunTimeError(status, "OPEN", trimmed.chars, trimmed.length);
}

IoStatus ReadLine(int32_t unit, LineRecord& line) {
  RecordFile* file = FindUnit(unit);
  if (file != nullptr && TakeBufferedLine(*file, line)) return IO_OK;
  char text[LINE_LENGTH] = {};
  int32_t count = 0;
  bool lineEnds = false;
  const IoStatus status = TakeLine(unit, text, LINE_LENGTH, true, &count, &lineEnds);
  if (status == IO_OK) PutRecord(line, text, count);
  return status;
}

IoStatus ReadLinePiece(int32_t unit, char* text, int32_t capacity, int32_t* count, bool* lineEnds) {
  return TakeLine(unit, text, capacity, false, count, lineEnds);
}

IoStatus WriteRecord(int32_t unit, const RecordItem* items, int32_t itemCount) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  IoStatus status = StartWriting(*file);
  for (int32_t i = 0; i < itemCount && status == IO_OK; ++i) {
    const RecordItem& item = items[i];
    switch (item.kind) {
      case RecordItem::Kind::TEXT:
        status = PutBytes(*file, item.text, item.length);
        break;
      case RecordItem::Kind::INTEGER: {
        char digits[LINE_LENGTH];
        const int32_t width = item.width < LINE_LENGTH ? item.width : LINE_LENGTH;
        EditInteger(item.value, width, digits);
        status = PutBytes(*file, digits, width);
        break;
      }
      case RecordItem::Kind::RECORD_BREAK:
        status = EndLine(*file);
        break;
    }
  }
  if (status == IO_OK) status = EndLine(*file);
  return status;
}

IoStatus WriteChars(int32_t unit, const char* chars, int32_t count) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  IoStatus status = StartWriting(*file);
  int32_t done = 0;
  do {
    const int32_t piece = count - done < LINE_LENGTH ? count - done : LINE_LENGTH;
    if (status == IO_OK) status = PutBytes(*file, chars + done, piece);
    if (status == IO_OK) status = EndLine(*file);
    done += piece;
  } while (done < count && status == IO_OK);
  return status;
}

IoStatus FlushFile(int32_t unit) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  return Flush(*file);
}

int64_t WrittenLength(int32_t unit) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return 0;
  return file->bufferOffset + (file->writing ? file->fill : file->position);
}

IoStatus CutFile(int32_t unit, int64_t length) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  if (!file->writing || length < 0) return IO_OK;
  if (length >= file->bufferOffset) {
    // The file on disk ends at bufferOffset: only buffered bytes go, and a
    // take-back left undone is made now.
    if (length < WrittenLength(unit))
      file->fill = static_cast<int32_t>(length - file->bufferOffset);
    LimitLineEnds(*file, length);
    return file->untidy ? TakeBack(*file, file->bufferOffset) : IO_OK;
  }
  file->fill = 0;
  file->bufferOffset = length;
  LimitLineEnds(*file, length);
  return TakeBack(*file, length);
}

namespace {

// Reads one item of a byte read; a read that fails or meets the file's end
// leaves the item's later bytes untouched.
IoStatus ReadByteItem(RecordFile& file, const ByteItem& item) {
  char* to = static_cast<char*>(item.destination);
  for (int32_t i = 0; i < item.byteCount; ++i) {
    const IoStatus status = Refill(file);
    if (status != IO_OK) {
      if (status == IO_END_OF_FILE) file.endOfFile = true;
      return status;
    }
    to[i] = file.buffer[file.position++];
  }
  return IO_OK;
}

}  // namespace

IoStatus ReadBytes(int32_t unit, const ByteItem* items, int32_t itemCount) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return IO_INVALID_REQUEST;
  IoStatus status = file->endOfFile ? IO_END_OF_FILE : StartReading(*file);
  for (int32_t i = 0; i < itemCount && status == IO_OK; ++i) status = ReadByteItem(*file, items[i]);
  return status;
}

void CloseFile(int32_t unit) {
  RecordFile* file = FindUnit(unit);
  if (file == nullptr) return;
  const IoStatus status = Detach(*file);
  if (status == IO_OK) return;
  if (closingAtExit) {
    // Already ending: report, and let the remaining files be closed too.
    ReportRunTimeError(status, "CLOSE", file->name, file->nameLength);
    closeFailedAtExit = true;
    return;
  }
  EndProcessWithRunTimeError(status, "CLOSE", file->name, file->nameLength);
}

IoStatus CloseFileWithStatus(int32_t unit) {
  RecordFile* file = FindUnit(unit);
  return file == nullptr ? IO_OK : Detach(*file);
}

void CloseAllFiles() {
  for (RecordFile& file : unitTable) {
    if (file.attached) CloseFile(file.unit);
  }
}

bool IsUnitAttached(int32_t unit) {
  return FindUnit(unit) != nullptr;
}

}  // namespace pk
