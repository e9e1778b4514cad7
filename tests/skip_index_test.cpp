// The skip index answers exactly as the chain walk does: the same record, message, boxes,
// counters and 次筆 state after every press, on discs with long runs of equal keys, both
// parties of a two-party register, inputs shorter than the key, misses between keys, and on
// damaged discs (keys that go down, loops, pointers out of the file, chains that end early);
// a skip index of files that changed since is not used. It reads no more than the entries
// from its remembered entry on.
#include "engine/chain_guard.h"
#include "engine/skip_index.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// Everything a press leaves on the screen.
struct ScreenState {
    LookupOutcome outcome;
    std::vector<std::string> messages;
    std::int64_t record;
    std::vector<std::string> boxes;
    bool next, previous, following;
    std::string input, combo;
    bool operator==(const ScreenState &) const = default;
};

ScreenState stateOf(OpenScreen &open, LookupOutcome outcome)
{
    ScreenState s{outcome,
                  open.messages.texts(),
                  open.screen->recordShown(),
                  {},
                  open.screen->nextEnabled(),
                  open.screen->previousEnabled(),
                  open.screen->followingEnabled(),
                  u8(open.screen->inputText()),
                  u8(open.screen->comboText())};
    for (const std::string &name : open.screen->boxNames())
        s.boxes.push_back(u8(open.screen->box(name)));
    open.messages.clear();
    return s;
}

std::shared_ptr<const SkipIndex> skipIndexOf(OpenScreen &open, const DataSetSpec &spec, int spacing)
{
    return SkipIndex::build(
        spec.lookupProfile(),
        {&open.menu.slot(spec.top.slot), &open.menu.slot(spec.detail.slot), &open.menu.slot(spec.data.slot)},
        {}, spacing);
}

// Inputs around every key of every KeyKind: the key, its beginnings, a key just below and
// just above it, letter case changed, and the empty input.
std::vector<std::pair<Text, Text>> inputsOf(const DataSetSpec &spec, const std::vector<Text> &records)
{
    std::set<std::pair<Text, Text>> inputs;
    for (const KeyKindSpec &kind : spec.keyKinds) {
        const Text caption(kind.caption);
        inputs.insert({caption, u""});
        inputs.insert({caption, u"\uFFEE"});
        for (const Text &record : records) {
            Text key(trimEnd(TextView(record).substr(static_cast<size_t>(kind.sourcePos - 1),
                                                     static_cast<size_t>(kind.keyWidth))));
            if (key.empty())
                continue;
            for (size_t n : {size_t{1}, key.size() / 2, key.size()})
                inputs.insert({caption, key.substr(0, std::max<size_t>(n, 1))});
            Text below = key, above = key;
            below.back() = static_cast<char16_t>(below.back() - 1);
            above.back() = static_cast<char16_t>(above.back() + 1);
            inputs.insert({caption, below});
            inputs.insert({caption, above});
            inputs.insert({caption, toUpper(key) == key ? Text(key) : toUpper(key)});
        }
    }
    return {inputs.begin(), inputs.end()};
}

// Runs every input on two screens of the disc, one walking, one with a skip index, and
// compares them press by press: 查詢, then 次筆 up to `presses` times.
void expectSameAnswers(const std::filesystem::path &folder, const DataSetSpec &spec,
                       const std::vector<Text> &records, int spacing, const std::string &what,
                       const std::function<void(const std::filesystem::path &)> &damageAfterBuild = {})
{
    OpenScreen walking(folder, spec);
    OpenScreen skipping(folder, spec);
    ASSERT_TRUE(walking.screen && skipping.screen) << what;
    const auto skip = skipIndexOf(skipping, spec, spacing);
    ASSERT_TRUE(skip) << what;
    skipping.screen->setSkipIndex(skip);
    if (damageAfterBuild)
        damageAfterBuild(folder);
    int compared = 0;
    for (const auto &[caption, input] : inputsOf(spec, records)) {
        for (OpenScreen *open : {&walking, &skipping}) {
            open->screen->chooseComboItem(caption);
            open->screen->typeInput(input);
        }
        const std::string step = what + " " + u8(caption) + " [" + u8(input) + "]";
        ASSERT_EQ(stateOf(walking, walking.screen->query()), stateOf(skipping, skipping.screen->query()))
            << step;
        for (int press = 0; press < 40 && walking.screen->nextEnabled(); ++press)
            ASSERT_EQ(stateOf(walking, walking.screen->next()), stateOf(skipping, skipping.screen->next()))
                << step << " 次筆 " << press + 1;
        ++compared;
    }
    EXPECT_GT(compared, 20) << what;
}

// A holder register of many holders sharing a few IDs, accounts and names, so that chains
// hold long runs of equal keys, in sections of seven entries.
std::vector<Text> holders()
{
    static const char *names[] = {"王大明", "王小明", "陳美玲", "林志豪", "歐陽小明", "ａｂｃ"};
    std::vector<Text> records;
    for (int i = 0; i < 240; ++i)
        records.push_back(
            makeRecord(psmDataSet(), {{"account", std::to_string(10000000000LL + (i % 97) * 31)},
                                      {"id", "A" + std::to_string(100000000 + (i % 13) * 7)},
                                      {"name", names[i % 6]},
                                      {"shares", std::to_string(i)}}));
    return records;
}

