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

// Runs a Python snippet with argv[1] = `path`; its standard output.
std::string runPython(const std::string &script, const std::filesystem::path &path);

// Rows of a CSV file read by Python's csv module, each row's fields joined by U+241F.
std::vector<std::string> csvRows(const std::filesystem::path &path);

}  // namespace regdisc::test
