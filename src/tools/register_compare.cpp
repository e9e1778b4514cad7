#include "tools/register_compare.h"

#include "datasets/catalogue.h"
#include "engine/record_text.h"
#include "platform/record_file.h"
#include "tools/holder_count.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <queue>

namespace regdisc {

namespace {

// The stages of one disc's work named after the disc.
class DiscProgress : public Progress {
public:
    DiscProgress(Progress &inner, Text prefix) : inner_(inner), prefix_(std::move(prefix)) {}
    void begin(TextView stage, std::int64_t total) override { inner_.begin(prefix_ + Text(stage), total); }
    void step(std::int64_t done) override { inner_.step(done); }
    bool cancelled() const override { return inner_.cancelled(); }

private:
    Progress &inner_;
    Text prefix_;
};

// A holder of either disc, or of both.
struct Pair {
    Holder *older = nullptr;
    Holder *newer = nullptr;
};

// Every identity of the two registers once: holders joined by ID, then the holders of one
// record joined by account (the k-th holder of an account on one disc with the k-th on
// the other).
void join(RegisterCount &older, RegisterCount &newer, const std::function<void(const Pair &)> &visit)
{
    older.table.forEachById([&](Holder &o) {
        Holder *n = newer.table.find(o.key);
        if (n)
            n->flags |= Holder::kMatched;
        visit({&o, n});
    });
    newer.table.forEachById([&](Holder &n) {
        if (!(n.flags & Holder::kMatched))
            visit({nullptr, &n});
    });
    const auto byAccount = [](HolderTable &table) {
        std::vector<size_t> order(table.aloneCount());
        std::iota(order.begin(), order.end(), size_t{0});
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (table.aloneAccount(a) != table.aloneAccount(b))
                return table.aloneAccount(a) < table.aloneAccount(b);
            return table.aloneHolder(a).firstRecord() < table.aloneHolder(b).firstRecord();
        });
        return order;
    };
    const std::vector<size_t> o = byAccount(older.table), n = byAccount(newer.table);
    size_t i = 0, j = 0;
    while (i < o.size() || j < n.size()) {
        if (j == n.size() ||
            (i < o.size() && older.table.aloneAccount(o[i]) < newer.table.aloneAccount(n[j]))) {
            visit({&older.table.aloneHolder(o[i++]), nullptr});
        } else if (i == o.size() || newer.table.aloneAccount(n[j]) < older.table.aloneAccount(o[i])) {
            visit({nullptr, &newer.table.aloneHolder(n[j++])});
        } else {
            visit({&older.table.aloneHolder(o[i++]), &newer.table.aloneHolder(n[j++])});
        }
    }
}

}  // namespace

Text movementCaption(Movement movement)
{
    switch (movement) {
    case Movement::New:
        return u"新進股東";
    case Movement::Exited:
        return u"出清股東";
    case Movement::Increased:
        return u"增持";
    case Movement::Decreased:
        return u"減持";
    case Movement::Unchanged:
        return u"持股不變";
    }
    return {};
}

const char *movementName(Movement movement)
{
    static const char *names[] = {"new", "exited", "increased", "decreased", "unchanged"};
    return names[static_cast<int>(movement)];
}

Text securityIdentity(const Disc &disc)
{
    const DataSetSpec &spec = psmDataSet();
    RecordFile file;
    if (file.open(disc.dataFilePath(spec), spec.data.length) && file.recordCount() > 0) {
        try {
            const Text record = readRecordText(file, 1, spec.dataN);
            const FieldSpec &code = holderField(FieldMeaning::SecurityCode);
            const Text value = Text(trimBoth(fieldView(record, code.pos, code.width)));
            if (!value.empty())
                return value;
        } catch (const RecordReadError &) {
        }
    }
    return disc.info().baseName;
}

