// Batch lookup: a list of ID numbers, accounts or names looked up in every register, one
// output row per (input, register, record) and one "not found" row per input without a
// match, in input order.
#pragma once

#include "tools/disc.h"
#include "tools/holder_search.h"
#include "tools/progress.h"
#include "tools/table_writer.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace regdisc {

// The values of a list file: one per line of a text file, or one column of a CSV file
// (named by `column`, else the first). UTF-8 (with or without a byte-order mark) or, when
// the bytes are not UTF-8, code page 950. Blank values are skipped; blanks around a value
// are dropped. Nothing when the file cannot be read; `error` says why.
std::optional<std::vector<Text>> readInputList(const std::filesystem::path &path, const std::string &column,
                                               std::string &error);

// The values of a CSV text (RFC 4180): rows of fields.
std::vector<std::vector<Text>> parseCsv(TextView text);

struct BatchOptions {
    KeyClass keyClass = KeyClass::Id;
    bool prefix = false;  // match keys that begin with the input, not only equal ones
    std::vector<const DataSetSpec *> dataSets;  // empty: all
};

struct BatchSummary {
    std::int64_t inputs = 0;
    std::int64_t found = 0;  // inputs with at least one match
    std::int64_t rows = 0;
    std::vector<RegisterMatches> registers;  // each register's state (no matches kept)
};

// The table's columns: input, result, register, register name, party, record number,
// account, name, ID number, then the quantities (label and value) of the widest register,
// with two decimals when decimalFlag is "Y".
std::vector<TableColumn> batchColumns(const std::vector<const DataSetSpec *> &dataSets, TextView decimalFlag);

// The rows of one input's matches (or its one "not found" row) in `columns` of
// batchColumns; returns the number of rows written.
std::int64_t writeMatchRows(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                            const std::vector<HolderMatch> &matches);

// Looks every input up and writes the rows; finishes the writer. Throws OutputError or
// WorkCancelled.
BatchSummary runBatch(Disc &disc, const std::vector<Text> &inputs, const BatchOptions &options,
                      TableWriter &writer, Progress &progress);

}  // namespace regdisc
