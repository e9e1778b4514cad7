// The whole-disc tools on a disc made from the fuzz input: one data set's three files
// (the lookup target's input, so its seeds serve here too) written into a folder, then the
// disc check, the export, a holder's lookup across the disc and, for the holder register,
// the statistics. Each ends with an answer in bounded time and memory: every exported row is
// a record the index can name, every record a holder lookup gives comes once per KeyKind,
// and the statistics' percentages add up to exactly 100.00 (or nothing).
#include "datasets/catalogue.h"
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "tools/disc_check.h"
#include "tools/export.h"
#include "tools/holder_search.h"
#include "tools/holder_stats.h"
#include "tools/register_compare.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace regdisc;
using namespace regdisc::fuzz;

namespace {

namespace fs = std::filesystem;

// A writer that keeps nothing and checks each row's shape.
class CountingWriter : public TableWriter {
public:
    void beginTable(std::string_view, TextView, const std::vector<TableColumn> &columns) override
    {
        columns_ = columns.size();
        rows = 0;
    }
    void writeRow(const std::vector<Cell> &cells) override
    {
        FUZZ_CHECK(cells.size() == columns_);
        ++rows;
    }
    void endTable() override {}
    void finish() override {}
    std::vector<fs::path> files() const override { return {}; }
    std::int64_t rows = 0;

private:
    size_t columns_ = 0;
};

// The disc folder of this process, in memory where the system has a memory file system,
// removed when the process ends.
struct DiscFolder {
    DiscFolder()
    {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path = base / ("regdisc-fuzz-tools-" + std::to_string(::getpid()));
        fs::create_directories(path / "stk");
        fs::create_directories(path / "stkidx");
        std::ofstream(path / "stkidx" / "security.txt") << "T01,名稱,113/12/06,N,113/12/09\r\n";
    }
    ~DiscFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

const fs::path &folder()
{
    static const DiscFolder disc;
    return disc.path;
}

void writeFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    InputReader in(data, size);
    const auto &sets = allDataSets();
    const DataSetSpec &spec = *sets[in.byte() % sets.size()];
    const std::uint8_t keyByte = in.byte();
    in.byte();  // the lookup's presses
    in.byte();  // the lookup's cut
    const Text input = decodeCp950(in.bytes(in.byte() % 25));

    // Only this data set's files are on the disc.
    const fs::path &root = folder();
    for (const fs::path &dir : {root / "stk", root / "stkidx"})
        for (const auto &entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "security.txt")
                fs::remove(entry.path());
    const std::string ext(spec.ext);
    writeFile(root / "stkidx" / ("T01idxp." + ext), in.piece());
    writeFile(root / "stkidx" / ("T01idxd." + ext), in.piece());
    writeFile(root / "stk" / ("T01." + ext), in.piece());

    Disc disc(fromUtf8(root.string()));
    FUZZ_CHECK(disc.open());
    NoProgress progress;

    const RegisterCheck check = checkRegister(disc, spec, progress);
    for (const DefectCount &d : check.defects) {
        FUZZ_CHECK(d.count >= static_cast<std::int64_t>(d.first.size()));
        FUZZ_CHECK(std::is_sorted(d.first.begin(), d.first.end()));
        FUZZ_CHECK(std::adjacent_find(d.first.begin(), d.first.end()) == d.first.end());
        FUZZ_CHECK(d.first.empty() || d.first.front() >= 1);
    }

    CountingWriter writer;
    const ExportSummary exported = exportRegisters(disc, {&spec}, writer, progress);
    const RegisterExport &r = exported.registers.at(0);
    FUZZ_CHECK(r.records == writer.rows || r.state != RegisterState::Present);
    FUZZ_CHECK(r.records <= addressableRecords(spec.lookupProfile()));

    const KeyClass keyClass = static_cast<KeyClass>(keyByte % 3);
    for (const bool exact : {false, true}) {
        std::map<int, std::set<std::int64_t>> given;
        findHolder(
            disc, {keyClass, input, exact}, {&spec}, progress,
            [&](const HolderMatch &m) {
                FUZZ_CHECK(given[m.keyKind].insert(m.recordNo).second);
                FUZZ_CHECK(m.recordNo >= 1);
            },
            [&](const RegisterMatches &reg) {
                FUZZ_CHECK(reg.state != RegisterState::Unreadable || !reg.message.empty());
            });
    }

    if (&spec == &psmDataSet()) {
        const HolderStats stats = computeHolderStats(disc, {}, progress);
        if (stats.state == RegisterState::Present && stats.holders > 0 && !stats.saturated) {
            int sum = 0;
            for (const LevelRow &level : stats.levels)
                sum += level.percent;
            FUZZ_CHECK(sum == 10000);
            for (const auto *rows : {&stats.byCounty, &stats.byAge, &stats.byNationality}) {
                int holders = 0, shares = 0;
                for (const BreakdownRow &row : *rows) {
                    holders += row.holdersPercent;
                    shares += row.sharesPercent;
                }
                FUZZ_CHECK(holders == 10000 || holders == 0);
                FUZZ_CHECK(shares == 10000 || shares == 0);
            }
        }
        // The register compared with itself: every holder with shares unchanged.
        const RegisterComparison c = compareRegisters(disc, disc, {}, progress);
        if (c.refusal.empty() && !c.saturated) {
            FUZZ_CHECK(c.movement[static_cast<size_t>(Movement::Unchanged)].holders == stats.holders);
            FUZZ_CHECK(c.buyers.empty() && c.sellers.empty() && c.crossings.empty());
        }
    }
    return 0;
}
