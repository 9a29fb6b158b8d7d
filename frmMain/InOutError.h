#pragma once
// The program's input/output errors: a code and its message.
#include "platform/IoResult.h"

#include <QString>

// The message of one of the program's I/O error codes: 2 "File not found",
// 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid numeric input",
// any other code "I/O error <code>".
QString InOutErrorMessage(int code);

// Throws the EInOutError of a code.
[[noreturn]] void RaiseInOutError(int code);

// Throws the EInOutError of a failed operation; a platform number is shown as
// "I/O error <number>" even where it equals one of the program's codes.
// Does nothing for a success.
void CheckInOut(IoResult result);
