#include "tools/compare_report.h"

#include "engine/display_rules.h"

#include <cstdlib>
#include <limits>
#include <map>

namespace regdisc {

namespace {

Text number(std::int64_t n)
{
    return formatCount(n);
}

// A disc's shares in the comparison's units (a scale of 1 or 100), stopping at the
// largest number kept (the summary then says the figures are capped).
std::int64_t inUnits(std::int64_t shares, std::int64_t scale)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (scale > 1 && shares > kMax / scale)
        return kMax;
    if (scale > 1 && shares < -kMax / scale)
        return -kMax;
    return shares * scale;
}

// A change with its sign: "+1,000", "-250", "0".
Cell changeCell(std::int64_t change, int decimals)
{
    Cell c = decimals < 0 ? wholeCell(change) : sharesCell(change, decimals);
    if (change > 0)
        c.text = u"+" + c.text;
    return c;
}

Cell signedPercentCell(int hundredths)
{
    Cell c = percentCell(hundredths);
    c.text = formatSignedPercent(hundredths);
    return c;
}

Text percentText(int hundredths)
{
    return formatPercent(hundredths) + u"%";
}

// One row of a table of both discs: holders, shares and share of the total, older,
// newer and change.
struct SideBySide {
    std::int64_t olderHolders = 0, newerHolders = 0;
    std::int64_t olderShares = 0, newerShares = 0;  // the comparison's units
    int olderPercent = 0, newerPercent = 0;
};

std::vector<TableColumn> sideBySideColumns(std::vector<TableColumn> heading, int decimals)
{
    for (const auto &[label, name, places, width] :
         {std::tuple{u"股東人數(舊)", "old_holders", 0, 12},
          std::tuple{u"股東人數(新)", "new_holders", 0, 12}, std::tuple{u"人數增減", "holders_change", 0, 12},
          std::tuple{u"持有股數(舊)", "old_shares", decimals, 20},
          std::tuple{u"持有股數(新)", "new_shares", decimals, 20},
          std::tuple{u"股數增減", "shares_change", decimals, 20},
          std::tuple{u"持股比例(舊)(%)", "old_percent", 2, 8},
          std::tuple{u"持股比例(新)(%)", "new_percent", 2, 8},
          std::tuple{u"比例增減", "percent_change", 2, 8}})
        heading.push_back(numberColumn(label, name, places, width));
    return heading;
}

void addSideBySide(std::vector<Cell> &row, const SideBySide &v, int decimals)
{
    row.push_back(wholeCell(v.olderHolders));
    row.push_back(wholeCell(v.newerHolders));
    row.push_back(changeCell(v.newerHolders - v.olderHolders, -1));
    row.push_back(sharesCell(v.olderShares, decimals));
    row.push_back(sharesCell(v.newerShares, decimals));
    row.push_back(changeCell(v.newerShares - v.olderShares, decimals));
    row.push_back(percentCell(v.olderPercent));
    row.push_back(percentCell(v.newerPercent));
    row.push_back(signedPercentCell(v.newerPercent - v.olderPercent));
}

SideBySide &operator+=(SideBySide &a, const SideBySide &b)
{
    a.olderHolders += b.olderHolders;
    a.newerHolders += b.newerHolders;
    a.olderShares += b.olderShares;
    a.newerShares += b.newerShares;
    a.olderPercent += b.olderPercent;
    a.newerPercent += b.newerPercent;
    return a;
}

const Text kPercentRule =
    u"各表的持股比例為各該光碟的比例，取至小數第二位，以最大餘數法使各列合計恰為 100.00%"
    u"（與股權統計相同）；增減為新減舊。";

StatsTable movementTable(const RegisterComparison &c)
{
    StatsTable t;
    t.name = "movement";
    t.title = u"異動概況";
    t.columns = {textColumn(u"異動", "movement", 16), numberColumn(u"股東人數", "holders", 0, 12),
                 numberColumn(u"股數", "shares", c.decimals, 20)};
    for (int m = 0; m < kMovements; ++m) {
        const MovementRow &row = c.movement[static_cast<size_t>(m)];
        t.rows.push_back({textCell(movementCaption(static_cast<Movement>(m))), wholeCell(row.holders),
                          sharesCell(row.shares, c.decimals)});
    }
    t.rows.push_back({textCell(u"股東人數及總股數增減"), changeCell(c.newerHolders - c.olderHolders, -1),
                      changeCell(c.newerTotal - c.olderTotal, c.decimals)});
    t.notes = {
        u"股東依統一編號歸戶，與股權統計相同：同一統一編號的各筆帳戶合為一位股東；統一編號空白或格式不符的"
        u"帳戶各自為一位股東，以帳號在兩片光碟間對應。",
        u"新進股東：舊光碟無持股（不在名冊或持股為零）、新光碟有持股，股數為新持股；出清股東：舊光碟有持股、"
        u"新光碟無持股，股數為舊持股；增持、減持：股數為增加或減少的股數；持股不變：股數為持股。",
        u"股東人數及總股數增減：持有股數大於零的股東人數與其合計股數，新減舊。",
    };
    if (c.leftOut > 0)
        t.notes.push_back(u"任一光碟持股為負數的股東 " + number(c.leftOut) + u" 人，未列入異動。");
    return t;
}

StatsTable holdersTable(std::string name, Text title, const std::vector<HolderChange> &holders,
                        const RegisterComparison &c, bool showId, bool direction)
{
    StatsTable t;
    t.name = std::move(name);
    t.title = std::move(title);
    if (direction)
        t.columns.push_back(textColumn(u"方向", "direction", 4));
    else
        t.columns.push_back(numberColumn(u"排名", "rank", 0, 4));
    for (const TableColumn &column : {textColumn(u"戶名", "name", 38), textColumn(u"統一編號", "id", 16),
                                      numberColumn(u"舊持股", "old_shares", c.decimals, 20),
                                      numberColumn(u"舊持股比例(%)", "old_percent", 2, 8),
                                      numberColumn(u"新持股", "new_shares", c.decimals, 20),
                                      numberColumn(u"新持股比例(%)", "new_percent", 2, 8),
                                      numberColumn(u"增減股數", "change", c.decimals, 20)})
        t.columns.push_back(column);
    for (const HolderChange &h : holders) {
        const bool up = h.newShares > h.oldShares;
        t.rows.push_back({direction ? textCell(up ? u"向上" : u"向下") : wholeCell(h.rank), textCell(h.name),
                          textCell(shownId(h, showId)), sharesCell(h.oldShares, c.decimals),
                          percentCell(h.oldPercent), sharesCell(h.newShares, c.decimals),
                          percentCell(h.newPercent), changeCell(h.change(), c.decimals)});
    }
    return t;
}

StatsTable levelsTable(const RegisterComparison &c)
{
    StatsTable t;
    t.name = "distribution";
    t.title = u"股權分散表（新舊對照）";
    t.columns = sideBySideColumns({textColumn(u"持股分級", "level", 22)}, c.decimals);
    SideBySide total;
    for (int level = 0; level < kLevels; ++level) {
        const LevelRow &o = c.older.levels[static_cast<size_t>(level)];
        const LevelRow &n = c.newer.levels[static_cast<size_t>(level)];
        const SideBySide v{
            o.holders, n.holders, inUnits(o.shares, c.olderScale), inUnits(n.shares, c.newerScale),
            o.percent, n.percent};
        std::vector<Cell> row{textCell(levelLabel(level))};
        addSideBySide(row, v, c.decimals);
        t.rows.push_back(std::move(row));
        total += v;
    }
    std::vector<Cell> row{textCell(u"合計")};
    addSideBySide(row, total, c.decimals);
    t.rows.push_back(std::move(row));
    t.notes = {u"持股分級與股權統計相同，依各光碟顯示的持有股數以整股分級。", kPercentRule};
    return t;
}

StatsTable structureTable(const RegisterComparison &c)
{
    StatsTable t;
    t.name = "structure";
    t.title = u"股東結構（新舊對照）";
    t.columns = sideBySideColumns({textColumn(u"戶別", "holder_type", 14), textColumn(u"身分", "kind", 6)},
                                  c.decimals);
    const auto cell = [&](size_t type, int kind) {
        const StructureCell &o = c.older.structure.at(type)[static_cast<size_t>(kind)];
        const StructureCell &n = c.newer.structure.at(type)[static_cast<size_t>(kind)];
        return SideBySide{
            o.holders, n.holders, inUnits(o.shares, c.olderScale), inUnits(n.shares, c.newerScale),
            o.percent, n.percent};
    };
    std::array<SideBySide, kHolderKinds> byKind{};
    SideBySide total;
    for (size_t type = 0; type < c.newer.types.size() && type < c.older.types.size(); ++type) {
        SideBySide subtotal;
        for (int kind = 0; kind < kHolderKinds; ++kind) {
            const SideBySide v = cell(type, kind);
            std::vector<Cell> row{textCell(c.newer.types[type].caption),
                                  textCell(holderKindCaption(static_cast<HolderKind>(kind)))};
            addSideBySide(row, v, c.decimals);
            t.rows.push_back(std::move(row));
            subtotal += v;
            byKind[static_cast<size_t>(kind)] += v;
        }
        std::vector<Cell> row{textCell(c.newer.types[type].caption), textCell(u"小計")};
        addSideBySide(row, subtotal, c.decimals);
        t.rows.push_back(std::move(row));
        total += subtotal;
    }
    for (int kind = 0; kind < kHolderKinds; ++kind) {
        std::vector<Cell> row{textCell(u"合計"), textCell(holderKindCaption(static_cast<HolderKind>(kind)))};
        addSideBySide(row, byKind[static_cast<size_t>(kind)], c.decimals);
        t.rows.push_back(std::move(row));
    }
    std::vector<Cell> row{textCell(u"合計"), textCell(u"小計")};
    addSideBySide(row, total, c.decimals);
    t.rows.push_back(std::move(row));
    t.notes = {u"戶別與身分的判別與股權統計相同（戶別以股東第一筆帳戶為準；身分依統一編號的形式）。",
               kPercentRule};
    return t;
}

// A breakdown of both discs: the rows of either, in the newer disc's order, then the
// older's rows the newer lacks, and 合計.
StatsTable breakdownSideBySide(const StatsTable &shape, const std::vector<BreakdownRow> &older,
                               const std::vector<BreakdownRow> &newer, const RegisterComparison &c)
{
    StatsTable t;
    t.name = shape.name;
    t.title = shape.title + u"（新舊對照）";
    t.columns = sideBySideColumns({shape.columns.front()}, c.decimals);
    std::vector<Text> labels;
    std::map<Text, SideBySide> values;
    for (const BreakdownRow &row : newer) {
        labels.push_back(row.label);
        SideBySide &v = values[row.label];
        v.newerHolders = row.holders;
        v.newerShares = inUnits(row.shares, c.newerScale);
        v.newerPercent = row.sharesPercent;
    }
    for (const BreakdownRow &row : older) {
        if (!values.count(row.label))
            labels.push_back(row.label);
        SideBySide &v = values[row.label];
        v.olderHolders = row.holders;
        v.olderShares = inUnits(row.shares, c.olderScale);
        v.olderPercent = row.sharesPercent;
    }
    // 未詳 and 其他 stay last.
    std::stable_partition(labels.begin(), labels.end(),
                          [](const Text &l) { return l != u"未詳" && l != u"其他"; });
    SideBySide total;
    for (const Text &label : labels) {
        std::vector<Cell> row{textCell(label)};
        addSideBySide(row, values[label], c.decimals);
        t.rows.push_back(std::move(row));
        total += values[label];
    }
    std::vector<Cell> row{textCell(u"合計")};
    addSideBySide(row, total, c.decimals);
    t.rows.push_back(std::move(row));
    t.notes = shape.notes;
    t.notes.push_back(kPercentRule);
    return t;
}

std::vector<Text> summaryLines(const RegisterComparison &c, bool showId)
{
    const auto discLine = [&](const Text &which, const DiscInfo &info, const HolderStats &stats,
                              std::int64_t scale) {
        return which + u"：資料日期 " + info.dataDate + u"，證券所有人名冊 " + number(stats.records) +
               u" 筆，持有股數大於零的股東 " + number(stats.holders) + u" 人，合計 " +
               formatShares(inUnits(stats.totalShares, scale), c.decimals) + u" 股。";
    };
    std::vector<Text> lines{discLine(u"舊光碟", c.olderInfo, c.older, c.olderScale),
                            discLine(u"新光碟", c.newerInfo, c.newer, c.newerScale)};
    const Text holders =
        (c.newerHolders > c.olderHolders ? u"+" : u"") + number(c.newerHolders - c.olderHolders);
    const std::int64_t shares = c.newerTotal - c.olderTotal;
    lines.push_back(u"股東人數增減 " + holders + u" 人，總股數增減 " + (shares > 0 ? u"+" : u"") +
                    formatShares(shares, c.decimals) + u" 股。");
    if (c.olderInfo.securityName != c.newerInfo.securityName)
        lines.push_back(u"證券名稱不同：舊光碟「" + c.olderInfo.securityName + u"」，新光碟「" +
                        c.newerInfo.securityName + u"」；證券代號相同，視為同一證券。");
    if (c.saturated)
        lines.push_back(u"股數合計超出可計算的範圍，數字已截於上限，不可採用。");
    if (c.older.decimals != c.newer.decimals)
        lines.push_back(u"兩片光碟的股數小數位數不同（decimalFlag），一律以小數兩位計。");
    const std::optional<CalendarDate> o = dataDateOf(c.olderInfo.dataDate),
                                      n = dataDateOf(c.newerInfo.dataDate);
    if (o && n && std::tie(o->year, o->month, o->day) > std::tie(n->year, n->month, n->day))
        lines.push_back(u"注意：舊光碟的資料日期晚於新光碟，兩片光碟可能放反了。");
    // What each disc's data check found, as the statistics say it.
    for (const auto &[which, info, stats] :
         {std::tuple{u"舊光碟", &c.olderInfo, &c.older}, std::tuple{u"新光碟", &c.newerInfo, &c.newer}}) {
        const StatsReport report = statsReport(*stats, *info, {.top = 0, .percentHundredths = 10000}, showId);
        for (size_t i = 1; i < report.summary.size(); ++i)
            if (report.summary[i] != u"歸戶股數與各筆股數合計：全部相符。")
                lines.push_back(Text(which) + u"：" + report.summary[i]);
    }
    return lines;
}

}  // namespace

