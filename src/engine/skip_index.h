// A skip index: a way into the chain walk that reads a few DetailEntries instead of a
// whole section.
//
// A lookup's block scan names the DetailEntry at which its walk starts (a section's first
// entry); the walk then follows the chain until a key is not less than the input. On a
// register of millions that is hundreds of entries, each a read at a scattered place. The
// skip index remembers every G-th entry of each section, with its key and the chain
// guard's state at that entry, as one pass over the DetailIndexFile in order found them. A walk may then
// begin at the last remembered entry of its section whose key is below the input: every entry before it was
// seen to ascend, so the walk would have passed them, and from there on it reads the live files as it always
// does. Only what that one pass verified is kept: a section that leaves its file, loops or goes down is
// remembered up to the fault, and the walk beyond it meets the fault as before. What it remembers is in the
// DetailIndexFile alone (the block scan that names a section reads the live TopIndexFile, and a section it
// does not know is walked from its start), so the index is good only for the DetailIndexFile it was built
// from: that file's identity (device, number, size, times) is compared at every use.
#pragma once

#include "engine/chain_guard.h"
#include "engine/index_walk.h"
#include "engine/lookup_profile.h"
#include "platform/record_source.h"
#include "platform/text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace regdisc {

class SkipIndex {
public:
    // Every `spacing`-th entry of a section is remembered.
    static constexpr int kDefaultSpacing = 16;

    // A remembered entry: its number and the chain guard as a walk from the section's first
    // entry leaves it after reading this entry, kept in twelve bytes (a register has at most
    // ten million entries).
    struct Point {
        std::int32_t entry = 0;
        std::int32_t visited = 0;  // the guard's visits
        std::int32_t saved = 0;  // and its remembered entry
        ChainGuard guard() const { return ChainGuard::resumed(visited, saved); }
    };

    // One pass over the DetailIndexFile for the chains of `keyKinds` (KeyKind numbers; all
    // when empty). `stopped` is asked now and then: a build asked to stop ends with nothing. Throws
    // nothing; a KeyKind whose pass could not read the file, or found no memory for it, gets
    // no entries remembered, and its walks start at their sections as without an index.
    static std::shared_ptr<const SkipIndex> build(const LookupProfile &profile, DataSetFiles files,
                                                  const std::vector<int> &keyKinds = {},
                                                  int spacing = kDefaultSpacing,
                                                  const std::function<bool()> &stopped = {});

    // Whether `files` still hold the DetailIndexFile the index was built from.
    bool describes(const DataSetFiles &files) const;

    // The last remembered entry of the section that begins at DetailEntry `start` whose key
    // is below `query` under the KeyKind's comparison; nothing when there is none.
    const Point *below(const KeyKindSpec &kind, std::int64_t start, TextView query) const;

    // Remembered entries, and the memory they take.
    std::int64_t points() const;
    std::size_t bytes() const;
    int spacing() const { return spacing_; }

private:
    struct Section {
        std::int64_t start = 0;  // its first DetailEntry
        std::uint32_t first = 0;  // its points: points[first, first + count)
        std::uint32_t count = 0;
    };
    struct Kind;
    struct ChainLinks;
    struct SectionWalk;
    // Sections walked in turns during a build.
    static constexpr int kWalksInTurn = 16;

    struct Kind {
        bool built = false;
        int keyWidth = 0;
        Comparison comparison = Comparison::Binary;
        std::vector<Section> sections;  // by start
        std::vector<Point> points;
        Text keys;  // keyWidth characters per point
        TextView key(std::size_t point) const;
    };

    // The links of a KeyKind's chains, from one pass over the DetailIndexFile; false when
    // the pass was stopped or a read failed.
    static bool linkChains(const IndexWalk &walk, const KeyKindSpec &kind, ChainLinks &links,
                           const std::function<bool()> &stopped);
    static void rememberKeys(const ChainLinks &links, const KeyKindSpec &kind, Kind &k);

    int spacing_ = kDefaultSpacing;
    std::vector<Kind> kinds_;  // by KeyKind number - 1
    SourceIdentity detail_;
};

}  // namespace regdisc
