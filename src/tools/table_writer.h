// Tables written to a file: one writer per output format (CSV, XLSX, SQLite) behind one
// interface, so that export, batch lookup and whatever comes later write any of them.
#pragma once

#include "platform/text.h"
#include "tools/columns.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace regdisc {

struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TableColumn {
    Text label;  // the heading a person reads (Chinese)
    std::string name;  // a stable ASCII name (SQLite)
    CellType type = CellType::Text;
    int decimals = 0;
    bool indexed = false;
    int width = 10;  // characters a value takes at most, for column widths
};

class TableWriter {
public:
    virtual ~TableWriter() = default;
    // A new table: `name` is ASCII (psm), `title` what a person reads (證券所有人名冊).
    virtual void beginTable(std::string_view name, TextView title,
                            const std::vector<TableColumn> &columns) = 0;
    // One row, a cell per column.
    virtual void writeRow(const std::vector<Cell> &cells) = 0;
    virtual void endTable() = 0;
    // Completes the file; OutputError when it cannot be written.
    virtual void finish() = 0;
    // The files written (several CSV files for several tables).
    virtual std::vector<std::filesystem::path> files() const = 0;
};

enum class OutputFormat { Csv, Xlsx, Sqlite };

// The format a file name asks for by its extension (.csv, .xlsx, .sqlite or .db).
std::optional<OutputFormat> outputFormatOf(const std::filesystem::path &path);

// A writer of the format into `path`, replacing a file that is there. CSV holds one table
// per file: with more than one table, table T goes to "<stem>_<T>.csv" beside `path`.
std::unique_ptr<TableWriter> createTableWriter(OutputFormat format, const std::filesystem::path &path,
                                               int tableCount);

std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path, int tableCount);
// CSV on an open stream (standard output), without a byte-order mark.
std::unique_ptr<TableWriter> createCsvWriter(std::FILE *stream);
std::unique_ptr<TableWriter> createXlsxWriter(const std::filesystem::path &path);
std::unique_ptr<TableWriter> createSqliteWriter(const std::filesystem::path &path);

}  // namespace regdisc
