// Export: every record of a register in its DataFile order, one column per shown field,
// written as CSV, XLSX or SQLite.
#pragma once

#include "datasets/dataset.h"
#include "disc/opened_disc.h"
#include "output/table_writer.h"
#include "platform/progress.h"
#include "tools/columns.h"

#include <cstdint>
#include <vector>

namespace regdisc {

struct RegisterExport {
    const DataSetSpec *spec = nullptr;
    RegisterState state = RegisterState::Present;
    Text message;  // why it is unreadable, or was exported only in part
    std::int64_t records = 0;  // records written
    std::uint64_t trailingBytes = 0;  // a partial record at the end, left out
    std::int64_t beyondIndex = 0;  // records past what the index can name, left out
    std::int64_t undecodable = 0;  // characters that are not code page 950, shown as U+FFFD
    std::int64_t undecodableRecords = 0;  // records holding such characters
    std::int64_t damagedRecords = 0;  // records whose bytes do not hold their fields as laid out
    std::int64_t malformedQuantities = 0;  // quantity fields that hold no whole number: written as text
    std::vector<std::int64_t> firstDamaged;  // the first few record numbers of each
    std::vector<std::int64_t> firstMalformed;
};

struct ExportSummary {
    std::vector<RegisterExport> registers;
    std::vector<std::filesystem::path> files;
    bool whole() const;  // every register present was read whole
};

// The columns of an export table: the record number, the record's columns, and a note
// that says what is wrong with a record (empty for a sound one).
std::vector<TableColumn> exportTableColumns(const std::vector<Column> &columns);

// Exports the data sets (present ones; absent ones are reported as such) to the writer,
// one table each, and finishes the writer. Throws OutputError or WorkCancelled.
ExportSummary exportRegisters(const Disc &disc, const std::vector<const DataSetSpec *> &dataSets,
                              TableWriter &writer, Progress &progress);

}  // namespace regdisc
