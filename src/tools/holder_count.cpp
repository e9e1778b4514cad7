#include "tools/holder_count.h"

#include "datasets/catalogue.h"
#include "datasets/postal_districts.h"
#include "engine/field_values.h"
#include "engine/index_layout.h"
#include "engine/record_layout.h"
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "platform/record_file.h"
#include "tools/record_scan.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <new>
#include <stdexcept>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace regdisc {

namespace {

constexpr size_t kExamples = 5;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
bool isUpper(char16_t c)
{
    return c >= u'A' && c <= u'Z';
}

TextView fieldView(TextView record, const FieldSpec &f)
{
    const size_t pos = std::min(record.size(), static_cast<size_t>(f.pos - 1));
    return record.substr(pos, static_cast<size_t>(f.width));
}

// What the count takes from one record.
struct CountedRecord {
    std::uint64_t key = 0;  // the packed ID; 0: a holder of its own
    AccountKey account{};
    std::int64_t shares = 0;
    std::int64_t stored = 0;
    std::uint32_t first = 0;  // record number and nationality
    char16_t type = 0;
    std::uint8_t flags = 0;  // the kind
    std::uint8_t place = 0;
};
constexpr size_t kBatch = 64;

}  // namespace

std::int64_t addCapped(std::int64_t a, std::int64_t b, bool &saturated)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
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

std::int64_t timesCapped(std::int64_t a, std::int64_t scale, bool &saturated)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (scale > 1 && a > kMax / scale) {
        saturated = true;
        return kMax;
    }
    if (scale > 1 && a < kMin / scale) {
        saturated = true;
        return kMin;
    }
    return a * scale;
}

const FieldSpec &holderField(FieldMeaning meaning)
{
    return fieldOf(psmDataSet().fields, meaning);
}

HolderSlots::HolderSlots(size_t count)
    : slots_(static_cast<Holder *>(std::calloc(count, sizeof(Holder)))), count_(count)
{
    if (!slots_)
        throw std::bad_alloc();
#ifdef __linux__
    // In large pages where it can, so that scattered look-ups miss the address cache less.
    constexpr std::uintptr_t kPage = 4096;
    const auto begin = (reinterpret_cast<std::uintptr_t>(slots_.get()) + kPage - 1) & ~(kPage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(slots_.get() + count) & ~(kPage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

AccountKey accountKey(TextView account)
{
    AccountKey key{};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = i < account.size() ? account[i] : u' ';
    return key;
}

HolderTable::HolderTable(std::int64_t expectedRecords)
{
    const auto expected = static_cast<size_t>(std::clamp<std::int64_t>(expectedRecords, 12, 1 << 28));
    slots_ = HolderSlots(std::bit_ceil(expected + expected / 3));
}

size_t HolderTable::slotOf(std::uint64_t key, size_t size)
{
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - std::countr_zero(size)));
}

Holder &HolderTable::byId(std::uint64_t key, bool &added)
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

Holder *HolderTable::find(std::uint64_t key)
{
    if (key == 0)
        return nullptr;
    for (size_t i = slotOf(key, slots_.size()); slots_[i].key != 0; i = (i + 1) & (slots_.size() - 1))
        if (slots_[i].key == key)
            return &slots_[i];
    return nullptr;
}

void HolderTable::prefetch(std::uint64_t key) const
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&slots_[slotOf(key, slots_.size())]);
#else
    (void)key;
#endif
}

Holder &HolderTable::alone(const AccountKey &account)
{
    alone_.push_back(Holder{});
    aloneAccounts_.push_back(account);
    return alone_.back();
}

std::size_t HolderTable::bytes() const
{
    return slots_.size() * sizeof(Holder) + alone_.capacity() * sizeof(Holder) +
           aloneAccounts_.capacity() * sizeof(AccountKey);
}

void HolderTable::grow()
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
    return Text(trimEnd(id));
}

