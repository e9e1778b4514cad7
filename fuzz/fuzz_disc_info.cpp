// The disc information's list input: five values from any bytes; a file read from its start
// may stop as soon as the values are settled; a baseName names nothing outside the folder.
#include "disc/disc_info.h"
#include "fuzz_input.h"

#include <algorithm>

using namespace regdisc;

namespace {

// Independent of isFileNameStem's own rule: what must never pass into a path.
bool leavesTheFolder(TextView name)
{
    if (name.empty() || name == u"." || name == u"..")
        return true;
    return std::any_of(name.begin(), name.end(), [](char16_t c) {
        return c < 0x20 || c == u'/' || c == u'\\' || c == u':' || c == u'.' || (c >= 0x7F && c <= 0x9F);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::optional<ListValues> whole = discInfoValues(bytes, true);
    FUZZ_CHECK(whole);
    FUZZ_CHECK(whole->values.size() <= 5);
    FUZZ_CHECK(whole->complete == (whole->values.size() == 5));
    if (!whole->values.empty() && isFileNameStem(whole->values[0]))
        FUZZ_CHECK(!leavesTheFolder(whole->values[0]) && whole->values[0].size() <= 64);

    // Reading stops at the first beginning that settles the values; they must be the values
    // of the whole file.
    for (std::size_t cut : {size / 4, size / 2, size - std::min<std::size_t>(size, 3), std::size_t{7}}) {
        if (cut > size)
            continue;
        const std::optional<ListValues> start = discInfoValues(bytes.substr(0, cut), false);
        if (start) {
            FUZZ_CHECK(start->complete);
            FUZZ_CHECK(start->values == whole->values);
        }
    }
    return 0;
}
