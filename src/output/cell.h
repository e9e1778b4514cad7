// One value of a written table and the kind of its column.
#pragma once

#include "platform/text.h"

#include <cstdint>

namespace regdisc {

enum class CellType {
    Text,
    Number,  // a quantity or a whole number: written as a number where the format has them
};

// One written value: the display text and, for numbers, the value.
struct Cell {
    Text text;
    bool isNumber = false;
    double number = 0;
    std::int64_t whole = 0;  // the number when it has no decimals
    int decimals = -1;  // places of this number where they differ from its column's; -1: the column's
};

}  // namespace regdisc