const IndexOptions kSmallSections{.sectionSize = 7, .blockSize = 5, .topEntries = 100};

constexpr std::uint64_t kDetail = 61;  // psm DetailEntry: ID 0-9, account 10-20, name 21-32,
constexpr int kRecordNo = 33, kNextId = 40, kNextAccount = 47;  // record 33-39, next 40-60

}  // namespace

TEST(SkipIndex, AnswersAsTheWalkOnSoundDiscs)
{
    TempDir dir;
    const std::vector<Text> records = holders();
    writeTestDisc(dir.path(), {{&psmDataSet(), records, kSmallSections}});
    for (int spacing : {1, 2, 3, 16})
        expectSameAnswers(dir.path(), psmDataSet(), records, spacing, "psm G=" + std::to_string(spacing));

    // Both parties of the pledge register.
    TempDir pledges;
    std::vector<Text> pla;
    for (int i = 0; i < 120; ++i)
        pla.push_back(makeRecord(plaDataSet(), {{"pledgor.account", std::to_string(20000000000LL + i % 17)},
                                                {"pledgor.id", "B" + std::to_string(200000000 + i % 11)},
                                                {"pledgor.name", i % 2 ? "王大明" : "陳美玲"},
                                                {"pledgee.account", std::to_string(90000000000LL + i % 5)},
                                                {"pledgee.id", std::to_string(12345670 + i % 3)},
                                                {"pledgee.name", i % 3 ? "第一銀行" : "台灣銀行"}}));
    writeTestDisc(pledges.path(), {{&plaDataSet(), pla, kSmallSections}});
    expectSameAnswers(pledges.path(), plaDataSet(), pla, 2, "pla");
}

TEST(SkipIndex, AnswersAsTheWalkOnDamagedDiscs)
{
    const std::vector<Text> records = holders();
    // Damage to the ID and account chains of the DetailIndexFile, at entries inside sections.
    const struct {
        const char *name;
        std::vector<std::pair<std::uint64_t, std::string>> patches;
    } cases[] = {
        {"ID key goes down", {{30 * kDetail, "A000000000"}, {31 * kDetail, "A999999999"}}},
        // One low key in the middle of a section: the keys remembered beyond it ascend
        // again, so only a build that stops at the fault keeps walks from jumping over it.
        {"ID key goes down once", {{11 * kDetail, "A000000000"}}},
        {"ID chain loops back", {{40 * kDetail + kNextId, "0000001"}, {90 * kDetail + kNextId, "0000090"}}},
        // Records 6, 19, 32, … share an ID (the seventh in the chain's order): entries 7, 20,
        // 33, 46, 59, … follow each other. Entry 59 leads back to 20, a loop that no key
        // betrays: only the chain guard finds it, at the press its state says.
        {"ID chain loops within equal keys", {{58 * kDetail + kNextId, "0000020"}}},
        {"ID chain leaves the file", {{50 * kDetail + kNextId, "8888888"}}},
        {"ID chain ends early", {{60 * kDetail + kNextId, "9999999"}}},
        {"account chain names no entry", {{70 * kDetail + kNextAccount, "0000000"}}},
        {"record number out of the file", {{80 * kDetail + kRecordNo, "0009999"}}},
    };
    for (const auto &c : cases) {
        TempDir dir;
        writeTestDisc(dir.path(), {{&psmDataSet(), records, kSmallSections}});
        const auto detail = dataSetFile(dir.path(), psmDataSet(), "idxd");
        for (const auto &[offset, bytes] : c.patches)
            patchFile(detail, offset, bytes);
        // Built from the damaged files: it keeps only what it verified.
        for (int spacing : {1, 2})
            expectSameAnswers(dir.path(), psmDataSet(), records, spacing,
                              std::string(c.name) + " G=" + std::to_string(spacing));
        // Built before the damage: the files are no longer the ones it describes.
        TempDir later;
        writeTestDisc(later.path(), {{&psmDataSet(), records, kSmallSections}});
        expectSameAnswers(later.path(), psmDataSet(), records, 2, std::string(c.name) + " after the build",
                          [&](const std::filesystem::path &folder) {
                              for (const auto &[offset, bytes] : c.patches)
                                  patchFile(dataSetFile(folder, psmDataSet(), "idxd"), offset, bytes);
                          });
    }
}

