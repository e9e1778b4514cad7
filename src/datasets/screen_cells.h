// Shorthands for the cells of a query screen's output area.
#pragma once

#include "datasets/dataset.h"

#include <string_view>
#include <utility>
#include <vector>

namespace regdisc {

// A label with one output box and the legends to its right.
inline CellSpec boxCell(std::string_view label, std::u16string_view caption, std::string_view box,
                        BoxSize size = BoxSize::Normal, std::vector<LegendSpec> legends = {})
{
    return {label, caption, {{box, size}}, std::move(legends)};
}

// A heading: a label without a box.
inline CellSpec headingCell(std::string_view label, std::u16string_view caption)
{
    return {label, caption, {}, {}};
}

}  // namespace regdisc
