#include "tools_support.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace regdisc::test {

void writeHolderDisc(const std::filesystem::path &folder, const std::string &decimalFlag)
{
    const DataSetSpec &psm = psmDataSet();
    std::vector<Text> holders{
        makeRecord(
            psm, {{"account", "11110000001"}, {"name", "王大明"}, {"id", "A123456789"}, {"shares", "1000"}}),
        makeRecord(
            psm, {{"account", "11110000002"}, {"name", "王小明"}, {"id", "A223456789"}, {"shares", "2000"}}),
        makeRecord(
            psm, {{"account", "22220000003"}, {"name", "陳美玲"}, {"id", "B123456789"}, {"shares", "3000"}}),
        makeRecord(
            psm,
            {{"account", "11110000004"}, {"name", "王大明"}, {"id", "A123456789"}, {"shares", "123456"}}),
        makeRecord(
            psm,
            {{"account", "33330000005"}, {"name", "歐陽小明明明明"}, {"id", "C100000001"}, {"shares", "5"}}),
    };
    const DataSetSpec &pla = plaDataSet();
    const auto pledge = [&](const char *a1, const char *n1, const char *i1, const char *a2, const char *n2,
                            const char *i2, const char *shares) {
        return makeRecord(pla, {{"pledgor.account", a1},
                                {"pledgor.name", n1},
                                {"pledgor.id", i1},
                                {"pledgee.account", a2},
                                {"pledgee.name", n2},
                                {"pledgee.id", i2},
                                {"pledgedShares", shares},
                                {"securityCode", "2330"}});
    };
    std::vector<Text> pledges{
        pledge("11110000001", "王大明", "A123456789", "99990000001", "第一銀行", "12345678", "500"),
        pledge("22220000003", "陳美玲", "B123456789", "11110000004", "王大明", "A123456789", "700"),
        pledge("33330000005", "歐陽小明明明明", "C100000001", "99990000001", "第一銀行", "12345678", "900"),
    };
    const DataSetSpec &psr = psrDataSet();
    std::vector<Text> registrations{
        makeRecord(psr, {{"id", "A123456789"}, {"name", "王大明"}, {"shares", "10"}}),
        makeRecord(psr, {{"id", "D100000000"}, {"name", "林志豪"}, {"shares", "20"}}),
    };
    // Small sections and blocks, so that lookups cross blocks.
    const IndexOptions small{.sectionSize = 1, .blockSize = 2, .topEntries = 100};
    writeTestDisc(folder, {{&psm, holders, small}, {&pla, pledges, small}, {&psr, registrations, small}},
                  testDiscInfo(decimalFlag));
}

namespace {

Text holderRecord(const char *account, const char *name, const char *id, const char *shares,
                  const char *total, const char *type)
{
    return makeRecord(psmDataSet(), {{"account", account},
                                     {"name", name},
                                     {"id", id},
                                     {"shares", shares},
                                     {"totalShares", total},
                                     {"holderType", type},
                                     {"securityCode", "2330"}});
}

}  // namespace

void writeStatsDisc(const std::filesystem::path &folder)
{
    std::vector<Text> records{
        holderRecord("10000000001", "王一", "A100000001", "999", "999", "0"),
        holderRecord("10000000002", "王二", "A100000002", "1000", "1000", "0"),
        holderRecord("10000000003", "陳美", "B200000001", "400", "5000", "0"),
        holderRecord("10000000004", "王三", "A100000003", "5000", "5000", "0"),
        holderRecord("10000000005", "王四", "A100000004", "5001", "5001", "0"),
        holderRecord("10000000006", "台灣科技股份有限公司", "12345678", "1000000", "1000000", "0"),
        holderRecord("10000000007", "環球基金投資專戶", "87654321", "1000001", "1000001", "1"),
        holderRecord("10000000008", "陳美", "B200000001", "600", "5000", "0"),
        holderRecord("10000000009", "林大", "C100000001", "2000", "6000", "0"),
        holderRecord("10000000010", "張零", "D100000001", "0", "0", "0"),
        holderRecord("77770000001", "無編一", "", "700", "700", "0"),
        holderRecord("77770000002", "無編二", "", "300", "300", "0"),
        holderRecord("10000000013", "格式錯", "A12-345678", "50000", "50000", "2"),
        holderRecord("10000000014", "舊證號", "AB12345678", "15000", "15000", "2"),
        holderRecord("10000000015", "未知戶", "E100000001", "20001", "20001", "9"),
        holderRecord("10000000016", "陳美", "B200000001", "4000", "5000", "0"),
        holderRecord("10000000017", "林大", "C100000001", "3000", "6000", "0"),
        holderRecord("10000000018", "方甲", "F100000001", "600", "1000", "0"),
        holderRecord("10000000019", "方甲", "F100000001", "400", "1000", "2"),
    };
    writeTestDisc(folder, {{&psmDataSet(), records}});
}

