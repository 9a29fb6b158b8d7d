#pragma once
// The fuzz targets' texts from the fuzzer's bytes. Seeds stay readable and
// every QString can be reached: a byte below 0x80 is that character, a byte
// 0x80 to 0xFE the Latin-1 character of that value, and 0xFF followed by two
// bytes the UTF-16 code unit they spell, high byte first (a lone surrogate, a
// full-width digit, a NUL). An escape cut short by the end is dropped.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

// The texts of the input, one per line: a plain newline byte ends a text, an
// escaped one (FF 00 0A) is a newline character inside it.
inline std::vector<QString> FuzzTexts(const std::uint8_t* data, std::size_t size)
{
    std::vector<QString> texts(1);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte == '\n') {
            texts.emplace_back();
        } else if (byte != 0xFF) {
            texts.back().append(QChar(char16_t(byte)));
        } else if (i + 2 < size) {
            texts.back().append(QChar(char16_t(data[i + 1] << 8 | data[i + 2])));
            i += 2;
        } else {
            break;
        }
    }
    return texts;
}

// The whole input as one text; newline bytes are newline characters.
inline QString FuzzText(const std::uint8_t* data, std::size_t size)
{
    const std::vector<QString> lines = FuzzTexts(data, size);
    return QStringList(lines.begin(), lines.end()).join(QLatin1Char('\n'));
}
