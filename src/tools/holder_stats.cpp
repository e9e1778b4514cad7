#include "tools/holder_stats.h"

#include "datasets/catalogue.h"
#include "engine/record_text.h"
#include "platform/record_file.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace regdisc {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr size_t kMismatchExamples = 5;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
bool isUpper(char16_t c)
{
    return c >= u'A' && c <= u'Z';
}

// The characters before the trailing blanks.
size_t usedLength(TextView text)
{
    size_t n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return n;
}

// Sums that stop at the largest number kept instead of wrapping.
std::int64_t addCapped(std::int64_t a, std::int64_t b, bool &saturated)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (b > 0 && a > kMax - b) {
        saturated = true;
        return kMax;
    }
    if (b < 0 && a < kMin - b) {
        saturated = true;
        return kMin;
    }
    return a + b;
}

// A quantity field's value in the register's units: its digits, or the numeric rule
// rounded to a whole number where the field holds more than digits and blanks.
std::int64_t quantity(TextView field)
{
    std::int64_t value = 0;
    for (char16_t c : field) {
        if (isDigit(c))
            value = value * 10 + (c - u'0');
        else if (c != u' ')
            return wholeNumber(field);
    }
    return value;
}

// floor(part * multiplier / whole) and what is left over, exactly, for
// 0 <= part <= whole < 2^63 and a small multiplier: binary long division on the
// remainder, which never passes 2 * whole.
struct Scaled {
    std::int64_t quotient = 0;
    std::uint64_t remainder = 0;
};
Scaled scaled(std::int64_t part, std::int64_t whole, unsigned multiplier)
{
    Scaled s;
    const auto w = static_cast<std::uint64_t>(whole);
    const auto p = static_cast<std::uint64_t>(part);
    for (int bit = std::bit_width(multiplier) - 1; bit >= 0; --bit) {
        s.quotient *= 2;
        s.remainder *= 2;
        if (s.remainder >= w) {
            s.remainder -= w;
            ++s.quotient;
        }
        if (multiplier & (1u << bit)) {
            s.remainder += p;
            while (s.remainder >= w) {
                s.remainder -= w;
                ++s.quotient;
            }
        }
    }
    return s;
}

// An ID number of eight to ten letters and digits packed into one number (base 37, a
// blank filling up to ten), so that the holder table keeps eight bytes per key.
std::uint64_t packId(TextView id)
{
    std::uint64_t key = 0;
    for (size_t i = 0; i < 10; ++i) {
        const char16_t c = i < id.size() ? id[i] : u' ';
        const unsigned v = isDigit(c) ? 1u + (c - u'0') : isUpper(c) ? 11u + (c - u'A') : 0u;
        key = key * 37 + v;
    }
    return key;
}

Text unpackId(std::uint64_t key)
{
    Text id(10, u' ');
    for (size_t i = 10; i-- > 0;) {
        const auto v = static_cast<unsigned>(key % 37);
        key /= 37;
        id[i] = v == 0    ? u' '
                : v <= 10 ? static_cast<char16_t>(u'0' + v - 1)
                          : static_cast<char16_t>(u'A' + v - 11);
    }
    id.resize(usedLength(id));
    return id;
}

// One holder while the register is read: 32 bytes.
struct Holder {
    std::uint64_t key = 0;  // the packed ID; 0 for a holder of one record by its account
    std::int64_t shares = 0;
    std::int64_t stored = 0;  // 歸戶股數 of its first record
    std::uint32_t firstRecord = 0;
    char16_t type = 0;
    std::uint8_t flags = 0;
};
constexpr std::uint8_t kStoredDiffers = 1;  // its records store different totals
constexpr std::uint8_t kTypeDiffers = 2;
constexpr std::uint8_t kKindShift = 2;  // HolderKind in bits 2-3

HolderKind kindOf(const Holder &h)
{
    return static_cast<HolderKind>((h.flags >> kKindShift) & 3);
}

// Holders in the order of their first record, found by ID through an open-addressing
// table of indexes (half full at most after growing).
class HolderTable {
public:
    explicit HolderTable(std::int64_t expectedRecords)
    {
        const auto expected = static_cast<size_t>(std::clamp<std::int64_t>(expectedRecords, 16, 1 << 28));
        holders_.reserve(expected);
        slots_.assign(std::bit_ceil(expected * 2), 0);
    }

