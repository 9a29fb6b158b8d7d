// The input/output errors: the message of each code, and the error raised for
// a failed file operation.
#include "frmMain/InOutError.h"
#include "QtPrinters.h"
#include "frmMain/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// The message and code of the error that `raise` throws.
template <class Raise> std::pair<QString, int> Raised(Raise raise)
{
    try {
        raise();
    } catch (const EInOutError& error) {
        return {error.Message, error.ErrorCode};
    }
    return {QStringLiteral("nothing raised"), 0};
}

} // namespace

TEST(InOutError, EachCodeRaisesItsMessage)
{
    struct Row {
        int code;
        QString message;
    };
    const Row rows[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {1, "I/O error 1"},
        {28, "I/O error 28"},
        {32, "I/O error 32"},
        {102, "I/O error 102"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(InOutErrorMessage(row.code), row.message) << row.code;
        EXPECT_EQ(Raised([&] { RaiseInOutError(row.code); }), std::pair(row.message, row.code));
    }
}

TEST(InOutError, AFailedOperationRaisesByTheKindOfItsNumber)
{
    struct Row {
        const char* name;
        IoResult result;
        QString message;
    };
    const Row rows[] = {
        {"ProgramCode", IoResult::Program(5), "File access denied"},
        {"DiskFull", IoResult::Program(101), "Disk full"},
        {"PlatformNumberBesideAProgramCode", IoResult::Platform(5), "I/O error 5"},
        {"PlatformNumber", IoResult::Platform(18), "I/O error 18"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Raised([&] { CheckInOut(row.result); }), std::pair(row.message, row.result.Code))
            << row.name;
    EXPECT_NO_THROW(CheckInOut(IoResult::Success()));
}
