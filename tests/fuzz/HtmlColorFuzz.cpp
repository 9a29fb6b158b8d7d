// Reading any HTML hex text as the Translate command does: the "$" text made
// from characters 2 to 7, read strictly. Whatever the text, the composition
// is at most six characters after the "$" and the color lies in 0..0xFFFFFF:
// no sign or second prefix gets past the "$".
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "IntegerModel.h"
#include "frmMain/ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzText(data, size);
    // Characters counted from 1; those beyond the end are left out.
    const auto at = [&text](qsizetype position) {
        return position <= text.size() ? QString(text[position - 1]) : QString();
    };
    const QString composed = QStringLiteral("$") + at(6) + at(7) + at(4) + at(5) + at(2) + at(3);
    FUZZ_CHECK(ComposeHtmlColor(text) == composed, text);

    const std::optional<HSLUtils::TColor> color = ParseHtmlColor(text);
    FUZZ_CHECK(color == IntegerModel::Read(composed, 32), text);
    FUZZ_CHECK(!color || (*color >= 0 && *color <= 0xFFFFFF), text);
    return 0;
}