RegisterCount countRegister(const Disc &disc, Progress &progress)
{
    const DataSetSpec &spec = psmDataSet();
    RegisterCount count;
    HolderStats &stats = count.stats;
    stats.decimals = disc.info().decimalFlag == u"Y" ? 2 : 0;
    const FieldSpec &accountField = holderField(FieldMeaning::Account);
    const FieldSpec &idField = holderField(FieldMeaning::Id);
    const FieldSpec &sharesField = holderField(FieldMeaning::Shares);
    const FieldSpec &totalField = holderField(FieldMeaning::TotalShares);
    const FieldSpec &birthField = holderField(FieldMeaning::BirthDate);
    const FieldSpec &typeField = holderField(FieldMeaning::HolderType);
    const FieldSpec &postcodeField = holderField(FieldMeaning::Postcode);
    const FieldSpec &nationalityField = holderField(FieldMeaning::Nationality);

    stats.state = disc.presence(spec);
    const std::filesystem::path path = disc.dataFilePath(spec);
    count.dataFile = path;
    std::error_code error;
    if (stats.state == RegisterState::Present && !std::filesystem::is_regular_file(path, error)) {
        stats.state = RegisterState::Unreadable;
        stats.message = u"無法開啟資料檔 " + fromUtf8(path.string());
    }
    if (stats.state != RegisterState::Present)
        return count;

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
        return count;
    }
    const RecordShape shape(spec.fields, spec.dataN);
    const auto example = [](std::vector<std::int64_t> &first, std::int64_t recordNo) {
        if (first.size() < kExamples)
            first.push_back(recordNo);
    };
    // Only the characters up to the last field counted are decoded: the bytes that hold
    // them in a record laid out as designed, or the whole record, as the screens decode
    // it, when those bytes do not give them cleanly.
    int charsRead = 0;
    for (const FieldSpec *f : {&accountField, &idField, &sharesField, &totalField, &birthField, &typeField,
                               &postcodeField, &nationalityField})
        charsRead = std::max(charsRead, f->pos + f->width - 1);
    size_t bytesRead = static_cast<size_t>(charsRead);
    for (const FieldSpec &f : spec.fields)
        if (f.doubleByte && f.pos <= charsRead)
            bytesRead += static_cast<size_t>(f.width);
    const auto undecodable = [](TextView text) {
        return std::find(text.begin(), text.end(), u'\uFFFD') != text.end();
    };
    const std::optional<CalendarDate> dataDate = dataDateOf(disc.info().dataDate);
    stats.dataDateKnown = dataDate.has_value();
    // A nationality code is kept as an index into the codes met; the first 254 codes each
    // have their own, any further one the last.
    count.nations = {Text()};
    const auto nationOf = [&](TextView code) -> unsigned {
        const Text t = Text(trimEnd(code));
        if (t.empty())
            return 0;
        for (size_t i = 1; i < count.nations.size(); ++i)
            if (count.nations[i] == t)
                return static_cast<unsigned>(i);
        if (count.nations.size() < 255) {
            count.nations.push_back(t);
            return static_cast<unsigned>(count.nations.size() - 1);
        }
        return 255;
    };

    // Records are counted in batches: the table's slots of a batch are fetched from memory
    // together, not one record's at a time.
    HolderTable &table = count.table;
    table = HolderTable(expected);
    std::vector<CountedRecord> batch;
    batch.reserve(kBatch);
    const auto add = [&] {
        for (const CountedRecord &r : batch) {
            bool added = true;
            Holder &holder = r.key != 0 ? table.byId(r.key, added) : table.alone(r.account);
            if (added) {
                holder.first = r.first;
                holder.stored = r.stored;
                holder.type = r.type;
                holder.flags = r.flags;
                holder.place = r.place;
            } else {
                if (holder.stored != r.stored)
                    holder.flags |= Holder::kStoredDiffers;
                if (holder.type != r.type)
                    holder.flags |= Holder::kTypeDiffers;
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
                r.account = accountKey(fieldView(record, accountField));
            }
            r.shares = shares.units;
            r.stored = stored.units;
            const TextView type = fieldView(record, typeField);
            r.type = type.empty() ? u' ' : type.front();
            const HolderKind kind = holderKind(id);
            r.flags = static_cast<std::uint8_t>(static_cast<unsigned>(kind) << Holder::kKindShift);
            // Where and who: only a holder's first record is kept, so only those decided.
            const int county = postalCountyOf(fieldView(record, postcodeField));
            const int band = kind == HolderKind::NaturalPerson && dataDate
                                 ? ageBandOf(ageAt(fieldView(record, birthField), *dataDate))
                                 : kUnknownAge;
            r.place = static_cast<std::uint8_t>((county + 1) | (band << 5));
            const unsigned nation =
                foreignHolderType(r.type) ? nationOf(fieldView(record, nationalityField)) : 0u;
            r.first = static_cast<std::uint32_t>(recordNo) | (nation << 24);
            batch.push_back(r);
            if (batch.size() == kBatch)
                add();
        });
    add();
    if (!scan.opened) {
        stats.state = RegisterState::Unreadable;
        stats.message = u"無法讀取資料檔 " + fromUtf8(path.string());
        return count;
    }
    stats.records = scan.records;
    stats.trailingBytes = scan.trailingBytes;
    return count;
}

struct FirstRecords::State {
    RecordFile file;
    bool readable = false;
};

FirstRecords::FirstRecords(const std::filesystem::path &dataFile) : state_(std::make_unique<State>())
{
    state_->readable = !dataFile.empty() && state_->file.open(dataFile, psmDataSet().data.length);
}

FirstRecords::~FirstRecords() = default;

Text FirstRecords::of(const Holder &holder)
{
    try {
        return state_->readable ? readRecordText(state_->file, holder.firstRecord(), psmDataSet().dataN)
                                : Text();
    } catch (const RecordReadError &) {
        return Text();
    }
}

FirstRecords::Names FirstRecords::names(const Holder &holder)
{
    const Text record = of(holder);
    Names n;
    n.name = Text(trimEnd(fieldView(record, holderField(FieldMeaning::Name))));
    n.id = holder.key != 0 ? unpackId(holder.key)
                           : Text(trimEnd(fieldView(record, holderField(FieldMeaning::Id))));
    n.account = Text(trimEnd(fieldView(record, holderField(FieldMeaning::Account))));
    return n;
}

}  // namespace regdisc