    // The holder with this ID, added (zeroed, key set) when it is new; `added` says so.
    Holder &byId(std::uint64_t key, bool &added)
    {
        size_t i = slotOf(key);
        while (slots_[i] != 0) {
            Holder &h = holders_[slots_[i] - 1];
            if (h.key == key) {
                added = false;
                return h;
            }
            i = (i + 1) & (slots_.size() - 1);
        }
        added = true;
        holders_.push_back(Holder{});
        holders_.back().key = key;
        slots_[i] = static_cast<std::uint32_t>(holders_.size());
        if (++keyed_ * 2 > slots_.size())
            grow();
        return holders_.back();
    }

    Holder &alone()
    {
        holders_.push_back(Holder{});
        return holders_.back();
    }

    const std::vector<Holder> &holders() const { return holders_; }

private:
    size_t slotOf(std::uint64_t key) const
    {
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - std::countr_zero(slots_.size())));
    }

    void grow()
    {
        slots_.assign(slots_.size() * 2, 0);
        for (size_t n = 0; n < holders_.size(); ++n) {
            if (holders_[n].key == 0)
                continue;
            size_t i = slotOf(holders_[n].key);
            while (slots_[i] != 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = static_cast<std::uint32_t>(n + 1);
        }
    }

    std::vector<Holder> holders_;
    std::vector<std::uint32_t> slots_;
    size_t keyed_ = 0;
};

const FieldSpec &fieldOf(const DataSetSpec &spec, std::string_view meaning)
{
    for (const FieldSpec &f : spec.fields)
        if (f.meaning == meaning)
            return f;
    throw std::logic_error("the holder register has no field " + std::string(meaning));
}

TextView fieldView(TextView record, const FieldSpec &f)
{
    const size_t pos = std::min(record.size(), static_cast<size_t>(f.pos - 1));
    return record.substr(pos, static_cast<size_t>(f.width));
}

// The legend the screen shows beside a field's box.
TextView legendOf(const DataSetSpec &spec, std::string_view box)
{
    for (const RowSpec &row : spec.rows)
        for (const CellSpec &cell : row)
            for (const BoxSpec &b : cell.boxes)
                if (b.name == box && !cell.legends.empty())
                    return cell.legends.front().text;
    return {};
}

int levelOf(std::int64_t shares, std::int64_t unit)
{
    for (int level = 0; level < kLevels - 1; ++level)
        if (shares <= kLevelUpperBounds[static_cast<size_t>(level)] * unit)
            return level;
    return kLevels - 1;
}

}  // namespace

HolderKind holderKind(TextView id)
{
    const size_t n = usedLength(id);
    const TextView used = id.substr(0, n);
    if (n == 10 && isUpper(used[0]) && std::all_of(used.begin() + 1, used.end(), isDigit))
        return HolderKind::NaturalPerson;
    if (n == 8 && std::all_of(used.begin(), used.end(), isDigit))
        return HolderKind::LegalEntity;
    return HolderKind::Other;
}

bool aggregatesById(TextView id)
{
    const size_t n = usedLength(id);
    if (n < 8 || n > 10)
        return false;
    return std::all_of(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(n),
                       [](char16_t c) { return isDigit(c) || isUpper(c); });
}

std::vector<int> percentagesAddingUp(const std::vector<std::int64_t> &parts)
{
    std::vector<int> percent(parts.size(), 0);
    bool saturated = false;
    std::int64_t whole = 0;
    for (std::int64_t p : parts)
        whole = addCapped(whole, std::max<std::int64_t>(p, 0), saturated);
    if (whole <= 0)
        return percent;
    std::vector<std::uint64_t> remainder(parts.size(), 0);
    int given = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] <= 0)
            continue;
        const Scaled s = scaled(std::min(parts[i], whole), whole, 10000);
        percent[i] = static_cast<int>(s.quotient);
        remainder[i] = s.remainder;
        given += percent[i];
    }
    std::vector<size_t> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (remainder[a] != remainder[b])
            return remainder[a] > remainder[b];
        return parts[a] > parts[b];
    });
    // Each part lost less than one hundredth, so fewer are missing than there are parts.
    for (size_t k = 0; given < 10000 && k < order.size(); ++k, ++given)
        ++percent[order[k]];
    return percent;
}

int percentOf(std::int64_t part, std::int64_t whole)
{
    if (whole <= 0 || part <= 0)
        return 0;
    const Scaled s = scaled(std::min(part, whole), whole, 10000);
    return static_cast<int>(s.quotient) +
           (s.remainder >= static_cast<std::uint64_t>(whole) - s.remainder ? 1 : 0);
}

bool reachesPercent(std::int64_t part, std::int64_t whole, int hundredths)
{
    if (whole <= 0 || part <= 0)
        return hundredths <= 0;
    return scaled(std::min(part, whole), whole, 10000).quotient >= hundredths;
}