RegisterComparison compareRegisters(const Disc &older, const Disc &newer, const CompareOptions &options,
                                    Progress &progress)
{
    RegisterComparison result;
    result.options = options;
    result.olderInfo = older.info();
    result.newerInfo = newer.info();
    result.olderFolder = older.folderText();
    result.newerFolder = newer.folderText();
    const Text olderSecurity = securityIdentity(older), newerSecurity = securityIdentity(newer);
    if (olderSecurity != newerSecurity) {
        result.refusal = u"兩片光碟不是同一證券：舊光碟是 " + olderSecurity + u"  " +
                         older.info().securityName + u"，新光碟是 " + newerSecurity + u"  " +
                         newer.info().securityName + u"，無法比較。";
        return result;
    }

    DiscProgress olderProgress(progress, u"舊光碟 "), newerProgress(progress, u"新光碟 ");
    RegisterCount o = countRegister(older, olderProgress);
    RegisterCount n;
    if (o.stats.state == RegisterState::Present)
        n = countRegister(newer, newerProgress);
    // Principal holders are not listed in a comparison.
    const StatsOptions tables{.top = 0, .percentHundredths = 10000};
    for (auto [count, name, disc] : {std::tuple{&o, u"舊光碟", &older}, std::tuple{&n, u"新光碟", &newer}}) {
        if (count->stats.state == RegisterState::Present)
            continue;
        result.refusal = Text(name) + u" " + disc->folderText() + u" 的 psm " + registerName(psmDataSet()) +
                         u"：" + stateText(count->stats.state) +
                         (count->stats.message.empty() ? Text() : u"：" + count->stats.message);
        return result;
    }
    tabulate(o, tables);
    tabulate(n, tables);

    // Both in one unit: hundredths when either disc counts them.
    result.decimals = std::max(o.stats.decimals, n.stats.decimals);
    result.olderScale = result.decimals == 2 && o.stats.decimals == 0 ? 100 : 1;
    result.newerScale = result.decimals == 2 && n.stats.decimals == 0 ? 100 : 1;
    bool &saturated = result.saturated;
    result.olderTotal = timesCapped(o.stats.totalShares, result.olderScale, saturated);
    result.newerTotal = timesCapped(n.stats.totalShares, result.newerScale, saturated);
    result.olderHolders = o.stats.holders;
    result.newerHolders = n.stats.holders;
    const std::int64_t olderScale = result.olderScale, newerScale = result.newerScale;
    const auto holdings = [&](const Pair &p) {
        return std::pair<std::int64_t, std::int64_t>{
            p.older ? timesCapped(p.older->shares, olderScale, saturated) : 0,
            p.newer ? timesCapped(p.newer->shares, newerScale, saturated) : 0};
    };
    const int percent = options.percentHundredths;
    const auto crosses = [&](std::int64_t before, std::int64_t after) {
        return reachesPercent(before, result.olderTotal, percent) !=
               reachesPercent(after, result.newerTotal, percent);
    };

    // First the movement and the changes the lists end at: the `top`-th largest increase
    // and decrease (every holder tied with them is listed too).
    const size_t top = static_cast<size_t>(std::max(options.top, 0));
    std::priority_queue<std::int64_t, std::vector<std::int64_t>, std::greater<>> largestGains;
    std::priority_queue<std::int64_t> largestLosses;  // as negative changes: the most negative kept
    std::int64_t joined = 0;
    progress.begin(u"比對股東", o.stats.holders + n.stats.holders);
    join(o, n, [&](const Pair &p) {
        if ((++joined & 0xFFFF) == 0)
            stepOrStop(progress, joined);
        const auto [before, after] = holdings(p);
        if (before < 0 || after < 0) {
            ++result.leftOut;
            return;
        }
        if (before == 0 && after == 0)
            return;
        const auto count = [&](Movement m, std::int64_t shares) {
            MovementRow &row = result.movement[static_cast<size_t>(m)];
            ++row.holders;
            row.shares = addCapped(row.shares, shares, saturated);
        };
        if (before == 0)
            count(Movement::New, after);
        else if (after == 0)
            count(Movement::Exited, before);
        else if (after > before)
            count(Movement::Increased, after - before);
        else if (after < before)
            count(Movement::Decreased, before - after);
        else
            count(Movement::Unchanged, after);
        const std::int64_t change = after - before;
        if (top > 0 && change > 0) {
            largestGains.push(change);
            if (largestGains.size() > top)
                largestGains.pop();
        } else if (top > 0 && change < 0) {
            largestLosses.push(change);
            if (largestLosses.size() > top)
                largestLosses.pop();
        }
    });
    const std::int64_t gainCut = largestGains.empty() ? 0 : largestGains.top();
    const std::int64_t lossCut = largestLosses.empty() ? 0 : largestLosses.top();

    // Then the holders on the lists.
    std::vector<Pair> buyers, sellers, crossings;
    join(o, n, [&](const Pair &p) {
        const auto [before, after] = holdings(p);
        if (before < 0 || after < 0 || (before == 0 && after == 0))
            return;
        const std::int64_t change = after - before;
        if (gainCut > 0 && change >= gainCut)
            buyers.push_back(p);
        if (lossCut < 0 && change <= lossCut)
            sellers.push_back(p);
        if (crosses(before, after))
            crossings.push_back(p);
    });
    // Equal changes in register order: the newer register's for buyers (all on it), the
    // older's for sellers (all on it).
    std::sort(buyers.begin(), buyers.end(), [&](const Pair &a, const Pair &b) {
        const std::int64_t ca = holdings(a).second - holdings(a).first,
                           cb = holdings(b).second - holdings(b).first;
        if (ca != cb)
            return ca > cb;
        return a.newer->firstRecord() < b.newer->firstRecord();
    });
    std::sort(sellers.begin(), sellers.end(), [&](const Pair &a, const Pair &b) {
        const std::int64_t ca = holdings(a).second - holdings(a).first,
                           cb = holdings(b).second - holdings(b).first;
        if (ca != cb)
            return ca < cb;
        return a.older->firstRecord() < b.older->firstRecord();
    });
    // Crossings upward first, then downward, each by the size of the change.
    // A crossing is upward when the newer holding reaches the percentage (the older does not).
    const auto upward = [&](const Pair &p) {
        return reachesPercent(holdings(p).second, result.newerTotal, percent);
    };
    std::sort(crossings.begin(), crossings.end(), [&](const Pair &a, const Pair &b) {
        if (upward(a) != upward(b))
            return upward(a) > upward(b);
        const std::int64_t ca = std::abs(holdings(a).second - holdings(a).first);
        const std::int64_t cb = std::abs(holdings(b).second - holdings(b).first);
        if (ca != cb)
            return ca > cb;
        // Holders on the newer disc in its order, then those only on the older in its.
        if ((a.newer != nullptr) != (b.newer != nullptr))
            return a.newer != nullptr;
        const Holder *ha = a.newer ? a.newer : a.older, *hb = b.newer ? b.newer : b.older;
        return ha->firstRecord() < hb->firstRecord();
    });

    FirstRecords olderRecords(o.dataFile), newerRecords(n.dataFile);
    const auto change = [&](const Pair &p) {
        const FirstRecords::Names names =
            p.newer ? newerRecords.names(*p.newer) : olderRecords.names(*p.older);
        HolderChange c;
        c.name = names.name;
        c.id = names.id;
        c.account = names.account;
        c.byAccount = (p.newer ? p.newer : p.older)->key == 0;
        c.onOlder = p.older != nullptr;
        c.onNewer = p.newer != nullptr;
        std::tie(c.oldShares, c.newShares) = holdings(p);
        c.oldPercent = percentOf(c.oldShares, result.olderTotal);
        c.newPercent = percentOf(c.newShares, result.newerTotal);
        return c;
    };
    const auto listed = [&](const std::vector<Pair> &pairs, std::vector<HolderChange> &out, bool ranked) {
        for (size_t i = 0; i < pairs.size(); ++i) {
            HolderChange c = change(pairs[i]);
            c.rank = static_cast<int>(i) + 1;
            if (ranked && i > 0 && out.back().change() == c.change())
                c.rank = out.back().rank;
            out.push_back(std::move(c));
        }
    };
    listed(buyers, result.buyers, true);
    listed(sellers, result.sellers, true);
    listed(crossings, result.crossings, false);
    result.saturated = result.saturated || o.stats.saturated || n.stats.saturated;
    result.older = std::move(o.stats);
    result.newer = std::move(n.stats);
    return result;
}

}  // namespace regdisc
