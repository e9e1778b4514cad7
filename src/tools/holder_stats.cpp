#include "tools/holder_stats.h"

#include "datasets/catalogue.h"
#include "engine/display_rules.h"
#include "engine/field_values.h"
#include "engine/index_layout.h"
#include "engine/record_layout.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "platform/record_file.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <numeric>
#include <stdexcept>

#ifdef __linux__
#include <sys/mman.h>
#endif

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

// Zeroed memory for many holders, from calloc so that the operating system hands out
// zero pages as they are first touched, without a pass that clears them; on Linux in
// large pages where it can, so that scattered look-ups miss the address cache less.
class HolderSlots {
public:
    HolderSlots() = default;
    explicit HolderSlots(size_t count)
        : slots_(static_cast<Holder *>(std::calloc(count, sizeof(Holder)))), count_(count)
    {
        if (!slots_)
            throw std::bad_alloc();
#ifdef __linux__
        constexpr std::uintptr_t kPage = 4096;
        const auto begin = (reinterpret_cast<std::uintptr_t>(slots_.get()) + kPage - 1) & ~(kPage - 1);
        const auto end = reinterpret_cast<std::uintptr_t>(slots_.get() + count) & ~(kPage - 1);
        if (end > begin)
            madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
    }
    size_t size() const
    {
        return count_;
    }
    Holder &operator[](size_t i)
    {
        return slots_.get()[i];
    }
    const Holder &operator[](size_t i) const
    {
        return slots_.get()[i];
    }
    const Holder *begin() const
    {
        return slots_.get();
    }
    const Holder *end() const
    {
        return slots_.get() + count_;
    }

private:
    struct Free {
        void operator()(Holder *p) const { std::free(p); }
    };
    std::unique_ptr<Holder, Free> slots_;
    size_t count_ = 0;
};

// The holders, found by ID in an open-addressing table of the holders themselves (one
// cache line per look-up, three quarters full at most), and the holders of one record by
// their account beside it.
class HolderTable {
public:
    explicit HolderTable(std::int64_t expectedRecords)
    {
        const auto expected = static_cast<size_t>(std::clamp<std::int64_t>(expectedRecords, 12, 1 << 28));
        slots_ = HolderSlots(std::bit_ceil(expected + expected / 3));
    }

    // The holder with this ID (never 0), added (zeroed, key set) when it is new.
    Holder &byId(std::uint64_t key, bool &added)
    {
        size_t i = slotOf(key, slots_.size());
        while (slots_[i].key != 0) {
            if (slots_[i].key == key) {
                added = false;
                return slots_[i];
            }
            i = (i + 1) & (slots_.size() - 1);
        }
        added = true;
        if (4 * (keyed_ + 1) > 3 * slots_.size()) {
            grow();
            return byId(key, added);
        }
        ++keyed_;
        slots_[i].key = key;
        return slots_[i];
    }

    // Asks for the slot where the search for this ID begins to be brought into the cache.
    void prefetch(std::uint64_t key) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[slotOf(key, slots_.size())]);
#else
        (void)key;
#endif
    }

    Holder &alone()
    {
        alone_.push_back(Holder{});
        return alone_.back();
    }

    template <typename Visit> void forEach(Visit visit) const
    {
        for (const Holder &h : slots_)
            if (h.key != 0)
                visit(h);
        for (const Holder &h : alone_)
            visit(h);
    }

private:
    static size_t slotOf(std::uint64_t key, size_t size)
    {
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - std::countr_zero(size)));
    }

    void grow()
    {
        HolderSlots old(slots_.size() * 2);
        std::swap(old, slots_);
        for (const Holder &h : old) {
            if (h.key == 0)
                continue;
            size_t i = slotOf(h.key, slots_.size());
            while (slots_[i].key != 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = h;
        }
    }

    HolderSlots slots_;
    std::vector<Holder> alone_;
    size_t keyed_ = 0;
};

// What the count takes from one record.
struct CountedRecord {
    std::uint64_t key = 0;  // the packed ID; 0: a holder of its own
    std::int64_t shares = 0;
    std::int64_t stored = 0;
    std::uint32_t recordNo = 0;
    char16_t type = 0;
    HolderKind kind = HolderKind::Other;
};
constexpr size_t kBatch = 64;

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

