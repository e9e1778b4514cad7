#include "engine/skip_index.h"

#include "engine/index_layout.h"
#include "engine/record_text.h"
#include "platform/large_array.h"

#include <algorithm>
#include <limits>

namespace regdisc {

namespace {

// The first entries of every section of a KeyKind, in the order of its blocks: what the
// block scans can name.
std::vector<std::int64_t> sectionStarts(const LookupProfile &profile, const KeyKindSpec &kind,
                                        RecordSource &top)
{
    std::vector<std::int64_t> starts;
    const IndexRecordLayout layout(profile, kind);
    RecordReads reads(top);
    const Text topText = recordText(reads.record(kind.number), layout.characters);
    for (int e = 0; e < kEntriesPerIndexRecord; ++e) {
        if (layout.unused(topText, e))
            continue;
        const std::int64_t block = layout.pointer(topText, e);
        if (!top.hasRecord(block))
            continue;
        const Text blockText = recordText(reads.record(block), layout.characters);
        for (int b = 0; b < kEntriesPerIndexRecord; ++b)
            if (!layout.unused(blockText, b))
                starts.push_back(layout.pointer(blockText, b));
    }
    reads.confirm();
    return starts;
}

// Whether a number fits a Point's fields.
bool fitsPoint(std::int64_t value)
{
    return value >= 0 && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

// A KeyKind's chains as one pass over the DetailIndexFile in order finds them: for every
// entry its key, and the entry a walk reads after it or why a walk ends there. A walk that
// has read entry n goes on to next[n] unless the chain ends (kChainEnd) or the next read
// would end it (kStop): the next entry is not in the file, or its key is below n's. What
// the engine's walk checks between two entries is all in the pair, so the pairs are
// checked in memory after the pass, instead of along the chains, where each read of the
// file waits on the one before.
struct SkipIndex::ChainLinks {
    static constexpr std::int32_t kChainEnd = -1;
    static constexpr std::int32_t kStop = -2;
    LargeArray<std::int32_t> next;  // by entry number, [0] unused
    LargeArray<char16_t> keys;  // `width` characters by entry number
    std::size_t width = 0;
    TextView key(std::int64_t n) const
    {
        return TextView(keys.data() + static_cast<std::size_t>(n) * width, width);
    }
};

namespace {

// Entries between two questions whether the build should stop, and how far ahead of its
// use a key is asked for.
constexpr std::int64_t kPassRun = 4096;
constexpr std::int64_t kAskAhead = 16;

// Asks the processor for the memory at `p` ahead of its use; a hint only.
inline void askAhead(const void *p)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

}  // namespace

bool SkipIndex::linkChains(const IndexWalk &walk, const KeyKindSpec &kind, ChainLinks &links,
                           const std::function<bool()> &stopped)
{
    const LookupProfile &profile = walk.profile();
    const DetailEntryLayout &entries = walk.entries();
    RecordSource &detail = *walk.files().detail;
    const std::int64_t count = detail.recordCount();
    // Every entry is decoded to the same number of characters, so its key is the same
    // number of characters at the same place.
    links.width = entries.key(Text(static_cast<size_t>(profile.detailN), u' '), kind).size();
    links.next = LargeArray<std::int32_t>(static_cast<size_t>(count + 1));
    links.keys = LargeArray<char16_t>(static_cast<size_t>(count + 1) * links.width);

    // The entries in order: one pass over the file, which a slow medium reads without
    // seeking.
    RecordReads reads(detail);
    Text entry;
    try {
        for (std::int64_t n = 1; n <= count; ++n) {
            if (n % kPassRun == 0 && stopped && stopped())
                return false;
            recordText(reads.record(n), profile.detailN, entry);
            const TextView key = entries.key(entry, kind);
            std::copy(key.begin(), key.end(), links.keys.data() + static_cast<size_t>(n) * links.width);
            const std::int64_t next = entries.next(entry, kind);
            links.next[static_cast<size_t>(n)] = next == profile.chainEnd() ? ChainLinks::kChainEnd
                                                 : detail.hasRecord(next)   ? static_cast<std::int32_t>(next)
                                                                            : ChainLinks::kStop;
        }
        reads.confirm();
    } catch (const RecordReadError &) {
        return false;  // the file changed under the pass: nothing of it is kept
    }

    // Each entry's key against its next entry's, in memory.
    for (std::int64_t n = 1; n <= count; ++n) {
        if (n + kAskAhead <= count && links.next[static_cast<size_t>(n + kAskAhead)] > 0)
            askAhead(links.key(links.next[static_cast<size_t>(n + kAskAhead)]).data());
        std::int32_t &next = links.next[static_cast<size_t>(n)];
        if (next > 0 && inputGreater(kind.lookup, links.key(n), links.key(next)))
            next = ChainLinks::kStop;
    }
    return true;
}

// One section's walk during a build, along the links: where it stands and what it has
// remembered so far. It ends where the engine's walk from the section's first entry would
// end: at the next section's first entry, the chain's end, an entry outside the file, a
// loop, a key going down, or the budget spent.
struct SkipIndex::SectionWalk {
    SectionWalk(std::int64_t start, std::int64_t end) : start(start), end(end), n(start) {}

    // Takes the walk's next step; true when the walk has ended.
    bool step(const ChainLinks &links, int spacing, std::int64_t &budget)
    {
        if (budget-- <= 0 || (position > 0 && n == end))
            return true;
        const auto count = static_cast<std::int64_t>(links.next.size()) - 1;
        if (n < 1 || n > count || !guard.visit(n) || guard.visited() > count)
            return true;
        // An entry whose numbers do not fit a point is not remembered: the walk passes it.
        if ((position + 1) % spacing == 0 && fitsPoint(n) && fitsPoint(guard.visited()) &&
            fitsPoint(guard.saved()))
            points.push_back({static_cast<std::int32_t>(n), static_cast<std::int32_t>(guard.visited()),
                              static_cast<std::int32_t>(guard.saved())});
        n = links.next[static_cast<size_t>(n)];
        if (n == ChainLinks::kChainEnd)
            return true;
        ++position;
        if (n > 0)
            askAhead(&links.next[static_cast<size_t>(n)]);
        return false;
    }

    void finish(Kind &k)
    {
        if (points.empty())
            return;
        k.sections.push_back(
            {start, static_cast<std::uint32_t>(k.points.size()), static_cast<std::uint32_t>(points.size())});
        k.points.insert(k.points.end(), points.begin(), points.end());
    }

    std::int64_t start, end;
    std::int64_t n;  // the entry read next
    std::int64_t position = 0;  // entries read before it
    ChainGuard guard;
    std::vector<Point> points;
};

// The keys of the remembered entries, as the walk would compare them.
void SkipIndex::rememberKeys(const ChainLinks &links, const KeyKindSpec &kind, Kind &k)
{
    k.keys.reserve(k.points.size() * static_cast<size_t>(kind.keyWidth));
    for (const Point &p : k.points) {
        Text key(links.key(p.entry));
        key.resize(static_cast<size_t>(kind.keyWidth), u' ');
        k.keys += key;
    }
}

TextView SkipIndex::Kind::key(std::size_t point) const
{
    return TextView(keys).substr(point * static_cast<std::size_t>(keyWidth),
                                 static_cast<std::size_t>(keyWidth));
}

std::shared_ptr<const SkipIndex> SkipIndex::build(const LookupProfile &profile, DataSetFiles files,
                                                  const std::vector<int> &keyKinds, int spacing,
                                                  const std::function<bool()> &stopped)
{
    auto index = std::make_shared<SkipIndex>();
    index->spacing_ = std::max(spacing, 1);
    index->detail_ = files.detail->identity();
    index->kinds_.resize(profile.keyKinds.size());
    // The chains are walked all over the DetailIndexFile: it is read ahead in one pass first,
    // so that a slow medium is read in order rather than seeking for every entry.
    files.detail->readAhead();
    const IndexWalk walk(profile, files);
    const DetailEntryLayout entries(profile);
    const std::int64_t entryCount = files.detail->recordCount();

    for (const KeyKindSpec &kind : profile.keyKinds) {
        if (!keyKinds.empty() && std::find(keyKinds.begin(), keyKinds.end(), kind.number) == keyKinds.end())
            continue;
        Kind &k = index->kinds_[static_cast<size_t>(kind.number - 1)];
        k.keyWidth = kind.keyWidth;
        k.comparison = kind.lookup;
        k.built = true;
        std::vector<std::int64_t> starts;
        try {
            starts = sectionStarts(profile, kind, *files.top);
        } catch (const RecordReadError &) {
            starts.clear();
        }
        ChainLinks links;
        bool linked = false;
        try {
            linked = !starts.empty() && linkChains(walk, kind, links, stopped);
        } catch (const std::bad_alloc &) {
            linked = false;  // no memory for the pass: this KeyKind is walked as without an index
        }
        if (!linked) {
            if (stopped && stopped())
                return nullptr;
            continue;  // nothing verified: every walk of this KeyKind starts at its section
        }
        // Sections that would each walk on to the chain's end (a damaged index) are not
        // followed past twice the entries the file holds.
        std::int64_t budget = 2 * entryCount + 1;
        // Several sections are walked in turns, each asking ahead for its next link, so that
        // their waits for memory overlap; each walk is still its own, in its chain's order.
        std::vector<std::unique_ptr<SectionWalk>> walks(kWalksInTurn);
        size_t nextSection = 0;
        bool walking = true;
        for (std::int64_t round = 1; walking; ++round) {
            if (round % 4096 == 0 && stopped && stopped())
                return nullptr;
            walking = false;
            for (std::unique_ptr<SectionWalk> &w : walks) {
                if (!w && nextSection < starts.size() && budget > 0) {
                    const size_t s = nextSection++;
                    const std::int64_t end = s + 1 < starts.size() ? starts[s + 1] : profile.chainEnd();
                    w = std::make_unique<SectionWalk>(starts[s], end);
                }
                if (!w)
                    continue;
                walking = true;
                if (w->step(links, index->spacing_, budget)) {
                    w->finish(k);
                    w.reset();
                }
            }
        }
        rememberKeys(links, kind, k);
        std::sort(k.sections.begin(), k.sections.end(),
                  [](const Section &a, const Section &b) { return a.start < b.start; });
        // Two BlockEntries naming one first entry walk the same way: the first is kept.
        k.sections.erase(std::unique(k.sections.begin(), k.sections.end(),
                                     [](const Section &a, const Section &b) { return a.start == b.start; }),
                         k.sections.end());
        k.points.shrink_to_fit();
        k.keys.shrink_to_fit();
    }
    return index;
}

bool SkipIndex::describes(const DataSetFiles &files) const
{
    return files.detail->identity() == detail_;
}

const SkipIndex::Point *SkipIndex::below(const KeyKindSpec &kind, std::int64_t start, TextView query) const
{
    if (kind.number < 1 || static_cast<size_t>(kind.number) > kinds_.size())
        return nullptr;
    const Kind &k = kinds_[static_cast<size_t>(kind.number - 1)];
    const auto section =
        std::lower_bound(k.sections.begin(), k.sections.end(), start,
                         [](const Section &s, std::int64_t value) { return s.start < value; });
    if (section == k.sections.end() || section->start != start)
        return nullptr;
    // The points ascend: the query is greater than the keys of a first run of them.
    std::uint32_t low = 0, high = section->count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (inputGreater(k.comparison, query, k.key(section->first + middle)))
            low = middle + 1;
        else
            high = middle;
    }
    return low == 0 ? nullptr : &k.points[section->first + low - 1];
}

std::int64_t SkipIndex::points() const
{
    std::int64_t n = 0;
    for (const Kind &k : kinds_)
        n += static_cast<std::int64_t>(k.points.size());
    return n;
}

std::size_t SkipIndex::bytes() const
{
    std::size_t n = sizeof(*this);
    for (const Kind &k : kinds_)
        n += k.sections.capacity() * sizeof(Section) + k.points.capacity() * sizeof(Point) +
             k.keys.capacity() * sizeof(char16_t);
    return n;
}

}  // namespace regdisc
