// The record text model and the display rules: any bytes as a record of any data set, read
// with its N, every field through its rule, the numbers behind them, and the terminal's
// escaped text.
#include "datasets/catalogue.h"
#include "engine/display_rules.h"
#include "engine/record_text.h"
#include "fuzz_input.h"
#include "platform/codepage.h"

#include <algorithm>

using namespace regdisc;
using namespace regdisc::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    InputReader in(data, size);
    const auto &sets = allDataSets();
    const DataSetSpec &spec = *sets[in.byte() % sets.size()];
    const bool decimals = in.byte() & 1;
    const std::string_view bytes = in.rest();

    const Text record = recordText(bytes, spec.dataN);
    FUZZ_CHECK(record.size() == static_cast<std::size_t>(spec.dataN));
    FUZZ_CHECK(decodeCp950(bytes).size() <= bytes.size());

    const DisplayContext context{decimals ? u"Y" : u"N", u"名稱"};
    for (const FieldSpec &f : spec.fields) {
        const Text value = field(record, f.pos, f.width);
        FUZZ_CHECK(value.size() <= static_cast<std::size_t>(std::max(f.width, 0)));
        const Text shown = applyRule(f.rule, value, context);
        const Text escaped = escapeControls(shown);
        FUZZ_CHECK(std::none_of(escaped.begin(), escaped.end(), isControl));
        const Decimal number = parseNumber(value);
        FUZZ_CHECK(!number.whole.empty());
        FUZZ_CHECK(std::all_of(number.whole.begin(), number.whole.end(),
                               [](char c) { return c >= '0' && c <= '9'; }));
        (void)wholeNumber(value);
        (void)number.rounded(2).shiftedRight(2);
    }
    // The whole record as text of its own width, and pieces of it as numbers.
    const Text all = decodeCp950(bytes);
    (void)wholeNumber(all);
    (void)formatQuantity(all.substr(0, 40), context.decimalFlag);
    return 0;
}
