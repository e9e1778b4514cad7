// Tables written to a file: one writer per output format (CSV, XLSX, SQLite) behind one
// interface, so that export, batch lookup and whatever comes later write any of them.
#pragma once

#include "output/cell.h"
#include "output/output_file.h"
#include "platform/text.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace regdisc {

struct TableColumn {
    Text label;  // the heading a person reads (Chinese)
    std::string name;  // a stable ASCII name (SQLite)
    CellType type = CellType::Text;
    int decimals = 0;
    bool indexed = false;
    int width = 10;  // characters a value takes at most, for column widths
};

// A writer puts its file in place only when finish() has completed it: a writer destroyed
// before (the work failed or was cancelled) or whose finish() throws leaves no file under
// the target's name, and a file that was there as it was.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    // A new table: `name` is ASCII (psm), `title` what a person reads (證券所有人名冊).
    virtual void beginTable(std::string_view name, TextView title,
                            const std::vector<TableColumn> &columns) = 0;
    // One row, a cell per column.
    virtual void writeRow(const std::vector<Cell> &cells) = 0;
    virtual void endTable() = 0;
    // Completes the file and puts it in place; OutputError when it cannot be written,
    // WorkCancelled when the progress given at its creation was cancelled meanwhile.
    virtual void finish() = 0;
    // The files written (several CSV files for several tables).
    virtual std::vector<std::filesystem::path> files() const = 0;
};

enum class OutputFormat { Csv, Xlsx, Sqlite };

// The format a file name asks for by its extension (.csv, .xlsx, .sqlite or .db).
std::optional<OutputFormat> outputFormatOf(const std::filesystem::path &path);

// A writer of the format into `path`. Before it returns, the target is checked and its
// temporary file created (OutputError: an input, an existing file that may not be replaced,
// a folder that does not exist or cannot be written), so that an output that cannot be
// written is known before the work starts. `tables` names the tables to come, in order:
// CSV holds one table per file, and with more than one table, table T goes to
// "<stem>_<T>.csv" beside `path`; those files appear together or not at all.
std::unique_ptr<TableWriter> createTableWriter(OutputFormat format, const std::filesystem::path &path,
                                               const std::vector<std::string> &tables,
                                               const OutputOptions &options);
// The same when only the number of tables is known: the files of several CSV tables are
// checked as each table begins.
std::unique_ptr<TableWriter> createTableWriter(OutputFormat format, const std::filesystem::path &path,
                                               int tableCount, const OutputOptions &options = {});

std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path,
                                             const std::vector<std::string> &tables,
                                             const OutputOptions &options);
std::unique_ptr<TableWriter> createCsvWriter(const std::filesystem::path &path, int tableCount,
                                             const OutputOptions &options = {});
// CSV on an open stream (standard output), without a byte-order mark.
std::unique_ptr<TableWriter> createCsvWriter(std::FILE *stream);
std::unique_ptr<TableWriter> createXlsxWriter(const std::filesystem::path &path,
                                              const OutputOptions &options = {});
std::unique_ptr<TableWriter> createSqliteWriter(const std::filesystem::path &path,
                                                const OutputOptions &options = {});

}  // namespace regdisc
