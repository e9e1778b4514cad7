// The columns a register's records are written in: one per shown field, named by the
// label the screen and the printout give it, valued by the screen's display rules. Read
// from the data set's tables, so every register is written by the same code.
#pragma once

#include "datasets/dataset.h"
#include "engine/display_rules.h"
#include "output/cell.h"
#include "platform/text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace regdisc {

struct Column {
    Text label;  // the screen's label, with the party's heading where a label repeats
    std::string name;  // stable ASCII name (SQLite column): the field's meaning in snake case
    CellType type = CellType::Text;
    int decimals = 0;  // Number: places after the point
    std::vector<const FieldSpec *> parts;  // fields shown one after the other under the label
    bool indexed = false;  // an ID number, account or name key: worth an index
};

// The columns of a data set's records, in the order of its printout.
std::vector<Column> recordColumns(const DataSetSpec &spec, TextView decimalFlag);

// A record's cell of a column. Trailing blanks of the display text are dropped: they
// fill the field on the disc and carry nothing. A quantity is a number only when its field
// holds a whole number; otherwise the cell keeps the text alone.
void columnCell(const Column &column, TextView record, const DisplayContext &context, Cell &cell);

// The snake-case ASCII form of a field meaning ("pledgor.mailingAddress" ->
// "pledgor_mailing_address").
std::string snakeCase(std::string_view meaning);

// The box's label caption on the screen (empty when it has none).
Text boxCaption(const DataSetSpec &spec, std::string_view box);

}  // namespace regdisc
