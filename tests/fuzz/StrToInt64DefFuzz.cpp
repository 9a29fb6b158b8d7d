// The lenient 64-bit reading of any text: the value where the model reads
// one, whatever the default; the default, exactly, where it reads none.
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "IntegerModel.h"
#include "frmMain/IntegerText.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzText(data, size);
    const std::optional<std::int64_t> expected = IntegerModel::Read(text, 64);

    for (const std::int64_t def : {std::int64_t(0), std::numeric_limits<std::int64_t>::min(),
                                   std::int64_t(-1), std::numeric_limits<std::int64_t>::max()})
        FUZZ_CHECK(StrToInt64Def(text, def) == expected.value_or(def), text);
    return 0;
}
