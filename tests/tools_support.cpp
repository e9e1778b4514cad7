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
