// The strict 32-bit reading of any text: the value, or the conversion error
// with the text quoted exactly, both as the model reads it.
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "IntegerModel.h"
#include "frmMain/Exceptions.h"
#include "frmMain/IntegerText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzText(data, size);
    const std::optional<std::int64_t> expected = IntegerModel::Read(text, 32);

    FUZZ_CHECK(TryStrToInt(text) == expected, text);
    try {
        const std::int32_t value = StrToInt(text);
        FUZZ_CHECK(expected && value == *expected, text);
    } catch (const EConvertError& e) {
        FUZZ_CHECK(!expected, text);
        FUZZ_CHECK(e.Message == IntegerModel::ErrorMessage(text), text);
    }
    return 0;
}
