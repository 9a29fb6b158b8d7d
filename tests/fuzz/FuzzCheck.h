#pragma once
// A fuzz target's check: on failure it prints what failed and the text that made
// it fail (every character outside printable ASCII as \uXXXX), then aborts, so
// that libFuzzer keeps the input and a replay test fails.
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line,
                                         const QString& text)
{
    std::string shown;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(u));
        shown += u >= 0x20 && u < 0x7F && u != '\\' ? std::string(1, char(u)) : escaped;
    }
    std::fprintf(stderr, "%s:%d: check failed: %s\n  for the text \"%s\"\n", file, line, condition,
                 shown.c_str());
    std::abort();
}

#define FUZZ_CHECK(condition, text)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzCheckFailed(#condition, __FILE__, __LINE__, (text));                               \
    } while (false)
