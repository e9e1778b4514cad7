// Every data set and every KeyKind of a sample disc against a plain reading of the same
// records: for many inputs, 查詢 and 次筆 show exactly the records whose key begins with
// the input, in the order of the KeyKind's comparison.
#include "engine/lookup.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/record_file.h"
#include "test_support.h"
#include "writer/sample_disc.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace regdisc;
using namespace regdisc::test;

namespace {

struct Entry {
    Text key;
    std::int64_t record;
};

bool prefixEqual(Comparison comparison, TextView key, TextView input)
{
    const TextView head = key.substr(0, input.size());
    return comparison == Comparison::Binary ? head == input : compareText(head, input) == 0;
}

// The chain of a KeyKind as the records define it: ascending keys, equal keys in record order.
std::vector<Entry> chain(const DataSetSpec &spec, const KeyKindSpec &kind, const std::vector<Text> &records)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < records.size(); ++i)
        entries.push_back({detailKey(kind, records[i]), static_cast<std::int64_t>(i) + 1});
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        return kind.lookup == Comparison::Binary ? a.key < b.key : textSortKey(a.key) < textSortKey(b.key);
    });
    (void)spec;
    return entries;
}

// The records 查詢 and 次筆 must show for an input no longer than the key.
std::vector<std::int64_t> expected(const KeyKindSpec &kind, const std::vector<Entry> &entries, Text input)
{
    if (kind.inputCase == InputCase::Upper)
        input = toUpper(input);
    std::vector<std::int64_t> shown;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const Entry &e) { return !inputGreater(kind.lookup, input, e.key); });
    if (it == entries.end() || !prefixEqual(kind.lookup, it->key, input))
        return shown;
    shown.push_back(it->record);
    for (++it; it != entries.end() && prefixEqual(kind.lookAhead, it->key, input); ++it)
        shown.push_back(it->record);
    return shown;
}

}  // namespace

namespace regdisc {
// The data set's extension where a failing test shows its parameter.
void PrintTo(const DataSetSpec *spec, std::ostream *os)
{
    *os << spec->ext;
}
}  // namespace regdisc

class EveryDataSet : public testing::TestWithParam<const DataSetSpec *> {
protected:
    static void SetUpTestSuite()
    {
        disc = new TempDir;
        writeSampleDisc(disc->path(), {.records = 1500, .seed = 7});
    }
    static void TearDownTestSuite() { delete disc; }
    static TempDir *disc;
};
TempDir *EveryDataSet::disc = nullptr;

TEST_P(EveryDataSet, QueryAndNextMatchFollowTheKeyOrder)
{
    const DataSetSpec &spec = *GetParam();
    RecordFile data;
    ASSERT_TRUE(data.open(disc->path() / "stk" / ("X001." + std::string(spec.ext)), spec.data.length));
    std::vector<Text> records;
    for (std::int64_t n = 1; n <= data.recordCount(); ++n)
        records.push_back(readRecordText(data, n, spec.dataN));

    OpenScreen open(disc->path(), spec);
    ASSERT_TRUE(open.screen) << spec.ext;
    for (const KeyKindSpec &kind : spec.keyKinds) {
        const std::vector<Entry> entries = chain(spec, kind, records);
        // Inputs: empty, and beginnings of keys that are on the disc, in their own case
        // and in lower case, plus one that is on no key.
        std::vector<Text> inputs{Text()};
        for (size_t i = 0; i < entries.size(); i += std::max<size_t>(1, entries.size() / 12)) {
            Text key = entries[i].key;
            while (!key.empty() && (key.back() == u' ' || key.back() == u'\u3000'))
                key.pop_back();
            for (size_t len : {size_t(1), size_t(2), key.size() / 2, key.size()})
                if (len > 0 && len <= key.size()) {
                    inputs.push_back(key.substr(0, std::min<size_t>(len, 12)));
                    Text lower = key.substr(0, std::min<size_t>(len, 12));
                    std::transform(lower.begin(), lower.end(), lower.begin(),
                                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; });
                    inputs.push_back(lower);
                }
        }
        inputs.push_back(kind.doubleByte ? Text(u"龘") : Text(u"~~"));
        for (const Text &input : inputs) {
            open.messages.clear();
            const auto got = open.queryAll(u8(kind.caption), u8(input));
            ASSERT_EQ(got, expected(kind, entries, input))
                << spec.ext << " KeyKind " << kind.number << " input '" << u8(input) << "'";
            if (got.empty())
                EXPECT_EQ(open.messages.shown.size(), 1u);
            else
                EXPECT_TRUE(open.messages.shown.empty()) << open.messages.texts().front();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SampleDisc, EveryDataSet, testing::ValuesIn(allDataSets()),
                         [](const auto &info) { return std::string(info.param->ext); });
