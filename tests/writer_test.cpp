// The streaming disc writer: chains in the order of their comparison, and the same bytes
// whether the keys are sorted in memory or in many runs on disk.
#include "test_support.h"
#include "writer/key_sorter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

using namespace regdisc;
using namespace regdisc::test;

namespace {

std::string fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Records of many shared and repeated keys, so that chains hold equal keys and runs overlap.
std::vector<Text> manyRecords(const DataSetSpec &spec, int count)
{
    static const char *names[] = {"王大明",     "王小明",     "陳美玲", "林志豪",
                                  "ＡＢＣ公司", "ａｂｃ科技", "王",     "陳"};
    std::mt19937 random(7);
    std::vector<Text> records;
    for (int i = 0; i < count; ++i) {
        const std::string id = std::string(1, "ABF"[random() % 3]) + std::to_string(random() % 50);
        const std::string account = std::to_string(9000 + random() % 40);
        const char *name = names[random() % std::size(names)];
        records.push_back(makeRecord(spec, {{"id", id},
                                            {"account", account},
                                            {"name", name},
                                            {"englishName", id + " HOLDINGS"},
                                            {"pledgor.name", name},
                                            {"pledgor.id", id},
                                            {"pledgor.account", account},
                                            {"pledgee.name", names[i % std::size(names)]},
                                            {"pledgee.id", std::to_string(i % 13)},
                                            {"pledgee.account", std::to_string(i % 17)}}));
    }
    return records;
}

}  // namespace

TEST(KeySorter, RunsOnDiskMergeToTheOrderOfOneSort)
{
    TempDir dir;
    std::mt19937 random(3);
    struct Item {
        std::string order;
        std::uint32_t index;
    };
    std::vector<Item> items;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        // Orders of several lengths that begin one another, and many equal ones.
        std::string order(random() % 4, 'a');
        for (char &c : order)
            c = static_cast<char>('a' + random() % 3);
        items.push_back({order, i});
    }
    KeySorter sorter(dir.path() / "run", 4096);
    for (const Item &item : items)
        sorter.add(item.order, item.index, fromAscii(item.order + "#" + std::to_string(item.index)));
    EXPECT_GT(sorter.runsWritten(), 5u);

    std::vector<std::uint32_t> merged;
    sorter.merge([&](std::uint32_t index, TextView key) {
        EXPECT_EQ(toUtf8(key), items[index].order + "#" + std::to_string(index));
        merged.push_back(index);
    });
    std::stable_sort(items.begin(), items.end(),
                     [](const Item &a, const Item &b) { return a.order < b.order; });
    std::vector<std::uint32_t> expected;
    for (const Item &item : items)
        expected.push_back(item.index);
    EXPECT_EQ(merged, expected);
}

// Chains written down by hand: IDs in character code order, names in Big5 order (王 A4FD
// before 林 AA4C before 陳 B3AF), equal keys in record order.
TEST(DiscWriter, ChainsFollowTheirComparison)
{
    TempDir dir;
    const DataSetSpec &psm = psmDataSet();
    const std::vector<Text> records = {
        makeRecord(psm, {{"id", "B1"}, {"account", "3"}, {"name", "陳美玲"}}),
        makeRecord(psm, {{"id", "A2"}, {"account", "1"}, {"name", "王小明"}}),
        makeRecord(psm, {{"id", "A10"}, {"account", "2"}, {"name", "林志豪"}}),
        makeRecord(psm, {{"id", "A2"}, {"account", "10"}, {"name", "王小明"}}),
    };
    const WrittenIndex written = writeDataSet(dir.path(), u"T01", psm, records);
    ASSERT_EQ(written.chains.size(), 3u);
    EXPECT_EQ(written.chains[0], (std::vector<std::int64_t>{3, 2, 4, 1}));  // A10 A2 A2 B1
    EXPECT_EQ(written.chains[1], (std::vector<std::int64_t>{2, 4, 3, 1}));  // 1 10 2 3
    EXPECT_EQ(written.chains[2], (std::vector<std::int64_t>{2, 4, 3, 1}));  // 王 王 林 陳

    // DetailEntry 2 (bytes 61..121): ID, account, name key, record 2, then the next-pointers
    // of its three chains: 4, 4 and 4.
    const std::string detail = fileBytes(dataSetFile(dir.path(), psm, "idxd"));
    ASSERT_EQ(detail.size(), 4u * 61);
    EXPECT_EQ(detail.substr(61 + 33, 28), "0000002000000400000040000004");
    // The last entry of each chain ends it.
    EXPECT_EQ(detail.substr(0 * 61 + 40, 7), "9999999");
    EXPECT_EQ(detail.substr(0 * 61 + 47, 7), "9999999");
    EXPECT_EQ(detail.substr(0 * 61 + 54, 7), "9999999");
}

// Sorting in memory or in runs of a few kilobytes on disk, and patching the next-pointers
// all at once or a few entries at a time, writes the same three files.
TEST(DiscWriter, SmallMemoryWritesTheSameFiles)
{
    const IndexOptions shapes[] = {
        {}, {.sectionSize = 7}, {.sectionSize = 1, .blockSize = 9}, {.topEntries = 3}};
    for (const DataSetSpec *spec : {&psmDataSet(), &plaDataSet(), &pelDataSet(), &psrDataSet()}) {
        const std::vector<Text> records = manyRecords(*spec, 700);
        for (const IndexOptions &shape : shapes) {
            TempDir inMemory, onDisk;
            const WrittenIndex expected = writeDataSet(inMemory.path(), u"T01", *spec, records, shape);
            WrittenIndex written;
            {
                DataSetWriter writer(onDisk.path(), u"T01", *spec, shape, 4096);
                for (const Text &record : records)
                    writer.add(record);
                written = writer.finish(true);
            }
            EXPECT_EQ(written.chains, expected.chains) << spec->ext;
            EXPECT_EQ(written.firstBlock, expected.firstBlock) << spec->ext;
            for (const char *file : {"idxp", "idxd", "data"})
                EXPECT_EQ(fileBytes(dataSetFile(onDisk.path(), *spec, file)),
                          fileBytes(dataSetFile(inMemory.path(), *spec, file)))
                    << spec->ext << " " << file << " section " << shape.sectionSize;
            // Nothing but the disc's folders is left behind.
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(onDisk.path()), {}), 2);
        }
    }
}