// A point keeps the chain guard in two numbers: a guard resumed from them finds a loop at
// the same visit as the guard that walked there, wherever the walk stood.
TEST(SkipIndex, APointResumesTheChainGuardExactly)
{
    for (std::int64_t stood = 1; stood <= 300; ++stood) {
        ChainGuard walked;
        for (std::int64_t n = 1; n <= stood; ++n)
            ASSERT_TRUE(walked.visit(n));
        ChainGuard resumed = ChainGuard::resumed(walked.visited(), walked.saved());
        // The chain goes on for a while, then leads back to entry `stood` and loops there.
        for (std::int64_t n = stood + 1, step = 0; step < 2000; ++step) {
            const std::int64_t next = step < 37 ? n + step : stood + (step - 37) % 41;
            const bool a = walked.visit(next), b = resumed.visit(next);
            ASSERT_EQ(a, b) << "stood at " << stood << ", step " << step;
            ASSERT_EQ(walked.visited(), resumed.visited());
            if (!a)
                break;
        }
    }
}

TEST(SkipIndex, IsNotUsedOnceTheFilesChange)
{
    TempDir dir;
    const std::vector<Text> records = holders();
    writeTestDisc(dir.path(), {{&psmDataSet(), records, kSmallSections}});
    OpenScreen open(dir.path(), psmDataSet());
    const auto skip = skipIndexOf(open, psmDataSet(), 2);
    const DataSetFiles files{&open.menu.slot(psmDataSet().top.slot),
                             &open.menu.slot(psmDataSet().detail.slot),
                             &open.menu.slot(psmDataSet().data.slot)};
    EXPECT_TRUE(skip->describes(files));
    EXPECT_GT(skip->points(), 0);
    // The same bytes written again: the file's times change, and with them its identity.
    const auto detail = dataSetFile(dir.path(), psmDataSet(), "idxd");
    std::string bytes(61, '\0');
    {
        std::ifstream in(detail, std::ios::binary);
        in.read(bytes.data(), 61);
    }
    patchFile(detail, 0, bytes);
    EXPECT_FALSE(skip->describes(files));
}

// With a skip index a query reads the two index records, one remembered entry, at most the
// entries up to the next remembered one, its record and the look-ahead.
TEST(SkipIndex, ReadsOnlyWhatTheIndexDesignatesOrItVerified)
{
    TempDir dir;
    std::vector<Text> records;
    for (int i = 0; i < 400; ++i)
        records.push_back(makeRecord(psmDataSet(), {{"account", std::to_string(10000000000LL + i)},
                                                    {"id", "A" + std::to_string(100000000 + i)},
                                                    {"name", "王"}}));
    writeTestDisc(dir.path(), {{&psmDataSet(), records, {.sectionSize = 64, .blockSize = 10}}});
    OpenScreen open(dir.path(), psmDataSet());
    const DataSetSpec &psm = psmDataSet();
    open.screen->setSkipIndex(skipIndexOf(open, psm, 8));
    const auto topBefore = open.menu.slot(psm.top.slot).readCount();
    const auto detailBefore = open.menu.slot(psm.detail.slot).readCount();
    ASSERT_EQ(open.query("依 統一編號", "A100000190"), LookupOutcome::Shown);
    EXPECT_EQ(open.screen->recordShown(), 191);
    EXPECT_EQ(open.menu.slot(psm.top.slot).readCount() - topBefore, 2);
    // Without the index the walk reads up to 64 entries of the section.
    EXPECT_LE(open.menu.slot(psm.detail.slot).readCount() - detailBefore, 1 + 8 + 1);
}

// The desktop's screen builds its skip index in the background from files of its own and
// takes it over between two lookups; closing the screen stops the build.
TEST(SkipIndex, BuiltInTheBackgroundForAnOpenScreen)
{
    TempDir dir;
    const std::vector<Text> records = holders();
    writeTestDisc(dir.path(), {{&psmDataSet(), records, kSmallSections}});
    RecordedMessages messages;
    MainMenuModel menu(messages, dir.text());
    ASSERT_TRUE(menu.checkDataFolder(menu.folderText()));
    std::unique_ptr<QueryScreenModel> screen = menu.openDataSet(psmDataSet(), true);
    ASSERT_TRUE(screen);
    ASSERT_TRUE(screen->waitForSkipIndex(std::chrono::seconds(60)));
    OpenScreen walking(dir.path(), psmDataSet());
    for (const char *id : {"A100000000", "A100000042", "A100000043", "A1", "A2"}) {
        screen->chooseComboItem(u"依 統一編號");
        screen->typeInput(t(id));
        walking.screen->chooseComboItem(u"依 統一編號");
        walking.screen->typeInput(t(id));
        EXPECT_EQ(screen->query(), walking.screen->query()) << id;
        EXPECT_EQ(screen->recordShown(), walking.screen->recordShown()) << id;
        EXPECT_EQ(screen->nextEnabled(), walking.screen->nextEnabled()) << id;
    }
    // A screen closed while its build runs stops it and closes at once.
    std::unique_ptr<QueryScreenModel> other = menu.openDataSet(psmDataSet(), true);
    EXPECT_FALSE(other);  // its button is disabled while the first screen is open
    screen->close();
    screen = menu.openDataSet(psmDataSet(), true);
    ASSERT_TRUE(screen);
    screen->close();
}
