// Line-by-line reading of text files under caller-chosen file numbers.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text/byte_string.h"

namespace runtime {

// Opens `name` for input under `fileNumber`, read in blocks of `bufferSize` bytes. Nobody else may
// open the file while it is open here. On failure errorCode is set and nothing is opened.
void openForInput(const ByteString& name, int16_t fileNumber, int32_t bufferSize);
// The same for a UTF-16 name used whole, whatever its length and characters.
void openForInput(const std::u16string& name, int16_t fileNumber, int32_t bufferSize);

// The next line without its end: a line ends at CR (with an LF right after it consumed too), at a
// Ctrl-Z, which ends the data for good, or at the end of the file. LF alone and NUL are ordinary
// bytes. Empty, with errorCode set, when nothing is left.
ByteString readLine(int16_t fileNumber);

// Moves past the next line exactly as readLine would, without keeping its text: for readers that
// look for one line among many.
void skipLine(int16_t fileNumber);

// -1 when no byte is left or the next one is Ctrl-Z, otherwise 0. A number that is not open
// reports -1 and records error 53.
int32_t atEnd(int16_t fileNumber);

// Closes the file; a number that is not open is ignored.
void closeFile(int16_t fileNumber);

// Closes every open file, as the process does on its way out.
void closeAllFiles();

bool isOpen(int16_t fileNumber);

// Whether `name` is an existing file (not a folder), even one that another program holds open.
bool existsAsFile(const ByteString& name);
bool existsAsFile(const std::u16string& name);
int32_t openFileCount();

}  // namespace runtime
