// The holder register counted by holder: the first step of the statistics and of the
// comparison of two registers. One sequential read of the DataFile; the holders are summed
// in a compact table keyed by their ID number (records with a blank or malformed ID each a
// holder of their own, known by their account), so memory follows the number of holders,
// not the register's size. The tables are made from the count afterwards.
#pragma once

#include "tools/holder_stats.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace regdisc {

// One holder while the register is read: 32 bytes.
struct Holder {
    std::uint64_t key = 0;  // the packed ID; 0 for a holder of one record by its account
    std::int64_t shares = 0;
    std::int64_t stored = 0;  // 歸戶股數 of its first record
    std::uint32_t first = 0;  // its first record (bits 0-23) and nationality (bits 24-31)
    char16_t type = 0;  // 戶別 of its first record
    std::uint8_t flags = 0;
    std::uint8_t place = 0;  // county + 1 (bits 0-4, 0: unknown) and age band (bits 5-7)

    static constexpr std::uint8_t kStoredDiffers = 1;  // its records store different totals
    static constexpr std::uint8_t kTypeDiffers = 2;
    static constexpr int kKindShift = 2;  // HolderKind in bits 2-3
    static constexpr std::uint8_t kMatched = 16;  // met by a comparison

    std::uint32_t firstRecord() const { return first & 0xFFFFFFu; }
    int nation() const { return static_cast<int>(first >> 24); }
    HolderKind kind() const { return static_cast<HolderKind>((flags >> kKindShift) & 3); }
    int county() const { return (place & 31) - 1; }  // -1: unknown
    int ageBand() const { return place >> 5; }
};
static_assert(sizeof(Holder) == 32);

// Zeroed memory for many holders, from calloc so that the operating system hands out zero
// pages as they are first touched, without a pass that clears them.
class HolderSlots {
public:
    HolderSlots() = default;
    explicit HolderSlots(size_t count);
    size_t size() const { return count_; }
    Holder &operator[](size_t i) { return slots_.get()[i]; }
    const Holder &operator[](size_t i) const { return slots_.get()[i]; }
    const Holder *begin() const { return slots_.get(); }
    const Holder *end() const { return slots_.get() + count_; }

private:
    struct Free {
        void operator()(Holder *p) const { std::free(p); }
    };
    std::unique_ptr<Holder, Free> slots_;
    size_t count_ = 0;
};

// An account of 11 characters, the identity of a holder whose ID joins no records.
using AccountKey = std::array<char16_t, 11>;
AccountKey accountKey(TextView account);

// The holders, found by ID in an open-addressing table of the holders themselves (one
// cache line per look-up, three quarters full at most), and the holders of one record by
// their account beside it.
class HolderTable {
public:
    explicit HolderTable(std::int64_t expectedRecords = 0);

    // The holder with this ID (never 0), added (zeroed, key set) when it is new.
    Holder &byId(std::uint64_t key, bool &added);
    // The holder with this ID, or nothing.
    Holder *find(std::uint64_t key);
    // Asks for the slot where the search for this ID begins to be brought into the cache.
    void prefetch(std::uint64_t key) const;

    // A new holder of one record.
    Holder &alone(const AccountKey &account);
    size_t aloneCount() const { return alone_.size(); }
    Holder &aloneHolder(size_t i) { return alone_[i]; }
    const AccountKey &aloneAccount(size_t i) const { return aloneAccounts_[i]; }

    template <typename Visit> void forEach(Visit visit) const
    {
        for (const Holder &h : slots_)
            if (h.key != 0)
                visit(h);
        for (const Holder &h : alone_)
            visit(h);
    }
    template <typename Visit> void forEachById(Visit visit)
    {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].key != 0)
                visit(slots_[i]);
    }

    // Memory held, in bytes.
    std::size_t bytes() const;

private:
    static size_t slotOf(std::uint64_t key, size_t size);
    void grow();

    HolderSlots slots_;
    std::vector<Holder> alone_;
    std::vector<AccountKey> aloneAccounts_;
    size_t keyed_ = 0;
};

// Sums that stop at the largest number kept instead of wrapping; `saturated` is set then.
std::int64_t addCapped(std::int64_t a, std::int64_t b, bool &saturated);
// The same of a product with a scale of 1 or more.
std::int64_t timesCapped(std::int64_t a, std::int64_t scale, bool &saturated);

// A field of the holder register by its meaning.
const FieldSpec &holderField(FieldMeaning meaning);

// An ID number of eight to ten letters and digits packed into one number (base 37, a
// blank filling up to ten), so that the holder table keeps eight bytes per key.
std::uint64_t packId(TextView id);
Text unpackId(std::uint64_t key);

// The register read and counted by holder; `stats` holds what the reading found (its
// state, the records, the data check's counts) until tabulate() fills in the tables.
struct RegisterCount {
    HolderStats stats;
    HolderTable table;
    std::vector<Text> nations;  // nationality codes by the index the holders keep (0: blank)
    std::filesystem::path dataFile;
};

// Reads the holder register of the disc (opened). Throws WorkCancelled.
RegisterCount countRegister(const Disc &disc, Progress &progress);

// The statistics' tables from the count: levels, structure, breakdowns and principal
// holders (whose names are read from their first records).
void tabulate(RegisterCount &count, const StatsOptions &options);

// Holders' first records read again by their numbers, for names and accounts.
class FirstRecords {
public:
    explicit FirstRecords(const std::filesystem::path &dataFile);
    ~FirstRecords();
    // The record text, or nothing when it cannot be read.
    Text of(const Holder &holder);
    // The fields a report names a holder by: the name and the account (trailing blanks
    // dropped) and the ID (the packed one, or the record's own when it joins nothing).
    struct Names {
        Text name;
        Text id;
        Text account;
    };
    Names names(const Holder &holder);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace regdisc
