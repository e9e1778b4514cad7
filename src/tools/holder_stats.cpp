#include "tools/holder_stats.h"

#include "datasets/catalogue.h"
#include "datasets/postal_districts.h"
#include "engine/display_rules.h"
#include "tools/holder_count.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>

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
    return trimEnd(text, isHalfWidthBlank).size();
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

// The percentages of a breakdown's holders and shares, settled to add up to 100.00.
void settlePercentages(std::vector<BreakdownRow> &rows)
{
    std::vector<std::int64_t> holders, shares;
    for (const BreakdownRow &row : rows) {
        holders.push_back(row.holders);
        shares.push_back(row.shares);
    }
    const std::vector<int> h = percentagesAddingUp(holders);
    const std::vector<int> s = percentagesAddingUp(shares);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].holdersPercent = h[i];
        rows[i].sharesPercent = s[i];
    }
}

bool leapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool validDate(const CalendarDate &d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    return d.day <= days[d.month - 1] + (d.month == 2 && leapYear(d.year) ? 1 : 0);
}

// The whole number of a run of digits; -1 when the text is empty or holds anything else.
int digitsValue(TextView text)
{
    if (text.empty())
        return -1;
    int value = 0;
    for (char16_t c : text) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
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
    const auto trimmed = [](TextView t) { return Text(trimBoth(t)); };
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

Text ageBandLabel(int band)
{
    switch (band) {
    case 0:
        return u"未滿 30 歲";
    case kAgeBands - 2:
        return u"80 歲以上";
    case kUnknownAge:
        return u"未詳";
    default:
        return fromAscii(std::to_string(20 + 10 * band)) + u" 至 " +
               fromAscii(std::to_string(29 + 10 * band)) + u" 歲";
    }
}

std::optional<CalendarDate> dataDateOf(TextView text)
{
    text = trimBoth(text, isHalfWidthBlank);
    CalendarDate d;
    int rocYear = -1;
    const size_t slash = text.find(u'/');
    if (slash == TextView::npos) {
        // yyymmdd
        if (text.size() != 7)
            return std::nullopt;
        rocYear = digitsValue(text.substr(0, 3));
        d.month = digitsValue(text.substr(3, 2));
        d.day = digitsValue(text.substr(5, 2));
    } else {
        const size_t second = text.find(u'/', slash + 1);
        if (second == TextView::npos || slash > 3 || second - slash - 1 > 2 || text.size() - second - 1 > 2)
            return std::nullopt;
        rocYear = digitsValue(text.substr(0, slash));
        d.month = digitsValue(text.substr(slash + 1, second - slash - 1));
        d.day = digitsValue(text.substr(second + 1));
    }
    if (rocYear < 1 || d.month < 0 || d.day < 0)
        return std::nullopt;
    d.year = rocYear + 1911;
    if (!validDate(d))
        return std::nullopt;
    return d;
}

int ageAt(TextView flagAndBirthDate, const CalendarDate &on)
{
    if (flagAndBirthDate.size() != 8)
        return -1;
    const int year = digitsValue(flagAndBirthDate.substr(1, 3));
    CalendarDate born;
    born.month = digitsValue(flagAndBirthDate.substr(4, 2));
    born.day = digitsValue(flagAndBirthDate.substr(6, 2));
    if (year < 1 || born.month < 0 || born.day < 0)
        return -1;
    // 民前 1 is 1911, the year before the first of the Republic (1912).
    born.year = flagAndBirthDate[0] == u'1' ? 1912 - year : 1911 + year;
    if (!validDate(born))
        return -1;
    int age = on.year - born.year;
    if (on.month < born.month || (on.month == born.month && on.day < born.day))
        --age;
    return age;
}

int ageOn(TextView flagAndBirthDate, TextView dataDate)
{
    const std::optional<CalendarDate> on = dataDateOf(dataDate);
    return on ? ageAt(flagAndBirthDate, *on) : -1;
}

int ageBandOf(int age)
{
    if (age < 0)
        return kUnknownAge;
    if (age < 30)
        return 0;
    return std::min(age / 10 - 2, kAgeBands - 2);
}

bool foreignHolderType(char16_t type)
{
    return type == u'1' || type == u'2' || type == u'3';
}

// The empty tables: the holder types of the legend, the counties, the age bands.
void prepareTables(HolderStats &stats)
{
    stats.types = holderTypesOfLegend(legendOf(psmDataSet(), holderField(FieldMeaning::HolderType).box));
    stats.structure.assign(stats.types.size(), {});
    const std::span<const std::u16string_view> counties = postalCounties();
    stats.byCounty.assign(counties.size() + 1, {});
    for (size_t c = 0; c < counties.size(); ++c)
        stats.byCounty[c].label = Text(counties[c]);
    stats.byCounty.back().label = u"未詳";
    stats.byAge.assign(kAgeBands, {});
    for (int band = 0; band < kAgeBands; ++band)
        stats.byAge[static_cast<size_t>(band)].label = ageBandLabel(band);
}

// Every holder counted into the levels, the structure and the breakdowns; holders with
// no shares, or fewer than none, counted apart; the first holders whose stored total
// differs from their records' sum kept in register order. `nations` gets the foreign
// holders by nationality code (the last row: codes past the 254th).
std::vector<const Holder *> countHolders(const RegisterCount &count, HolderStats &stats,
                                         std::vector<BreakdownRow> &nations)
{
    const std::int64_t unit = stats.decimals == 2 ? 100 : 1;
    const auto inRegisterOrder = [](const Holder *a, const Holder *b) {
        return a->firstRecord() < b->firstRecord();
    };
    std::vector<const Holder *> mismatched;
    count.table.forEach([&](const Holder &h) {
        if ((h.flags & Holder::kStoredDiffers) || h.stored != h.shares) {
            ++stats.totalMismatches;
            mismatched.insert(std::upper_bound(mismatched.begin(), mismatched.end(), &h, inRegisterOrder),
                              &h);
            if (mismatched.size() > kMismatchExamples)
                mismatched.pop_back();
        }
        if (h.flags & Holder::kTypeDiffers)
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
        StructureCell &cell = stats.structure[type][static_cast<size_t>(h.kind())];
        ++cell.holders;
        cell.shares = addCapped(cell.shares, h.shares, stats.saturated);
        const auto countIn = [&](BreakdownRow &row) {
            ++row.holders;
            row.shares = addCapped(row.shares, h.shares, stats.saturated);
        };
        countIn(h.county() >= 0 ? stats.byCounty[static_cast<size_t>(h.county())] : stats.byCounty.back());
        if (h.kind() == HolderKind::NaturalPerson)
            countIn(stats.byAge[static_cast<size_t>(h.ageBand())]);
        if (foreignHolderType(h.type))
            countIn(nations[std::min(static_cast<size_t>(h.nation()), nations.size() - 1)]);
    });
    return mismatched;
}

// Nationalities by holders, then shares, then code; the blank code (未詳) and codes past
// those kept (其他) last.
void sortNationalities(const std::vector<Text> &codes, std::vector<BreakdownRow> &nations, HolderStats &stats)
{
    for (size_t i = 1; i < codes.size(); ++i)
        nations[i].label = codes[i];
    nations.front().label = u"未詳";
    nations.back().label = u"其他";
    for (size_t i = 1; i + 1 < nations.size(); ++i)
        if (nations[i].holders > 0)
            stats.byNationality.push_back(nations[i]);
    std::sort(stats.byNationality.begin(), stats.byNationality.end(),
              [](const BreakdownRow &a, const BreakdownRow &b) {
                  if (a.holders != b.holders)
                      return a.holders > b.holders;
                  if (a.shares != b.shares)
                      return a.shares > b.shares;
                  return a.label < b.label;
              });
    for (const BreakdownRow *row : {&nations.back(), &nations.front()})
        if (row->holders > 0)
            stats.byNationality.push_back(*row);
}

// Every table's percentages, settled so that its rows add up to 100.00.
void settleAllPercentages(HolderStats &stats)
{
    settlePercentages(stats.byCounty);
    settlePercentages(stats.byAge);
    settlePercentages(stats.byNationality);
    std::vector<std::int64_t> levelShares;
    for (const LevelRow &level : stats.levels)
        levelShares.push_back(level.shares);
    const std::vector<int> levelPercent = percentagesAddingUp(levelShares);
    for (size_t i = 0; i < stats.levels.size(); ++i)
        stats.levels[i].percent = levelPercent[i];
    std::vector<std::int64_t> cellShares(stats.types.size() * kHolderKinds, 0);
    for (size_t t = 0; t < stats.structure.size(); ++t)
        for (size_t k = 0; k < kHolderKinds; ++k)
            cellShares[t * kHolderKinds + k] = stats.structure[t][k].shares;
    const std::vector<int> cellPercent = percentagesAddingUp(cellShares);
    for (size_t t = 0; t < stats.structure.size(); ++t)
        for (size_t k = 0; k < kHolderKinds; ++k)
            stats.structure[t][k].percent = cellPercent[t * kHolderKinds + k];
}

// The principal holders: the `top` largest (all holders tied with the last of them too)
// and every holder at or above the percentage, largest first.
std::vector<const Holder *> principalHolders(const HolderTable &table, const HolderStats &stats,
                                             const StatsOptions &options)
{
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
    std::vector<const Holder *> principal;
    table.forEach([&](const Holder &h) {
        if (h.shares > 0 && h.shares >= cut)
            principal.push_back(&h);
    });
    std::sort(principal.begin(), principal.end(), [](const Holder *a, const Holder *b) {
        if (a->shares != b->shares)
            return a->shares > b->shares;
        return a->firstRecord() < b->firstRecord();
    });
    return principal;
}

// Names and accounts of the principal holders and of the first mismatches, each from
// the holder's first record, read by its number.
void readNames(const RegisterCount &count, const std::vector<const Holder *> &principal,
               const std::vector<const Holder *> &mismatched, HolderStats &stats)
{
    FirstRecords firstRecords(count.dataFile);
    for (size_t i = 0; i < principal.size(); ++i) {
        const Holder &h = *principal[i];
        const FirstRecords::Names names = firstRecords.names(h);
        PrincipalHolder p;
        p.rank = i > 0 && principal[i - 1]->shares == h.shares ? stats.principal.back().rank
                                                               : static_cast<int>(i) + 1;
        p.name = names.name;
        p.id = names.id;
        p.account = names.account;
        p.byAccount = h.key == 0;
        p.shares = h.shares;
        p.percent = percentOf(h.shares, stats.totalShares);
        stats.principal.push_back(std::move(p));
    }
    for (const Holder *h : mismatched) {
        const FirstRecords::Names names = firstRecords.names(*h);
        stats.firstMismatches.push_back({names.id, names.account, h->key == 0, h->shares, h->stored});
    }
}

void tabulate(RegisterCount &count, const StatsOptions &options)
{
    HolderStats &stats = count.stats;
    prepareTables(stats);
    if (stats.state != RegisterState::Present)
        return;
    std::vector<BreakdownRow> nations(count.nations.size() + 1);  // the last: codes past the 254th
    const std::vector<const Holder *> mismatched = countHolders(count, stats, nations);
    sortNationalities(count.nations, nations, stats);
    settleAllPercentages(stats);
    readNames(count, principalHolders(count.table, stats, options), mismatched, stats);
}

HolderStats computeHolderStats(const Disc &disc, const StatsOptions &options, Progress &progress)
{
    RegisterCount count = countRegister(disc, progress);
    tabulate(count, options);
    return std::move(count.stats);
}

}  // namespace regdisc
