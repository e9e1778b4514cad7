// A whole lookup on a disc made from the fuzz input: the three files of any data set held in
// memory (read through the same path as files), a caption and an input, then 查詢, up to 15
// presses of 次筆, files cut short under the screen, 前一畫面 and 下一畫面. Every step ends with
// a record shown or one of the lookup's messages, within a bounded number of reads, and a
// step that shows nothing leaves the screen as it was.
#include "datasets/catalogue.h"
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "platform/record_source.h"
#include "screens/query_screen_model.h"

#include <set>

using namespace regdisc;
using namespace regdisc::fuzz;

namespace {

class Messages : public MessageSink {
public:
    void show(const Message &message) override { shown.push_back(message.text); }
    std::vector<Text> shown;
};

// What a failed step must leave as it was: the boxes (as a digest, to keep the runs quick),
// the stepping buttons and the history.
struct Shown {
    std::uint64_t boxes = 0;
    bool previous = false, following = false;
    int oldest = 0, current = 0, newest = 0;
    std::int64_t record = 0;
    bool operator==(const Shown &) const = default;
};

Shown shownOn(const QueryScreenModel &screen)
{
    Shown s;
    std::uint64_t digest = 14695981039346656037ull;  // FNV-1a over every box's characters
    for (const std::string &name : screen.boxNames()) {
        for (char16_t c : screen.box(name))
            digest = (digest ^ c) * 1099511628211ull;
        digest = (digest ^ 0x10000u) * 1099511628211ull;
    }
    s.boxes = digest;
    s.previous = screen.previousEnabled();
    s.following = screen.followingEnabled();
    s.oldest = screen.history().oldestSlot();
    s.current = screen.history().currentSlot();
    s.newest = screen.history().newestSlot();
    s.record = screen.recordShown();
    return s;
}

struct Disc {
    const DataSetSpec &spec;
    MemoryRecordSource top, detail, data;
    Messages messages;
    std::set<Text> lookupMessages;

    // Runs one user action and checks what it left.
    template <class Action> void step(QueryScreenModel &screen, Action action, bool lookup)
    {
        const Shown before = shownOn(screen);
        const std::size_t messagesBefore = messages.shown.size();
        const std::int64_t topReads = top.readCount(), detailReads = detail.readCount(),
                           dataReads = data.readCount();
        const bool shown = action();
        // A lookup reads two index records, at most one DetailEntry per entry of the file
        // (more would visit one twice) and one record.
        FUZZ_CHECK(top.readCount() - topReads <= 2);
        FUZZ_CHECK(detail.readCount() - detailReads <= detail.recordCount());
        FUZZ_CHECK(data.readCount() - dataReads <= 1);
        if (shown) {
            FUZZ_CHECK(messages.shown.size() == messagesBefore);
            FUZZ_CHECK(data.hasRecord(screen.recordShown()));
            const RecordHistory &h = screen.history();
            FUZZ_CHECK(screen.recordShown() == h.currentRecord());
            FUZZ_CHECK(screen.previousEnabled() == !h.atOldest());
            FUZZ_CHECK(screen.followingEnabled() == !h.atNewest());
            return;
        }
        FUZZ_CHECK(messages.shown.size() == messagesBefore + 1);
        const Text &message = messages.shown.back();
        FUZZ_CHECK(lookup ? lookupMessages.count(message) == 1 : message == spec.damagedMessage);
        FUZZ_CHECK(shownOn(screen) == before);
        if (message == spec.damagedMessage && lookup)
            FUZZ_CHECK(!screen.nextEnabled());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    InputReader in(data, size);
    const auto &sets = allDataSets();
    const DataSetSpec &spec = *sets[in.byte() % sets.size()];
    const std::uint8_t caption = in.byte();
    const std::uint8_t presses = in.byte();  // low bits: 次筆 presses; high bits: history steps
    const std::uint8_t cut = in.byte();  // a file cut short under the screen
    const Text input = decodeCp950(in.bytes(in.byte() % 25)).substr(0, QueryScreenModel::kInputMaxLength);

    Disc disc{spec, {}, {}, {}, {}, {}};
    disc.top.openView(in.piece(), spec.top.length);
    disc.detail.openView(in.piece(), spec.detail.length);
    disc.data.openView(in.piece(), spec.data.length);
    disc.lookupMessages = {Text(spec.comboMessage), Text(spec.damagedMessage)};
    for (const KeyKindSpec &kind : spec.keyKinds) {
        disc.lookupMessages.insert(Text(kind.topScanMessage));
        disc.lookupMessages.insert(Text(kind.prefixMessage));
    }

    const DiscInfo info{u"T01", u"名稱", u"113/12/06", (cut & 1) ? u"Y" : u"N", u"113/12/09"};
    QueryScreenModel screen(spec, {&disc.top, &disc.detail, &disc.data}, info, disc.messages, {});
    screen.load();
    const std::size_t kinds = spec.keyKinds.size();
    if (caption % (kinds + 1) < kinds)
        screen.chooseComboItem(spec.keyKinds[caption % (kinds + 1)].caption);
    else
        screen.typeCombo(u"依 其他");
    screen.typeInput(input);

    const auto query = [&] { return screen.query() == LookupOutcome::Shown; };
    const auto next = [&] { return screen.next() == LookupOutcome::Shown; };
    disc.step(screen, query, true);
    for (int i = 0; i < (presses & 0x0F) && screen.nextEnabled(); ++i) {
        if (i == 2 && cut >= 8) {
            MemoryRecordSource *files[] = {&disc.top, &disc.detail, &disc.data};
            MemoryRecordSource &file = *files[cut % 3];
            file.truncate(static_cast<std::uint64_t>(cut >> 3) *
                          static_cast<std::uint64_t>(file.recordLength()) / 2);
        }
        disc.step(screen, next, true);
    }
    for (int bit = 4; bit < 8; ++bit) {
        if (presses & (1 << bit)) {
            if (screen.previousEnabled())
                disc.step(
                    screen,
                    [&] {
                        const int c = screen.history().currentSlot();
                        screen.previousScreen();
                        return c != screen.history().currentSlot();
                    },
                    false);
        } else if (screen.followingEnabled()) {
            disc.step(
                screen,
                [&] {
                    const int c = screen.history().currentSlot();
                    screen.nextScreen();
                    return c != screen.history().currentSlot();
                },
                false);
        }
    }
    disc.step(screen, query, true);
    for (const PrintedLine &line : screen.printout().lines)
        (void)plainText(line);
    return 0;
}
