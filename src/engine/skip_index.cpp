#include "engine/skip_index.h"

#include "engine/index_layout.h"
#include "engine/record_text.h"

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

// One section's walk during a build: where it stands and what it has remembered so far.
struct SkipIndex::SectionWalk {
    SectionWalk(std::int64_t start, std::int64_t end, RecordSource &detail)
        : start(start), end(end), n(start), reads(detail)
    {
        reads.prefetch(n);
    }

    // Reads the section's next entry; true when the walk has ended: at the next section's
    // first entry, the chain's end, a key going down, the budget spent, or a fault.
    bool step(const IndexWalk &walk, const DetailEntryLayout &entries, const KeyKindSpec &kind, int spacing,
              std::int64_t &budget)
    {
        if (budget-- <= 0 || (position > 0 && n == end))
            return true;
        try {
            walk.readChainEntry(n, guard, reads, entry);
        } catch (const RecordReadError &) {
            return true;  // what was read before the fault ascended
        }
        if (position > 0 && walk.keyGoesDown(kind, previous, entry))
            return true;
        // An entry whose numbers do not fit a point is not remembered: the walk passes it.
        if ((position + 1) % spacing == 0 && fitsPoint(n) && fitsPoint(guard.visited()) &&
            fitsPoint(guard.saved())) {
            points.push_back({static_cast<std::int32_t>(n), static_cast<std::int32_t>(guard.visited()),
                              static_cast<std::int32_t>(guard.saved())});
            Text key(entries.key(entry, kind));
            key.resize(static_cast<size_t>(kind.keyWidth), u' ');
            keys += key;
        }
        n = entries.next(entry, kind);
        if (n == walk.profile().chainEnd())
            return true;
        std::swap(previous, entry);
        ++position;
        reads.prefetch(n);
        return false;
    }

    // What the walk verified, added to the KeyKind's points: only when the reads that found
    // it stand.
    void finish(Kind &k)
    {
        try {
            reads.confirm();
        } catch (const RecordReadError &) {
            return;
        }
        if (points.empty())
            return;
        k.sections.push_back(
            {start, static_cast<std::uint32_t>(k.points.size()), static_cast<std::uint32_t>(points.size())});
        k.points.insert(k.points.end(), points.begin(), points.end());
        k.keys += keys;
    }

    std::int64_t start, end;
    std::int64_t n;  // the entry read next
    std::int64_t position = 0;  // entries read before it
    ChainGuard guard;
    RecordReads reads;
    Text entry, previous;
    std::vector<Point> points;
    Text keys;
};

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
    index->top_ = files.top->identity();
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
        std::vector<std::int64_t> starts;
        try {
            starts = sectionStarts(profile, kind, *files.top);
        } catch (const RecordReadError &) {
            starts.clear();
        }
        // Sections that would each walk on to the chain's end (a damaged index) are not
        // followed past twice the entries the file holds.
        std::int64_t budget = 2 * entryCount + 1;
        // Each entry of a chain is a read at a scattered place whose address is known only
        // once the entry before it is read: a single walk waits on memory at every step.
        // Several sections are walked in turns, each asking ahead for its next entry, so
        // that their waits overlap; each walk is still its own, in its chain's order.
        std::vector<std::unique_ptr<SectionWalk>> walks(kWalksInTurn);
        size_t nextSection = 0;
        for (bool walking = true; walking;) {
            if (stopped && stopped())
                return nullptr;
            walking = false;
            for (std::unique_ptr<SectionWalk> &w : walks) {
                if (!w && nextSection < starts.size() && budget > 0) {
                    const size_t s = nextSection++;
                    const std::int64_t end = s + 1 < starts.size() ? starts[s + 1] : profile.chainEnd();
                    w = std::make_unique<SectionWalk>(starts[s], end, *files.detail);
                }
                if (!w)
                    continue;
                walking = true;
                if (w->step(walk, entries, kind, index->spacing_, budget)) {
                    w->finish(k);
                    w.reset();
                }
            }
        }
        std::sort(k.sections.begin(), k.sections.end(),
                  [](const Section &a, const Section &b) { return a.start < b.start; });
        // Two BlockEntries naming one first entry walk the same way: the first is kept.
        k.sections.erase(std::unique(k.sections.begin(), k.sections.end(),
                                     [](const Section &a, const Section &b) { return a.start == b.start; }),
                         k.sections.end());
        k.points.shrink_to_fit();
        k.keys.shrink_to_fit();
        k.built = true;
    }
    return index;
}

bool SkipIndex::describes(const DataSetFiles &files) const
{
    return files.top->identity() == top_ && files.detail->identity() == detail_;
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