// Levels count whole shares: a fraction of a share never lifts a holder into the next
// level (999.50 shares are in 1 至 999), and a holder of a fraction only is in the first.
int levelOf(std::int64_t shares, std::int64_t unit)
{
    for (int level = 0; level < kLevels - 1; ++level)
        if (shares < (kLevelUpperBounds[static_cast<size_t>(level)] + 1) * unit)
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
    // Parts whose sum passes the largest number kept are compared at a coarser scale.
    int shift = 0;
    std::int64_t whole = 0;
    for (bool saturated = true; saturated; shift += 8) {
        saturated = false;
        whole = 0;
        for (std::int64_t p : parts)
            whole = addCapped(whole, std::max<std::int64_t>(p, 0) >> shift, saturated);
    }
    shift -= 8;
    if (whole <= 0)
        return percent;
    std::vector<std::uint64_t> remainder(parts.size(), 0);
    int given = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::int64_t part = std::max<std::int64_t>(parts[i], 0) >> shift;
        if (part <= 0)
            continue;
        const Scaled s = scaled(part, whole, 10000);
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
    if (stats.state == RegisterState::Present && !std::filesystem::is_regular_file(path, error)) {
        stats.state = RegisterState::Unreadable;
        stats.message = u"無法開啟資料檔 " + fromUtf8(path.string());
    }
    if (stats.state != RegisterState::Present)
        return stats;

    const std::uint64_t size = std::filesystem::file_size(path, error);
    const std::int64_t expected =
        error ? 0 : static_cast<std::int64_t>(size / static_cast<std::uint64_t>(spec.data.length));
    // A register with more records than its index can name is damaged; it is refused before
    // it is read.
    const std::int64_t addressable = addressableRecords(spec.lookupProfile());
    if (expected > addressable) {
        stats.state = RegisterState::Unreadable;
        stats.message = u"資料檔有 " + formatCount(expected) + u" 筆，超過索引所能指向的 " +
                        formatCount(addressable) + u" 筆";
        return stats;
    }
    const RecordShape shape(spec.fields, spec.dataN);
    const auto example = [](std::vector<std::int64_t> &first, std::int64_t recordNo) {
        if (first.size() < kMismatchExamples)
            first.push_back(recordNo);
    };
    // Only the characters up to the last field counted are decoded: the bytes that hold
    // them in a record laid out as designed, or the whole record, as the screens decode
    // it, when those bytes do not give them cleanly.
    int charsRead = 0;
    for (const FieldSpec *f : {&accountField, &idField, &sharesField, &totalField, &typeField})
        charsRead = std::max(charsRead, f->pos + f->width - 1);
    size_t bytesRead = static_cast<size_t>(charsRead);
    for (const FieldSpec &f : spec.fields)
        if (f.doubleByte && f.pos <= charsRead)
            bytesRead += static_cast<size_t>(f.width);
    const auto undecodable = [](TextView text) {
        return std::find(text.begin(), text.end(), u'\uFFFD') != text.end();
    };

    // Records are counted in batches: the table's slots of a batch are fetched from memory
    // together, not one record's at a time.
    HolderTable table(expected);
    std::vector<CountedRecord> batch;
    batch.reserve(kBatch);
    const auto count = [&] {
        for (const CountedRecord &r : batch) {
            bool added = true;
            Holder &holder = r.key != 0 ? table.byId(r.key, added) : table.alone();
            if (added) {
                holder.firstRecord = r.recordNo;
                holder.stored = r.stored;
                holder.type = r.type;
                holder.flags = static_cast<std::uint8_t>(static_cast<unsigned>(r.kind) << kKindShift);
            } else {
                if (holder.stored != r.stored)
                    holder.flags |= kStoredDiffers;
                if (holder.type != r.type)
                    holder.flags |= kTypeDiffers;
            }
            holder.shares = addCapped(holder.shares, r.shares, stats.saturated);
        }
        batch.clear();
    };
    progress.begin(registerName(spec), expected);
    const ScanResult scan = scanRecords(
        path, spec.data.length, addressable, progress, [&](std::int64_t recordNo, std::string_view bytes) {
            // A record whose fields would be read from shifted positions counts nowhere.
            if (!shape.follows(bytes)) {
                ++stats.damagedRecords;
                example(stats.firstDamaged, recordNo);
                return;
            }
            Text record = decodeCp950(bytes.substr(0, std::min(bytes.size(), bytesRead)));
            if (record.size() < static_cast<size_t>(charsRead) || undecodable(record)) {
                record = recordText(bytes, spec.dataN);
                if (undecodable(TextView(record).substr(0, static_cast<size_t>(charsRead))))
                    ++stats.undecodableRecords;
            }
            const Quantity shares = quantityOfText(fieldView(record, sharesField), Rule::WholeNumber, {});
            const Quantity stored = quantityOfText(fieldView(record, totalField), Rule::WholeNumber, {});
            if (!shares.wellFormed || !stored.wellFormed) {
                ++stats.malformedRecords;
                example(stats.firstMalformed, recordNo);
                return;
            }
            CountedRecord r;
            const TextView id = fieldView(record, idField);
            if (aggregatesById(id)) {
                ++stats.recordsById;
                r.key = packId(id);
                table.prefetch(r.key);
            } else {
                ++stats.recordsByAccount;
            }
            r.shares = shares.units;
            r.stored = stored.units;
            const TextView type = fieldView(record, typeField);
            r.type = type.empty() ? u' ' : type.front();
            r.kind = holderKind(id);
            r.recordNo = static_cast<std::uint32_t>(recordNo);
            batch.push_back(r);
            if (batch.size() == kBatch)
                count();
        });
    count();
    if (!scan.opened) {
        stats.state = RegisterState::Unreadable;
        stats.message = u"無法讀取資料檔 " + fromUtf8(path.string());
        return stats;
    }
    stats.records = scan.records;
    stats.trailingBytes = scan.trailingBytes;

    // The tables count holders with shares; the rest are counted apart.
    const std::int64_t unit = stats.decimals == 2 ? 100 : 1;
    std::vector<std::int64_t> cellShares(stats.types.size() * kHolderKinds, 0);
    const auto inRegisterOrder = [](const Holder *a, const Holder *b) {
        return a->firstRecord < b->firstRecord;
    };
    std::vector<const Holder *> mismatched;  // the first few in register order
    table.forEach([&](const Holder &h) {
        if ((h.flags & kStoredDiffers) || h.stored != h.shares) {
            ++stats.totalMismatches;
            mismatched.insert(std::upper_bound(mismatched.begin(), mismatched.end(), &h, inRegisterOrder),
                              &h);
            if (mismatched.size() > kMismatchExamples)
                mismatched.pop_back();
        }
        if (h.flags & kTypeDiffers)
            ++stats.typeConflicts;
        if (h.shares == 0) {
            ++stats.zeroHolders;
            return;
        }
        if (h.shares < 0) {
            ++stats.negativeHolders;
            return;
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
    });
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
        table.forEach([&](const Holder &h) {
            if (h.shares > 0)
                shares.push_back(h.shares);
        });
        const size_t n = std::min(shares.size(), static_cast<size_t>(options.top)) - 1;
        std::nth_element(shares.begin(), shares.begin() + static_cast<std::ptrdiff_t>(n), shares.end(),
                         std::greater<>());
        cut = shares[n];
    }
    std::vector<const Holder *> principal;
    // The fewest shares that reach the percentage.
    std::int64_t low = 1, high = std::max<std::int64_t>(stats.totalShares, 1);
    while (low < high) {
        const std::int64_t mid = low + (high - low) / 2;
        if (reachesPercent(mid, stats.totalShares, options.percentHundredths))
            high = mid;
        else
            low = mid + 1;
    }
    cut = std::min(cut, low);
    table.forEach([&](const Holder &h) {
        if (h.shares > 0 && h.shares >= cut)
            principal.push_back(&h);
    });
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