void writeDecimalStatsDisc(const std::filesystem::path &folder)
{
    std::vector<Text> records{
        holderRecord("20000000001", "甲", "A100000001", "99900", "99900", "0"),
        holderRecord("20000000002", "乙", "A100000002", "99999", "99999", "0"),
        holderRecord("20000000003", "丙", "A100000003", "50", "50", "0"),
        holderRecord("20000000004", "丁", "A100000004", "50", "100", "0"),
        holderRecord("20000000005", "戊", "A100000005", "100000", "100000", "0"),
        holderRecord("20000000006", "丁", "A100000004", "50", "100", "0"),
        holderRecord("20000000007", "己", "A100000006", "500099", "500099", "0"),
        holderRecord("20000000008", "庚", "A100000007", "500100", "500100", "0"),
        holderRecord("20000000009", "辛", "12345678", "100000099", "100000099", "0"),
        holderRecord("20000000010", "壬", "87654321", "100000100", "100000100", "1"),
        holderRecord("20000000011", "癸", "A100000008", "0", "0", "0"),
    };
    writeTestDisc(folder, {{&psmDataSet(), records}}, testDiscInfo("Y"));
}

namespace {

Text holdingRecord(const Holding &h, const char *security)
{
    return makeRecord(psmDataSet(), {{"account", h.account},
                                     {"name", h.name},
                                     {"id", h.id},
                                     {"shares", h.shares},
                                     {"totalShares", h.total},
                                     {"holderType", h.type},
                                     {"securityCode", security}});
}

}  // namespace

void writeRegister(const std::filesystem::path &folder, const std::vector<Holding> &holdings,
                   const DiscInfo &info, const char *security)
{
    std::vector<Text> records;
    for (const Holding &h : holdings)
        records.push_back(holdingRecord(h, security));
    writeTestDisc(folder, {{&psmDataSet(), records}}, info);
}

// The older register: nine holders with shares (125,300 shares) and 張五 with none.
// C100000001 holds two accounts, B100000001 one; 40000000001 has no ID.
const std::vector<Holding> kOlderHoldings{
    {"10000000001", "王一", "A100000001", "1000", "1000"},
    {"10000000002", "王二", "A100000002", "2000", "2000"},
    {"10000000003", "陳三", "A100000003", "4000", "4000"},
    {"10000000004", "林四", "A100000004", "500", "500"},
    {"10000000005", "張五", "A100000005", "0", "0"},
    {"20000000001", "許八", "B100000001", "6000", "6000"},
    {"30000000001", "周七", "C100000001", "1500", "3000"},
    {"30000000002", "周七", "C100000001", "1500", "3000"},
    {"40000000001", "無編號", "", "800", "800"},
    {"50000000001", "台灣科技股份有限公司", "12345678", "100000", "100000"},
    {"50000000002", "環球基金投資專戶", "87654321", "8000", "8000", "1"},
};

// The newer register (137,500 shares, eleven holders): 林四 gone; 李六 new, before 王二 in
// the register; 許八's one holding now in two accounts under the same ID; 周七's two
// accounts now without an ID (two holders by account); 張五 bought 700.
const std::vector<Holding> kNewerHoldings{
    {"10000000001", "王一", "A100000001", "1000", "1000"},
    {"10000000006", "李六", "A100000006", "3000", "3000"},
    {"10000000002", "王二", "A100000002", "5000", "5000"},
    {"10000000003", "陳三", "A100000003", "1000", "1000"},
    {"10000000005", "張五", "A100000005", "700", "700"},
    {"20000000001", "許八", "B100000001", "4000", "6000"},
    {"20000000002", "許八", "B100000001", "2000", "6000"},
    {"30000000001", "周七", "", "1500", "1500"},
    {"30000000002", "周七", "", "1500", "1500"},
    {"40000000001", "無編號", "", "800", "800"},
    {"50000000001", "台灣科技股份有限公司", "12345678", "97000", "97000"},
    {"50000000002", "環球基金投資專戶", "87654321", "20000", "20000", "1"},
};

void writeComparePair(const std::filesystem::path &older, const std::filesystem::path &newer)
{
    writeRegister(older, kOlderHoldings);
    writeRegister(newer, kNewerHoldings, {u"T01", u"測試公司", u"114/06/30", u"N", u"114/07/02"});
}

std::string runPython(const std::string &script, const std::filesystem::path &path)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("regdisc-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(&script)) + ".py");
    std::ofstream(file) << script;
    // The system's Python, which has the packages scripts/install-deps.sh installs.
    const std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const std::string command = python + " '" + file.string() + "' '" + path.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 4096> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()))
        out += buffer.data();
    pipe.reset();
    std::filesystem::remove(file);
    return out;
}

std::vector<std::string> csvRows(const std::filesystem::path &path)
{
    const std::string out = runPython(R"(import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    for row in csv.reader(f):
        print('\u241f'.join(row))
)",
                                      path);
    std::vector<std::string> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    return rows;
}

}  // namespace regdisc::test
