// Fixtures of the whole-disc tools' tests: a small disc with one holder in several
// registers (both parties of the pledge register), and reading written files back with
// independent readers (Python's csv module and openpyxl).
#pragma once

#include "test_support.h"

#include <filesystem>
#include <string>
#include <vector>

namespace regdisc::test {

// psm, pla and psr; every other register absent. The holder A123456789 王大明 holds psm
// records 1 and 4, pledges as pledgor in pla record 1, is pledgee in pla record 2 and has
// psr record 1.
void writeHolderDisc(const std::filesystem::path &folder, const std::string &decimalFlag = "N");

// psm only: fifteen holders in nineteen records, at the holding levels' bounds (999, 1,000,
// 5,000, 5,001, 1,000,000, 1,000,001), one holder of three accounts, one of two accounts
// whose stored total (6,000) is not their sum (5,000), one of two accounts of different
// holder types, a holder with no shares, two accounts with a blank ID, one with a
// malformed ID, an ID of another form and an unknown holder type. See tools_stats_test.
void writeStatsDisc(const std::filesystem::path &folder);
// The same register with decimalFlag "Y": holdings of 999.00, 999.99, 0.50, 0.50 + 0.50,
// 1,000.00, 5,000.99, 5,001.00, 1,000,000.99, 1,000,001.00 and 0.
void writeDecimalStatsDisc(const std::filesystem::path &folder);

// A holding of a hand-made holder register: one record.
struct Holding {
    const char *account;
    const char *name;
    const char *id;
    const char *shares;
    const char *total;
    const char *type = "0";
};

// psm only, one record per holding, with `security` as every record's security code.
void writeRegister(const std::filesystem::path &folder, const std::vector<Holding> &holdings,
                   const DiscInfo &info = testDiscInfo(), const char *security = "T01");

// Two book closures of one security (T01) whose comparison tools_compare_test works out by
// hand: the older register (113/12/06) and the newer (114/06/30).
extern const std::vector<Holding> kOlderHoldings;
extern const std::vector<Holding> kNewerHoldings;
void writeComparePair(const std::filesystem::path &older, const std::filesystem::path &newer);

// Runs a Python snippet with argv[1] = `path`; its standard output.
std::string runPython(const std::string &script, const std::filesystem::path &path);

// Rows of a CSV file read by Python's csv module, each row's fields joined by U+241F.
std::vector<std::string> csvRows(const std::filesystem::path &path);

}  // namespace regdisc::test
