// Batch lookup: a list of ID numbers, accounts or names looked up in every register, one
// output row per (input, register, record), one 無法讀取 row per input and register that
// could not be read, and one 查無資料 row per input without a match in a register that
// could be read, in input order.
#pragma once

#include "disc/opened_disc.h"
#include "output/table_writer.h"
#include "platform/progress.h"
#include "tools/holder_search.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace regdisc {

// How a list file is read.
struct ListOptions {
    // CSV: the column that holds the values, by its heading in the first row (or, with
    // `noHeader`, by its number from 1); empty: the first column.
    std::string column;
    // CSV: the first row is a row of values, not the headings.
    bool noHeader = false;
};

// The values of a list file: one per line of a text file, or one column of a CSV file,
// whose first row holds the headings. UTF-8 (with or without a byte-order mark) or code
// page 950, decided for the whole file; a file that is neither is refused, naming its
// first line that cannot be read. Blank values are skipped; blanks around a value are
// dropped; a value longer than any key (200 characters) is refused, as is a file over
// 64 MB. Nothing when the file cannot be read; `error` says why, in Chinese.
std::optional<std::vector<Text>> readInputList(const std::filesystem::path &path, const ListOptions &options,
                                               Text &error);

struct BatchOptions {
    KeyClass keyClass = KeyClass::Id;
    bool prefix = false;  // match keys that begin with the input, not only equal ones
    std::vector<const DataSetSpec *> dataSets;  // empty: all
    // From this many inputs on the lookups walk by a skip index: one pass over the chains
    // costs about what twenty thousand walks of a section do on an index of a hundred
    // blocks of a hundred entries.
    std::size_t skipIndexFrom = 20000;
    // Every this many entries of a section the skip index remembers one: a lookup then reads
    // at most this many DetailEntries, which a long list pays for in memory (at spacing 4,
    // 32 bytes an entry of the register over 4).
    int skipSpacing = 4;
    // From this many inputs on the list is looked up on `threads` threads at once (0: one a
    // core, at most four), each with the registers opened for itself and a chunk of inputs
    // at a time; the rows are written in the list's order all the same.
    std::size_t threadsFrom = 4096;
    int threads = 0;
    std::size_t chunk = 256;
};

struct BatchSummary {
    std::int64_t inputs = 0;
    std::int64_t found = 0;  // inputs with at least one match
    std::int64_t rows = 0;
    std::int64_t unknown = 0;  // inputs without a match whose answer a register could not give
    // Each register's state for the whole list: unreadable (with its message) when it could
    // not be opened or a lookup met damage; no matches are kept.
    std::vector<RegisterMatches> registers;
    bool whole() const;  // every register could be read
};

// The table's columns: input, result, register, register name, party, record number,
// account, name, ID number, then the quantities (label and value) of the widest register,
// and a note (why a register could not be read, what is wrong with a record).
std::vector<TableColumn> batchColumns(const std::vector<const DataSetSpec *> &dataSets);

// The rows of one input's answer in `columns` of batchColumns: its matches, a 無法讀取 row
// per register in `unreadable`, and, when there is neither, one 查無資料 row; returns the
// number of rows written.
std::int64_t writeMatchRows(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                            const std::vector<HolderMatch> &matches,
                            const std::vector<const RegisterMatches *> &unreadable);
// The same rows one at a time, for answers that are written as they are found.
void writeMatchRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                   const HolderMatch &match);
void writeUnreadableRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input,
                        const RegisterMatches &reg);
void writeNotFoundRow(TableWriter &writer, const std::vector<TableColumn> &columns, TextView input);

// Looks every input up and writes the rows; finishes the writer. Throws OutputError or
// WorkCancelled.
BatchSummary runBatch(const Disc &disc, const std::vector<Text> &inputs, const BatchOptions &options,
                      TableWriter &writer, Progress &progress);

}  // namespace regdisc
