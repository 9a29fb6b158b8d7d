// The report of any eight field texts, one per line of the input: the title,
// then each label with its text, one byte per character (a character outside
// Latin-1 as "?", a surrogate pair being one character), CR LF after each.
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "frmMain/ReportText.h"

#include <QStringList>
#include <array>

namespace {

// Character by character as the report counts them: toUcs4 makes one code
// point of a pair and U+FFFD of a lone surrogate.
QByteArray Latin1OrQuestionMark(const QString& text)
{
    QByteArray bytes;
    for (const char32_t c : text.toUcs4())
        bytes.append(c <= 0xFF ? char(c) : '?');
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<QString> texts = FuzzTexts(data, size);
    texts.resize(8);
    const ReportFields fields{texts[0], texts[1], texts[2], texts[3],
                              texts[4], texts[5], texts[6], texts[7]};

    static constexpr std::array<const char*, 8> labels = {
        "Dec: ", "Hex: ", "Red: ", "Green: ", "Blue: ", "Hue: ", "Sat: ", "Lum: "};
    QByteArray expected("Color Properties:\r\n");
    for (std::size_t i = 0; i < labels.size(); ++i)
        expected += labels[i] + Latin1OrQuestionMark(texts[i]) + "\r\n";

    FUZZ_CHECK(ReportText(fields) == expected,
               QStringList(texts.begin(), texts.end()).join(QLatin1Char('|')));
    return 0;
}