Text formatSignedPercent(int hundredths)
{
    const Text magnitude = formatPercent(std::abs(hundredths));
    return hundredths > 0 ? u"+" + magnitude : hundredths < 0 ? u"-" + magnitude : magnitude;
}

Text shownId(const HolderChange &holder, bool showId)
{
    if (holder.byAccount && holder.id.empty())
        return u"帳號 " + holder.account;
    return showId ? holder.id : maskId(holder.id);
}

std::vector<std::string> compareTableNames()
{
    return {"movement",  "buyers", "sellers", "crossings",   "distribution",
            "structure", "county", "age",     "nationality", "notes"};
}

StatsReport compareReport(const RegisterComparison &c, bool showId)
{
    StatsReport report;
    report.title = u"異動比較　" + c.newerInfo.baseName + u"  " + c.newerInfo.securityName + u"　" +
                   c.olderInfo.dataDate + u" → " + c.newerInfo.dataDate;
    report.summary = summaryLines(c, showId);
    const Text top = number(c.options.top);
    StatsTable buyers = holdersTable("buyers", u"主要買超股東", c.buyers, c, showId, false);
    buyers.notes = {u"增加股數最多的前 " + top +
                    u" 名（同增加股數者同一名次，一併列出；依新名冊順序），新進股東在內。"};
    StatsTable sellers = holdersTable("sellers", u"主要賣超股東", c.sellers, c, showId, false);
    sellers.notes = {u"減少股數最多的前 " + top +
                     u" 名（同減少股數者同一名次，一併列出；依舊名冊順序），出清股東在內。"};
    StatsTable crossings =
        holdersTable("crossings", u"持股比例跨越 " + percentText(c.options.percentHundredths), c.crossings, c,
                     showId, true);
    crossings.notes = {
        u"舊、新持股比例一在 " + percentText(c.options.percentHundredths) +
        u" 以上、一在其下的股東（比例以各該光碟的總股數計）；向上者在前，各依增減股數由大至小。"};
    for (StatsTable *t : {&buyers, &sellers, &crossings}) {
        t->notes.push_back(u"持股比例四捨五入至小數第二位。");
        if (!showId)
            t->notes.push_back(u"統一編號只顯示前三碼與末三碼；統一編號空白的股東以帳號標示。");
    }
    report.tables = {movementTable(c),     std::move(buyers), std::move(sellers),
                     std::move(crossings), levelsTable(c),    structureTable(c)};
    const std::vector<StatsTable> shapes = breakdownTables(c.newer, c.newerInfo);
    report.tables.push_back(breakdownSideBySide(shapes[0], c.older.byCounty, c.newer.byCounty, c));
    report.tables.push_back(breakdownSideBySide(shapes[1], c.older.byAge, c.newer.byAge, c));
    report.tables.push_back(breakdownSideBySide(shapes[2], c.older.byNationality, c.newer.byNationality, c));
    return report;
}

}  // namespace regdisc