std::vector<HolderType> holderTypesOfLegend(TextView legend)
{
    std::vector<HolderType> types;
    const auto trimmed = [](TextView t) {
        const auto blank = [](char16_t c) { return c == u' ' || c == u'\u3000'; };
        while (!t.empty() && blank(t.front()))
            t.remove_prefix(1);
        while (!t.empty() && blank(t.back()))
            t.remove_suffix(1);
        return Text(t);
    };
    size_t from = 0;
    while (from <= legend.size()) {
        size_t to = legend.find(u'、', from);
        if (to == TextView::npos)
            to = legend.size();
        const TextView item = legend.substr(from, to - from);
        const size_t colon = item.find(u'：');
        if (colon != TextView::npos)
            types.push_back({trimmed(item.substr(0, colon)), trimmed(item.substr(colon + 1))});
        from = to + 1;
    }
    types.push_back({Text(), u"其他戶別"});
    return types;
}

HolderStats computeHolderStats(const Disc &disc, const StatsOptions &options, Progress &progress)
{
    const DataSetSpec &spec = psmDataSet();
    HolderStats stats;
    stats.decimals = disc.info().decimalFlag == u"Y" ? 2 : 0;
    const FieldSpec &accountField = fieldOf(spec, "account");
    const FieldSpec &nameField = fieldOf(spec, "name");
    const FieldSpec &idField = fieldOf(spec, "id");
    const FieldSpec &sharesField = fieldOf(spec, "shares");
    const FieldSpec &totalField = fieldOf(spec, "totalShares");
    const FieldSpec &typeField = fieldOf(spec, "holderType");
    stats.types = holderTypesOfLegend(legendOf(spec, typeField.box));
    stats.structure.assign(stats.types.size(), {});

    stats.state = disc.presence(spec);
    const std::filesystem::path path = disc.dataFilePath(spec);
    std::error_code error;
    if (stats.state == RegisterState::Present && !std::filesystem::is_regular_file(path, error))
        stats.state = RegisterState::Unreadable;
    if (stats.state != RegisterState::Present)
        return stats;

    const std::uint64_t size = std::filesystem::file_size(path, error);
    const std::int64_t expected =
        error ? 0 : static_cast<std::int64_t>(size / static_cast<std::uint64_t>(spec.data.length));
    if (expected > std::numeric_limits<std::uint32_t>::max()) {
        stats.state = RegisterState::Unreadable;
        return stats;
    }
    HolderTable table(expected);
    progress.begin(registerName(spec), expected);
    const ScanResult scan =
        scanRecords(path, spec.data.length, progress, [&](std::int64_t recordNo, std::string_view bytes) {
            const Text record = recordText(bytes, spec.dataN);
            if (std::find(record.begin(), record.end(), u'\uFFFD') != record.end())
                ++stats.undecodableRecords;
            const TextView id = fieldView(record, idField);
            const std::int64_t shares = quantity(fieldView(record, sharesField));
            const std::int64_t stored = quantity(fieldView(record, totalField));
            const TextView type = fieldView(record, typeField);
            const char16_t typeCode = type.empty() ? u' ' : type.front();
            bool added = true;
            Holder *holder = nullptr;
            if (aggregatesById(id)) {
                ++stats.recordsById;
                holder = &table.byId(packId(id), added);
            } else {
                ++stats.recordsByAccount;
                holder = &table.alone();
            }
            if (added) {
                holder->firstRecord = static_cast<std::uint32_t>(recordNo);
                holder->stored = stored;
                holder->type = typeCode;
                holder->flags =
                    static_cast<std::uint8_t>(static_cast<unsigned>(holderKind(id)) << kKindShift);
            } else {
                if (holder->stored != stored)
                    holder->flags |= kStoredDiffers;
                if (holder->type != typeCode)
                    holder->flags |= kTypeDiffers;
            }
            holder->shares = addCapped(holder->shares, shares, stats.saturated);
        });
    if (!scan.opened) {
        stats.state = RegisterState::Unreadable;
        return stats;
    }
    stats.records = scan.records;
    stats.trailingBytes = scan.trailingBytes;

    // The tables count holders with shares; the rest are counted apart.
    const std::int64_t unit = stats.decimals == 2 ? 100 : 1;
    const std::vector<Holder> &holders = table.holders();
    std::vector<std::int64_t> cellShares(stats.types.size() * kHolderKinds, 0);
    std::vector<const Holder *> mismatched;
    for (const Holder &h : holders) {
        if ((h.flags & kStoredDiffers) || h.stored != h.shares) {
            ++stats.totalMismatches;
            if (mismatched.size() < kMismatchExamples)
                mismatched.push_back(&h);
        }
        if (h.flags & kTypeDiffers)
            ++stats.typeConflicts;
        if (h.shares == 0) {
            ++stats.zeroHolders;
            continue;
        }
        if (h.shares < 0) {
            ++stats.negativeHolders;
            continue;
        }
        ++stats.holders;
        stats.totalShares = addCapped(stats.totalShares, h.shares, stats.saturated);
        LevelRow &level = stats.levels[static_cast<size_t>(levelOf(h.shares, unit))];
        ++level.holders;
        level.shares = addCapped(level.shares, h.shares, stats.saturated);
        size_t type = stats.types.size() - 1;
        for (size_t t = 0; t + 1 < stats.types.size(); ++t)
            if (stats.types[t].code.size() == 1 && stats.types[t].code[0] == h.type)
                type = t;
        StructureCell &cell = stats.structure[type][static_cast<size_t>(kindOf(h))];
        ++cell.holders;
        cell.shares = addCapped(cell.shares, h.shares, stats.saturated);
    }
    std::vector<std::int64_t> levelShares;
    for (const LevelRow &level : stats.levels)
        levelShares.push_back(level.shares);
    const std::vector<int> levelPercent = percentagesAddingUp(levelShares);
    for (size_t i = 0; i < stats.levels.size(); ++i)
        stats.levels[i].percent = levelPercent[i];
    for (size_t t = 0; t < stats.structure.size(); ++t)
        for (size_t k = 0; k < kHolderKinds; ++k)
            cellShares[t * kHolderKinds + k] = stats.structure[t][k].shares;
    const std::vector<int> cellPercent = percentagesAddingUp(cellShares);
    for (size_t t = 0; t < stats.structure.size(); ++t)
        for (size_t k = 0; k < kHolderKinds; ++k)
            stats.structure[t][k].percent = cellPercent[t * kHolderKinds + k];

    // The principal holders: the `top` largest (all holders tied with the last of them
    // too) and every holder at or above the percentage.
    std::int64_t cut = kMax;
    if (options.top > 0 && stats.holders > 0) {
        std::vector<std::int64_t> shares;
        shares.reserve(static_cast<size_t>(stats.holders));
        for (const Holder &h : holders)
            if (h.shares > 0)
                shares.push_back(h.shares);
        const size_t n = std::min(shares.size(), static_cast<size_t>(options.top)) - 1;
        std::nth_element(shares.begin(), shares.begin() + static_cast<std::ptrdiff_t>(n), shares.end(),
                         std::greater<>());
        cut = shares[n];
    }
    std::vector<const Holder *> principal;
    for (const Holder &h : holders)
        if (h.shares > 0 &&
            (h.shares >= cut || reachesPercent(h.shares, stats.totalShares, options.percentHundredths)))
            principal.push_back(&h);
    std::sort(principal.begin(), principal.end(), [](const Holder *a, const Holder *b) {
        if (a->shares != b->shares)
            return a->shares > b->shares;
        return a->firstRecord < b->firstRecord;
    });

    // Names and accounts from each holder's first record, read by its number.
    RecordFile file;
    const bool readable = file.open(path, spec.data.length);
    const auto firstRecord = [&](const Holder &h) {
        try {
            return readable ? readRecordText(file, h.firstRecord, spec.dataN) : Text();
        } catch (const RecordReadError &) {
            return Text();
        }
    };
    const auto trimmed = [](TextView t) {
        while (!t.empty() && (t.back() == u' ' || t.back() == u'\u3000'))
            t.remove_suffix(1);
        return Text(t);
    };
    for (size_t i = 0; i < principal.size(); ++i) {
        const Holder &h = *principal[i];
        const Text record = firstRecord(h);
        PrincipalHolder p;
        p.rank = i > 0 && principal[i - 1]->shares == h.shares ? stats.principal.back().rank
                                                               : static_cast<int>(i) + 1;
        p.name = trimmed(fieldView(record, nameField));
        p.id = h.key != 0 ? unpackId(h.key) : trimmed(fieldView(record, idField));
        p.account = trimmed(fieldView(record, accountField));
        p.byAccount = h.key == 0;
        p.shares = h.shares;
        p.percent = percentOf(h.shares, stats.totalShares);
        stats.principal.push_back(std::move(p));
    }
    for (const Holder *h : mismatched) {
        const Text record = firstRecord(*h);
        stats.firstMismatches.push_back({h->key != 0 ? unpackId(h->key) : trimmed(fieldView(record, idField)),
                                         trimmed(fieldView(record, accountField)), h->key == 0, h->shares,
                                         h->stored});
    }
    return stats;
}

}  // namespace regdisc
