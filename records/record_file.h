// Record files: files attached to unit numbers, read line by line into
// 80-column records or byte by byte, written as CR LF text lines, every
// operation answering with an IoStatus.
//
// All state is static: a table of 61 units, each with its own 1024-byte
// transfer buffer. Nothing is allocated. Files still attached when the process
// ends are closed as by CloseFile, so no buffered line is lost.
#pragma once

#include <cstdint>

#include "records/fixed_text.h"
#include "records/io_status.h"

namespace pk {

constexpr int32_t UNIT_INPUT = 3;   // the text file being read
constexpr int32_t UNIT_OUTPUT = 4;  // the text file being written
constexpr int32_t UNIT_REPORT = 5;  // the job report NAME.PRE
constexpr int32_t UNIT_LOGO = 7;    // the logo bitmap

constexpr int32_t UNIT_SLOTS = 61;
constexpr int32_t TRANSFER_BUFFER_SIZE = 1024;
// The longest file name, blanks trimmed, that OpenFile passes on whole (a
// directory prefix and a name); the rest of a longer one is cut off.
constexpr int32_t MAX_FILE_NAME = 1023;
constexpr int32_t LINE_LENGTH = 80;

using LineRecord = FixedText<LINE_LENGTH>;

enum class OpenStatus {
  OLD,      // the file must exist
  UNKNOWN,  // opened when it exists, created when missing; never truncated at open
  REPLACE,  // created when missing, emptied when present
};

// Attaches the file `name` (leading and trailing blanks removed) to `unit`.
// Access is tried read-write, then read-only (not for REPLACE, whose handle
// must empty the file), then write-only, and the error is the last
// attempt's; an existing
// file is neither truncated (except REPLACE) nor positioned at its end. OLD
// opens an input: a file that is not a regular file (a FIFO, a device) is
// refused with IO_ACCESS_DENIED, as a directory always is, and the open never
// waits. An output that is not a regular file fails when REPLACE empties it.
// If the unit already holds a file of the same name nothing happens and the
// result is IO_OK; a different file on the unit is closed first.
// On failure the unit stays free and the error number is returned
// (IO_FILE_NOT_FOUND, IO_ACCESS_DENIED, IO_UNITS_EXHAUSTED, ...).
IoStatus OpenFile(int32_t unit, const char* name, int32_t nameLength,
                  OpenStatus status = OpenStatus::UNKNOWN);

template <int32_t N>
IoStatus OpenFile(int32_t unit, const FixedText<N>& name, OpenStatus status = OpenStatus::UNKNOWN) {
  return OpenFile(unit, name.chars, N, status);
}

// OpenFile for a request made without a status: on failure the process ends
// with exit code 1 after the run-time error report on standard error.
void OpenFileOrDie(int32_t unit, const char* name, int32_t nameLength,
                   OpenStatus status = OpenStatus::UNKNOWN);

// The name the OS is given for `name`, as OpenFile gives it: without the
// blanks around it, cut after MAX_FILE_NAME characters, NUL-terminated in
// `osName`. Returns its length, or 0 (and "") for a blank name or one that
// holds a NUL.
int32_t OsFileName(const char* name, int32_t nameLength, char (&osName)[MAX_FILE_NAME + 1]);

// Who is told of a run-time error that ends the process, after its report
// on standard error and before the files still attached are closed: the
// error number, the request ("OPEN" or "CLOSE") and the file's name
// (`nameLength` characters, as the report names it).
using RunTimeErrorWatcher = void (*)(IoStatus status, const char* request, const char* name,
                                     int32_t nameLength);

// Sets the watcher of run-time errors (nullptr: none). It is told once: a
// run-time error met while it is being told ends the process without it.
void WatchRunTimeErrors(RunTimeErrorWatcher watcher);

// Ends the process as OpenFileOrDie does when the open of `name` (blanks
// around it removed) fails with `status`: the run-time error report
// "OPEN(<name>)" on standard error, then exit code 1.
[[noreturn]] void EndWithOpenError(IoStatus status, const char* name, int32_t nameLength);

// Reads the next line of a FORMATTED unit into `line`: at most 80 characters
// up to the first CR or LF, blank filled; the rest of the line up to and
// including its LF is skipped. Returns IO_OK, IO_END_OF_FILE when no character
// is left (`line` unchanged; later reads keep returning it) or an error
// number (`line` unchanged).
IoStatus ReadLine(int32_t unit, LineRecord& line);

// Reads the next piece of a line of a FORMATTED unit, for lines of any
// length: up to `capacity` characters of the current line into `text`, up to
// its first CR or LF. Sets *count to the characters stored and *lineEnds to
// true when the piece ends its line (the rest of it up to and including its
// LF, or the file's end, was passed over), false when the line goes on and the
// next call continues it. Returns IO_OK, IO_END_OF_FILE when no character is
// left (*count 0, *lineEnds true; later reads keep returning it) or an error
// number (*count and *lineEnds unchanged, `text` partly overwritten).
IoStatus ReadLinePiece(int32_t unit, char* text, int32_t capacity, int32_t* count, bool* lineEnds);

// One item of a formatted write.
struct RecordItem {
  enum class Kind { TEXT, INTEGER, RECORD_BREAK } kind;
  const char* text;  // TEXT: the characters, written as given
  int32_t length;    // TEXT: the number of characters
  int64_t value;     // INTEGER: the value
  int32_t width;     // INTEGER: right-aligned in this many columns, asterisks when too long
};

inline RecordItem TextItem(const char* text, int32_t length) {
  return {RecordItem::Kind::TEXT, text, length, 0, 0};
}
inline RecordItem IntegerItem(int64_t value, int32_t width) {
  return {RecordItem::Kind::INTEGER, nullptr, 0, value, width};
}
inline RecordItem RecordBreak() {
  return {RecordItem::Kind::RECORD_BREAK, nullptr, 0, 0, 0};
}

// Writes one or more complete lines to a FORMATTED unit: the items in order,
// a new line at each RECORD_BREAK, every line ended by CR LF. The first write
// after the open cuts the file off at the start. Returns IO_OK or the error of
// the platform write that failed. Lines collect in the transfer buffer; when
// writing it out fails, its bytes are dropped and the file is taken back to
// the end of its last line that was whole on disk, so a text file never ends
// inside a line. When that take-back fails too, the unit's next cut or
// write-out makes it first (CutFile then returns its error).
IoStatus WriteRecord(int32_t unit, const RecordItem* items, int32_t itemCount);

// A character run: `count` characters as one line (an empty line for 0),
// 80 characters to a line when longer.
IoStatus WriteChars(int32_t unit, const char* chars, int32_t count);

// Writes out the unit's buffered bytes now. Returns IO_OK or the write error
// (the buffered bytes are then dropped, as WriteRecord tells).
IoStatus FlushFile(int32_t unit);

// The length the file written on `unit` has so far, buffered bytes included
// (the offset the next written byte goes to). 0 for a unit with no file.
int64_t WrittenLength(int32_t unit);

// Takes back what was written on `unit` from byte offset `length` on: bytes
// still buffered are dropped, and the file itself is cut at `length` when it
// is longer. A take-back that a failed write-out left undone is made too. The
// next write continues at `length`. Returns IO_OK or the error of the cut
// (the file may then hold more than `length` bytes; the next cut or write-out
// tries again); a `length` beyond WrittenLength drops nothing.
IoStatus CutFile(int32_t unit, int64_t length);

// One destination of a byte read.
struct ByteItem {
  void* destination;
  int32_t byteCount;
};

// Reads the items of a unit in turn, exactly byteCount bytes each,
// continuing where the previous read stopped. When the file ends first the
// result is IO_END_OF_FILE: the bytes that arrived stay in their destinations
// and the remaining items are not transferred.
IoStatus ReadBytes(int32_t unit, const ByteItem* items, int32_t itemCount);

// Writes out buffered bytes, closes the file and frees the unit. A unit with no file does nothing.
// A failure ends the process with exit code 1 after the run-time error report on standard error.
void CloseFile(int32_t unit);

// CloseFile for a caller that a failed close costs nothing (a file it only
// read): returns IO_OK or the failure instead of ending the process; the
// unit is free either way.
IoStatus CloseFileWithStatus(int32_t unit);

// Closes every attached file. Runs by itself at
// process end; tests call it to start from a free table.
void CloseAllFiles();

// True when a file is attached to `unit`.
bool IsUnitAttached(int32_t unit);

}  // namespace pk
