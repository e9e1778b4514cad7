// The holder register turned into the tables of an annual report: holders (not records)
// by holding size, by holder type and form of ID number, the principal holders, and where
// and who the holders are (county or city, age, nationality). One sequential read of the
// DataFile (tools/holder_count.h); the holders are summed in a compact table keyed by
// their ID number, so memory follows the number of holders, not the register's size.
#pragma once

#include "disc/opened_disc.h"
#include "platform/progress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace regdisc {

struct StatsOptions {
    int top = 10;  // the largest holders listed
    int percentHundredths = 500;  // and every holder at or above this share of the total (5.00%)
};

// What an ID number's form says about the holder.
enum class HolderKind {
    NaturalPerson,  // a letter and nine digits
    LegalEntity,  // eight digits
    Other,  // any other form, blank included
};
inline constexpr int kHolderKinds = 3;

HolderKind holderKind(TextView id);

// Whether records with this ID number are one holder: eight to ten upper-case letters or
// digits, blanks after them only. A record with any other ID is a holder of its own.
bool aggregatesById(TextView id);

// The holding levels of an annual report for shares of NT$10 par, by whole shares: a level
// holds the holders whose whole shares lie between its bounds; a fraction of a share (with
// decimalFlag "Y") does not count toward the next level.
inline constexpr int kLevels = 15;
inline constexpr std::array<std::int64_t, kLevels - 1> kLevelUpperBounds{
    999, 5000, 10000, 15000, 20000, 30000, 40000, 50000, 100000, 200000, 400000, 600000, 800000, 1000000};

struct LevelRow {
    std::int64_t holders = 0;
    std::int64_t shares = 0;  // in the register's units (hundredths of a share when decimalFlag is "Y")
    int percent = 0;  // hundredths of a percent
};

struct StructureCell {
    std::int64_t holders = 0;
    std::int64_t shares = 0;
    int percent = 0;
};

// A holder type of the register: its one-character code and its words from the screen's
// legend; the last type (empty code) gathers every other value.
struct HolderType {
    Text code;
    Text caption;
};

struct PrincipalHolder {
    int rank = 0;  // holders with equal shares share a rank
    Text name;
    Text id;  // as stored, trailing blanks dropped
    Text account;  // of the holder's first record
    bool byAccount = false;  // the ID could not join records: a holder of one record
    std::int64_t shares = 0;
    int percent = 0;  // hundredths of a percent, rounded half up
};

// One row of a breakdown: the holders of a county, an age band or a nationality.
struct BreakdownRow {
    Text label;  // 臺北市, 30 至 39 歲, US, 未詳
    std::int64_t holders = 0;
    std::int64_t shares = 0;
    int holdersPercent = 0;  // hundredths of a percent of the breakdown's holders
    int sharesPercent = 0;  // and of its shares
};

// The age bands of natural persons: under 30, 30 to 39, …, 70 to 79, 80 and over, and
// unknown (no birth date, one that is no date, or one after the data date).
inline constexpr int kAgeBands = 8;
inline constexpr int kUnknownAge = kAgeBands - 1;
Text ageBandLabel(int band);

// A holder's age in whole years on the data date: the birth date is an era flag ("1":
// 民前, before 1912) and yyymmdd of the Republic of China calendar, the data date the
// disc's yyy/mm/dd. A birthday is reached on its month and day (29 February in other
// years on 1 March). -1 when either is no date or the birth is after the data date.
int ageOn(TextView flagAndBirthDate, TextView dataDate);
int ageBandOf(int age);

// A day of the Gregorian calendar.
struct CalendarDate {
    int year = 0, month = 0, day = 0;
};
// The disc's data date, yyy/mm/dd of the Republic of China calendar (also yyymmdd), as a
// calendar date; nothing when it is no date.
std::optional<CalendarDate> dataDateOf(TextView dataDate);
// The age on a day (ageOn with the data date read once).
int ageAt(TextView flagAndBirthDate, const CalendarDate &on);

// The 戶別 codes of holders from abroad whose nationality the breakdown counts: 1 外國投資
// 機構, 2 僑外戶, 3 大陸地區投資人 of the legend (not 0 一般戶, nor 4 法院拍賣專戶, a
// court's account).
bool foreignHolderType(char16_t type);

// A holder whose stored total (歸戶股數) is not the sum of its records' shares.
struct TotalMismatch {
    Text id;
    Text account;
    bool byAccount = false;
    std::int64_t sum = 0;
    std::int64_t stored = 0;  // of its first record
};

struct HolderStats {
    RegisterState state = RegisterState::Absent;
    Text message;  // why the register could not be read
    int decimals = 0;  // 2 when decimalFlag is "Y": quantities are stored in hundredths

    std::int64_t records = 0;
    std::int64_t holders = 0;  // with shares above zero: the holders the tables count
    std::int64_t totalShares = 0;
    std::int64_t zeroHolders = 0;  // counted apart, in no level
    std::int64_t negativeHolders = 0;  // likewise

    std::array<LevelRow, kLevels> levels{};
    std::vector<HolderType> types;  // the legend's five and "other"
    std::vector<std::array<StructureCell, kHolderKinds>> structure;  // per type, per kind
    std::vector<PrincipalHolder> principal;

    // Where and who the holders with shares are, each by its first record: the county or
    // city of the postcode (postalCounties() in order, then 未詳), natural persons by age
    // band at the data date, holders of a foreign 戶別 by nationality (by holders, then
    // shares, then code; blank as 未詳 last).
    std::vector<BreakdownRow> byCounty;
    std::vector<BreakdownRow> byAge;
    std::vector<BreakdownRow> byNationality;
    bool dataDateKnown = true;  // the disc's data date is a date, so ages can be told

    std::int64_t recordsById = 0;  // records whose ID joins them to a holder
    std::int64_t recordsByAccount = 0;  // records with a blank or malformed ID
    std::int64_t totalMismatches = 0;
    std::vector<TotalMismatch> firstMismatches;  // the first few, in DataFile order
    std::int64_t typeConflicts = 0;  // holders whose records name different holder types
    std::int64_t undecodableRecords = 0;
    // Records left out of every table: their bytes do not hold the fields as laid out (the
    // fields after the fault would be shifted), or a quantity field holds no whole number.
    std::int64_t damagedRecords = 0;
    std::vector<std::int64_t> firstDamaged;  // the first few record numbers
    std::int64_t malformedRecords = 0;
    std::vector<std::int64_t> firstMalformed;
    std::uint64_t trailingBytes = 0;  // a partial record at the end, not counted
    bool saturated = false;  // a sum passed the largest number kept; the figures are capped
};

// Reads the holder register of the disc (opened) and counts. Throws WorkCancelled.
HolderStats computeHolderStats(const Disc &disc, const StatsOptions &options, Progress &progress);

// Percentages of `parts` in hundredths of a percent that add up to exactly 100.00: each
// part's exact share cut to two decimals, then the hundredths still missing given one
// each to the parts that lost the most in the cut (ties: the larger part, then the
// earlier one). All zero when the parts add up to zero.
std::vector<int> percentagesAddingUp(const std::vector<std::int64_t> &parts);

// One part of a whole in hundredths of a percent, rounded half up.
int percentOf(std::int64_t part, std::int64_t whole);

// Whether part / whole reaches `hundredths` of a percent, exactly.
bool reachesPercent(std::int64_t part, std::int64_t whole, int hundredths);

// The holder types named by a legend "0：一般戶 、1：外國投資機構、…", and "其他戶別".
std::vector<HolderType> holderTypesOfLegend(TextView legend);

}  // namespace regdisc
