// The statistics of the holder register as the tables a person reads: one description
// of each table (columns, rows, the rules under it) that the command line prints, the
// window shows, the printout paints and the CSV and XLSX writers write.
#pragma once

#include "disc/disc_info.h"
#include "output/table_writer.h"
#include "tools/holder_stats.h"

#include <string>
#include <vector>

namespace regdisc {

struct StatsTable {
    std::string name;  // ASCII: distribution, structure, principal, notes
    Text title;  // 股權分散表, 股東結構, 主要股東, 說明
    std::vector<TableColumn> columns;
    std::vector<std::vector<Cell>> rows;
    std::vector<Text> notes;  // the rules under the table
};

struct StatsReport {
    Text title;  // 股權統計 with the security and the data date
    std::vector<Text> summary;  // records, holders, and what the data check found
    // distribution, structure, principal, then the breakdowns: county, age, nationality
    std::vector<StatsTable> tables;
};

// The breakdowns of where and who the holders are: 縣市分布, 年齡分布 and 國籍分布, each
// with 股東人數, 人數比例(%), 持有股數 and 持股比例(%) per row and 合計.
std::vector<StatsTable> breakdownTables(const HolderStats &stats, const DiscInfo &info);
// The rules under them.
Text countyNote();
Text ageNote(const DiscInfo &info, bool dataDateKnown);
Text nationalityNote(const std::vector<HolderType> &types);

// `showId`: ID numbers whole; otherwise only their first and last three characters.
StatsReport statsReport(const HolderStats &stats, const DiscInfo &info, const StatsOptions &options,
                        bool showId);

// The three tables and a fourth, 說明, holding the summary and every table's rules; the
// writer is finished. Throws OutputError.
void writeStatsReport(const StatsReport &report, TableWriter &writer);
// The names of the tables writeStatsReport writes, in order (a CSV file each).
std::vector<std::string> statsTableNames();

// The report as lines of text, the columns aligned for a fixed-width font in which a
// Chinese character takes two columns.
std::vector<Text> statsReportLines(const StatsReport &report);

// The cells and columns of the reports' tables: text, a count, shares in the register's
// units (hundredths where `decimals` is 2), hundredths of a percent.
Cell textCell(Text text);
Cell wholeCell(std::int64_t n);
Cell sharesCell(std::int64_t units, int decimals);
Cell percentCell(int hundredths);
TableColumn textColumn(Text label, std::string name, int width);
TableColumn numberColumn(Text label, std::string name, int decimals, int width);

// A1****789 style: the first and last three characters kept, the ones between starred.
Text maskId(TextView id);
// A quantity in the register's units as the screens show it: "#,##0", or "#,##0.00" of
// the value / 100 with two decimals.
Text formatShares(std::int64_t units, int decimals);
// Hundredths of a percent as "12.34".
Text formatPercent(int hundredths);
// "1 至 999", "1,000 至 5,000", …, "1,000,001 以上".
Text levelLabel(int level);
Text holderKindCaption(HolderKind kind);

}  // namespace regdisc
