// Line-by-line reading of text files under caller-chosen file numbers.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text/byte_string.h"

namespace runtime {

// Where a line ends. Always at a CR, with an LF right after it belonging to the same end; with
// `anyNewline` an LF alone ends a line too, as files saved on Linux and macOS end theirs.
enum class LineEnds : uint8_t { carriageReturn, anyNewline };

// Opens `name` for input under `fileNumber`, read in blocks of `bufferSize` bytes. Others may read
// the file meanwhile, but nobody may write it. On failure errorCode is set and nothing is opened.
void openForInput(const ByteString& name, int16_t fileNumber, int32_t bufferSize,
                  LineEnds ends = LineEnds::carriageReturn);
// The same for a UTF-16 name used whole, whatever its length and characters.
void openForInput(const std::u16string& name, int16_t fileNumber, int32_t bufferSize,
                  LineEnds ends = LineEnds::carriageReturn);

// The next line without its end: a line ends as the file was opened to end them, at a Ctrl-Z,
// which ends the data for good, or at the end of the file. Otherwise LF and NUL are ordinary
// bytes. Empty, with errorCode set, when nothing is left.
ByteString readLine(int16_t fileNumber);

// The next line as readLine walks it, but only its first `capacity` bytes are copied to `bytes`
// and the rest is passed over; returns how many were copied. It needs no string storage, so a line
// of any length costs only its reading.
int32_t readLineInto(int16_t fileNumber, char* bytes, int32_t capacity);

// -1 when no byte is left or the next one is Ctrl-Z, otherwise 0. A number that is not open
// reports -1 and records error 53.
int32_t atEnd(int16_t fileNumber);

// Closes the file; a number that is not open is ignored.
void closeFile(int16_t fileNumber);

// Closes every open file, as the process does on its way out.
void closeAllFiles();

bool isOpen(int16_t fileNumber);

// Whether a read of the open file has failed since it was opened, whatever errors were recorded
// since by anything else; false for a number that is not open.
bool hadReadError(int16_t fileNumber);

// Whether the system says `name` is a folder; false when it is a file, is not there, or cannot be
// looked at.
bool isFolder(const std::u16string& name);
int32_t openFileCount();

}  // namespace runtime
