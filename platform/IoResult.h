#pragma once
// The outcome of a file operation as the program reports it.
//
// A failure carries one of the program's I/O error codes (2 "File not found",
// 3 "Invalid filename", 4, 5, 101 ...) where the failure has one, and the
// platform's own error number otherwise. The two ranges overlap: the platform's
// 5 is a device fault (EIO), the program's 5 a refused access. So the kind of
// number travels with it, and a device fault is shown as "I/O error 5".
struct IoResult {
    int Code = 0;              // 0 when the operation succeeded
    bool PlatformCode = false; // Code is the platform's number, not one of the program's codes

    bool failed() const { return Code != 0; }

    static IoResult Success() { return {}; }
    static IoResult Program(int code) { return {code, false}; }
    static IoResult Platform(int errorNumber) { return {errorNumber, true}; }

    bool operator==(const IoResult&) const = default;
};
