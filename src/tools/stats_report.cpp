#include "tools/stats_report.h"

#include "engine/display_rules.h"

#include <algorithm>
#include <string>

namespace regdisc {

namespace {

Text number(std::int64_t n)
{
    return formatCount(n);
}

}  // namespace

Cell textCell(Text text)
{
    Cell c;
    c.text = std::move(text);
    return c;
}

Cell wholeCell(std::int64_t n)
{
    Cell c;
    c.text = number(n);
    c.isNumber = true;
    c.whole = n;
    c.number = static_cast<double>(n);
    return c;
}

Cell sharesCell(std::int64_t units, int decimals)
{
    Cell c;
    c.text = formatShares(units, decimals);
    c.isNumber = true;
    c.whole = decimals == 0 ? units : 0;
    c.number = decimals == 0 ? static_cast<double>(units) : static_cast<double>(units) / 100.0;
    return c;
}

Cell percentCell(int hundredths)
{
    Cell c;
    c.text = formatPercent(hundredths);
    c.isNumber = true;
    c.number = hundredths / 100.0;
    return c;
}

TableColumn textColumn(Text label, std::string name, int width)
{
    return {std::move(label), std::move(name), CellType::Text, 0, false, width};
}

TableColumn numberColumn(Text label, std::string name, int decimals, int width)
{
    return {std::move(label), std::move(name), CellType::Number, decimals, false, width};
}

namespace {

Text percentText(int hundredths)
{
    return formatPercent(hundredths) + u"%";
}

StatsTable distributionTable(const HolderStats &stats)
{
    StatsTable t;
    t.name = "distribution";
    t.title = u"股權分散表";
    t.columns = {textColumn(u"持股分級", "level", 22), numberColumn(u"股東人數", "holders", 0, 12),
                 numberColumn(u"持有股數", "shares", stats.decimals, 20),
                 numberColumn(u"持股比例(%)", "percent", 2, 8)};
    LevelRow total;
    for (int level = 0; level < kLevels; ++level) {
        const LevelRow &row = stats.levels[static_cast<size_t>(level)];
        t.rows.push_back({textCell(levelLabel(level)), wholeCell(row.holders),
                          sharesCell(row.shares, stats.decimals), percentCell(row.percent)});
        total.holders += row.holders;
        total.shares += row.shares;
        total.percent += row.percent;
    }
    t.rows.push_back({textCell(u"合計"), wholeCell(total.holders), sharesCell(total.shares, stats.decimals),
                      percentCell(total.percent)});
    t.notes = {
        u"股東以統一編號歸戶：同一統一編號的各筆帳戶合為一位股東，持有股數為各筆股數之和；統一編號空白或"
        u"不是 8 至 10 個大寫英文字母或數字的帳戶，各自計為一位股東。",
        u"分級依顯示的持有股數" +
            Text(stats.decimals == 2 ? u"，以整股計：不足一股的部分不進入下一級（如 999.50 股列 1 至 999）"
                                     : u"") +
            u"；持股為零的股東 " + number(stats.zeroHolders) + u" 人另計，不列入分級。",
        u"持股比例取至小數第二位：各級先捨去第三位以下，所差的 0.01% "
        u"依捨去部分由大到小逐級補足（最大餘數法），"
        u"使各級合計恰為 100.00%。",
    };
    return t;
}

StatsTable structureTable(const HolderStats &stats)
{
    StatsTable t;
    t.name = "structure";
    t.title = u"股東結構";
    t.columns = {textColumn(u"項目", "measure", 11), textColumn(u"身分", "kind", 6)};
    for (size_t i = 0; i < stats.types.size(); ++i)
        t.columns.push_back(numberColumn(stats.types[i].caption, "type_" + std::to_string(i), 0, 16));
    t.columns.push_back(numberColumn(u"合計", "total", 0, 18));

    enum Measure { Holders, Shares, Percent };
    const Text measures[] = {u"人數", u"持有股數", u"持股比例(%)"};
    for (Measure m : {Holders, Shares, Percent}) {
        // A row per kind, then their subtotal; the last column is the row's total.
        for (int k = 0; k <= kHolderKinds; ++k) {
            std::vector<Cell> row{
                textCell(measures[m]),
                textCell(k < kHolderKinds ? holderKindCaption(static_cast<HolderKind>(k)) : u"小計")};
            std::int64_t rowTotal = 0;
            for (const auto &type : stats.structure) {
                std::int64_t v = 0;
                for (int kk = 0; kk < kHolderKinds; ++kk) {
                    if (k < kHolderKinds && kk != k)
                        continue;
                    const StructureCell &c = type[static_cast<size_t>(kk)];
                    v += m == Holders ? c.holders : m == Shares ? c.shares : c.percent;
                }
                rowTotal += v;
                row.push_back(m == Holders  ? wholeCell(v)
                              : m == Shares ? sharesCell(v, stats.decimals)
                                            : percentCell(static_cast<int>(v)));
            }
            row.push_back(m == Holders  ? wholeCell(rowTotal)
                          : m == Shares ? sharesCell(rowTotal, stats.decimals)
                                        : percentCell(static_cast<int>(rowTotal)));
            t.rows.push_back(std::move(row));
        }
    }
    Text legend;
    for (size_t i = 0; i + 1 < stats.types.size(); ++i)
        legend += (i > 0 ? u"、" : u"") + stats.types[i].code + u" " + stats.types[i].caption;
    t.notes = {
        u"戶別依名冊的「戶別」欄：" + legend +
            u"；其他的值列入其他戶別。一位股東有多筆帳戶而戶別不同時，以其第一筆為準。",
        u"身分依統一編號的形式判別：一個英文字母接九位數字為自然人，八位數字為法人，其他形式（空白或格式不符"
        u"者在內）列為其他。",
        u"持股比例取至小數第二位，以最大餘數法使各格合計恰為 100.00%；小計與合計為各格之和。",
    };
    return t;
}

StatsTable principalTable(const HolderStats &stats, const StatsOptions &options, bool showId)
{
    StatsTable t;
    t.name = "principal";
    t.title = u"主要股東";
    t.columns = {numberColumn(u"排名", "rank", 0, 4), textColumn(u"戶名", "name", 38),
                 textColumn(u"統一編號", "id", 16), numberColumn(u"持有股數", "shares", stats.decimals, 20),
                 numberColumn(u"持股比例(%)", "percent", 2, 8)};
    for (const PrincipalHolder &p : stats.principal) {
        Text id = showId ? p.id : maskId(p.id);
        if (p.byAccount && p.id.empty())
            id = u"帳號 " + p.account;
        t.rows.push_back({wholeCell(p.rank), textCell(p.name), textCell(id),
                          sharesCell(p.shares, stats.decimals), percentCell(p.percent)});
    }
    t.notes = {u"持股前 " + number(options.top) + u" 名（同股數者同一名次，一併列出）及持股比例達 " +
               percentText(options.percentHundredths) +
               u" 以上的股東；同股數者依名冊順序。持股比例四捨五入至小數第二位。"};
    if (!showId)
        t.notes.push_back(u"統一編號只顯示前三碼與末三碼。");
    t.notes.push_back(u"統一編號空白的股東以帳號標示。");
    return t;
}

// A breakdown: its rows, then 合計.
StatsTable breakdownTable(std::string name, Text title, Text heading, const std::vector<BreakdownRow> &rows,
                          int decimals)
{
    StatsTable t;
    t.name = std::move(name);
    t.title = std::move(title);
    t.columns = {textColumn(heading, "label", 14), numberColumn(u"股東人數", "holders", 0, 12),
                 numberColumn(u"人數比例(%)", "holders_percent", 2, 8),
                 numberColumn(u"持有股數", "shares", decimals, 20),
                 numberColumn(u"持股比例(%)", "shares_percent", 2, 8)};
    BreakdownRow total;
    for (const BreakdownRow &row : rows) {
        t.rows.push_back({textCell(row.label), wholeCell(row.holders), percentCell(row.holdersPercent),
                          sharesCell(row.shares, decimals), percentCell(row.sharesPercent)});
        total.holders += row.holders;
        total.shares += row.shares;
        total.holdersPercent += row.holdersPercent;
        total.sharesPercent += row.sharesPercent;
    }
    t.rows.push_back({textCell(u"合計"), wholeCell(total.holders), percentCell(total.holdersPercent),
                      sharesCell(total.shares, decimals), percentCell(total.sharesPercent)});
    return t;
}

}  // namespace

Text countyNote()
{
    return u"縣市依名冊「郵遞區號」欄的三碼郵遞區號（中華郵政臺灣地區郵遞區號前 3 碼一覽表的 368 "
           u"個鄉鎮市區，及釣魚臺、東沙、南沙）；郵遞區號空白或不在表中者列未詳。";
}

Text ageNote(const DiscInfo &info, bool dataDateKnown)
{
    if (!dataDateKnown)
        return u"只計自然人；資料日期「" + info.dataDate + u"」不是日期，年齡一律列未詳。";
    return u"只計自然人（統一編號為一個英文字母接九位數字），年齡依「出生日期」（民前 n 年為西元 1912−n "
           u"年）計至資料日期 " +
           info.dataDate + u" 的足歲，生日當天增加一歲；出生日期空白、不是日期或晚於資料日期者列未詳。";
}

Text nationalityNote(const std::vector<HolderType> &types)
{
    Text foreign;
    for (const HolderType &type : types)
        if (type.code.size() == 1 && foreignHolderType(type.code[0]))
            foreign += (foreign.empty() ? u"" : u"、") + type.code + u" " + type.caption;
    return u"只計戶別為 " + foreign + u" 的股東，依「國籍資料」欄，依人數由多至少排列；空白者列未詳。";
}

std::vector<StatsTable> breakdownTables(const HolderStats &stats, const DiscInfo &info)
{
    const Text sameRules = u"一位股東有多筆帳戶時，以其第一筆為準；只計持有股數大於零的股東。"
                           u"人數比例及持股比例各以最大餘數法取至小數第二位，使合計恰為 100.00%。";
    std::vector<StatsTable> tables{
        breakdownTable("county", u"縣市分布", u"縣市", stats.byCounty, stats.decimals),
        breakdownTable("age", u"年齡分布", u"年齡", stats.byAge, stats.decimals),
        breakdownTable("nationality", u"國籍分布", u"國籍", stats.byNationality, stats.decimals),
    };
    tables[0].notes = {countyNote(), sameRules};
    tables[1].notes = {ageNote(info, stats.dataDateKnown), sameRules};
    tables[2].notes = {nationalityNote(stats.types), sameRules};
    return tables;
}

namespace {

std::vector<Text> summaryLines(const HolderStats &stats, bool showId)
{
    std::vector<Text> lines;
    lines.push_back(u"證券所有人名冊 " + number(stats.records) + u" 筆，歸戶後持有股數大於零的股東 " +
                    number(stats.holders) + u" 人，合計 " + formatShares(stats.totalShares, stats.decimals) +
                    u" 股。");
    if (stats.recordsByAccount > 0)
        lines.push_back(u"統一編號空白或格式不符的帳戶 " + number(stats.recordsByAccount) +
                        u" 筆，各自計為一位股東。");
    if (stats.totalMismatches == 0) {
        lines.push_back(u"歸戶股數與各筆股數合計：全部相符。");
    } else {
        Text examples;
        for (const TotalMismatch &m : stats.firstMismatches) {
            if (!examples.empty())
                examples += u"、";
            examples += m.byAccount && m.id.empty() ? u"帳號 " + m.account : showId ? m.id : maskId(m.id);
            examples += u"（各筆合計 " + formatShares(m.sum, stats.decimals) + u"，歸戶股數 " +
                        formatShares(m.stored, stats.decimals) + u"）";
        }
        if (stats.totalMismatches > static_cast<std::int64_t>(stats.firstMismatches.size()))
            examples += u"⋯";
        lines.push_back(u"歸戶股數與各筆股數合計不符：" + number(stats.totalMismatches) + u" 人，" +
                        examples + u"；表中採各筆股數之和。");
    }
    if (stats.typeConflicts > 0)
        lines.push_back(u"多筆帳戶戶別不一致的股東 " + number(stats.typeConflicts) +
                        u" 人，以其第一筆的戶別計。");
    if (stats.zeroHolders > 0)
        lines.push_back(u"持股為零的股東 " + number(stats.zeroHolders) + u" 人，不列入統計。");
    if (stats.negativeHolders > 0)
        lines.push_back(u"持股為負數的股東 " + number(stats.negativeHolders) + u" 人，不列入統計。");
    const auto recordList = [](const std::vector<std::int64_t> &first, std::int64_t count) {
        Text out = u"（第 ";
        for (size_t i = 0; i < first.size(); ++i)
            out += (i > 0 ? u"、" : u"") + number(first[i]);
        return out + (count > static_cast<std::int64_t>(first.size()) ? u"⋯ 筆）" : u" 筆）");
    };
    if (stats.damagedRecords > 0)
        lines.push_back(u"記錄損壞（位元組與欄位配置不符，欄位會錯位）" + number(stats.damagedRecords) +
                        u" 筆" + recordList(stats.firstDamaged, stats.damagedRecords) + u"，未列入統計。");
    if (stats.malformedRecords > 0)
        lines.push_back(u"各筆股數或歸戶股數不是整數的記錄 " + number(stats.malformedRecords) + u" 筆" +
                        recordList(stats.firstMalformed, stats.malformedRecords) + u"，未列入統計。");
    if (stats.undecodableRecords > 0)
        lines.push_back(u"含無法解碼字元的記錄 " + number(stats.undecodableRecords) + u" 筆。");
    if (stats.trailingBytes > 0)
        lines.push_back(u"檔尾多出 " + number(static_cast<std::int64_t>(stats.trailingBytes)) +
                        u" 位元組（不足一筆），未計入。");
    if (stats.saturated)
        lines.push_back(u"股數合計超出可計算的範圍，數字已截於上限，不可採用。");
    return lines;
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\u3000';
}

}  // namespace

Text maskId(TextView id)
{
    while (!id.empty() && isBlank(id.back()))
        id.remove_suffix(1);
    Text masked(id);
    const size_t keep = masked.size() >= 7 ? 3 : masked.size() / 3;
    for (size_t i = keep; i + keep < masked.size(); ++i)
        masked[i] = u'*';
    return masked;
}

Text formatShares(std::int64_t units, int decimals)
{
    return formatQuantity(fromAscii(std::to_string(units)), decimals == 2 ? u"Y" : u"N");
}

Text formatPercent(int hundredths)
{
    const int whole = hundredths / 100;
    const int rest = hundredths % 100;
    return fromAscii(std::to_string(whole) + "." + (rest < 10 ? "0" : "") + std::to_string(rest));
}

Text levelLabel(int level)
{
    if (level >= kLevels - 1)
        return number(kLevelUpperBounds.back() + 1) + u" 以上";
    const std::int64_t from = level == 0 ? 1 : kLevelUpperBounds[static_cast<size_t>(level - 1)] + 1;
    return number(from) + u" 至 " + number(kLevelUpperBounds[static_cast<size_t>(level)]);
}

Text holderKindCaption(HolderKind kind)
{
    switch (kind) {
    case HolderKind::NaturalPerson:
        return u"自然人";
    case HolderKind::LegalEntity:
        return u"法人";
    case HolderKind::Other:
        return u"其他";
    }
    return {};
}

StatsReport statsReport(const HolderStats &stats, const DiscInfo &info, const StatsOptions &options,
                        bool showId)
{
    StatsReport report;
    report.title =
        u"股權統計　" + info.baseName + u"  " + info.securityName + u"　資料日期：" + info.dataDate;
    report.summary = summaryLines(stats, showId);
    report.tables = {distributionTable(stats), structureTable(stats), principalTable(stats, options, showId)};
    for (StatsTable &t : breakdownTables(stats, info))
        report.tables.push_back(std::move(t));
    return report;
}

std::vector<std::string> statsTableNames()
{
    return {"distribution", "structure", "principal", "county", "age", "nationality", "notes"};
}

void writeStatsReport(const StatsReport &report, TableWriter &writer)
{
    for (const StatsTable &t : report.tables) {
        writer.beginTable(t.name, t.title, t.columns);
        for (const std::vector<Cell> &row : t.rows)
            writer.writeRow(row);
        writer.endTable();
    }
    writer.beginTable("notes", u"說明", {textColumn(u"說明", "note", 100)});
    std::vector<Cell> row(1);
    const auto note = [&](Text text) {
        row[0] = textCell(std::move(text));
        writer.writeRow(row);
    };
    note(report.title);
    for (const Text &line : report.summary)
        note(line);
    for (const StatsTable &t : report.tables)
        for (const Text &line : t.notes)
            note(t.title + u"：" + line);
    writer.endTable();
    writer.finish();
}

std::vector<Text> statsReportLines(const StatsReport &report)
{
    std::vector<Text> lines{report.title};
    for (const Text &line : report.summary)
        lines.push_back(line);
    for (const StatsTable &t : report.tables) {
        lines.push_back({});
        lines.push_back(t.title);
        std::vector<int> widths;
        for (const TableColumn &c : t.columns)
            widths.push_back(printColumns(c.label));
        for (const auto &row : t.rows)
            for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
                widths[i] = std::max(widths[i], printColumns(row[i].text));
        const auto line = [&](const std::vector<Text> &cells) {
            Text out;
            for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
                const Text pad(static_cast<size_t>(widths[i] - printColumns(cells[i])), u' ');
                if (i > 0)
                    out += u"  ";
                out += t.columns[i].type == CellType::Number ? pad + cells[i] : cells[i] + pad;
            }
            out.resize(trimEnd(out, isHalfWidthBlank).size());
            return out;
        };
        std::vector<Text> heading;
        for (const TableColumn &c : t.columns)
            heading.push_back(c.label);
        lines.push_back(line(heading));
        for (const auto &row : t.rows) {
            std::vector<Text> cells;
            for (const Cell &c : row)
                cells.push_back(c.text);
            lines.push_back(line(cells));
        }
        for (const Text &note : t.notes)
            lines.push_back(u"註：" + note);
    }
    return lines;
}

}  // namespace regdisc
