// A record's fields as typed values, decoded in one place for every whole-disc tool: text
// as stored, quantities in stored units with their scale, dates as shown.
#pragma once

#include "engine/record_layout.h"
#include "platform/text.h"

#include <cstdint>

namespace regdisc {

// A quantity field. The disc stores whole numbers: shares, or hundredths of a share where
// the quantity rule reads two implied decimals (decimalFlag "Y").
struct Quantity {
    std::int64_t units = 0;  // the stored number (the numeric rule's value where malformed)
    int scale = 0;  // implied decimals: 2 or 0
    // The field holds a whole number: digits with blanks before or after them, an optional
    // sign before the digits, or only blanks (zero). Anything else (a letter, a blank
    // between digits, a sign after a digit, a decimal point) is not a number the disc can
    // hold; the numeric rule would read only part of it.
    bool wellFormed = true;

    // The value in shown units (units / 10^scale).
    double shown() const;
};

// The field's quantity; `decimalFlag` gives the scale of a Quantity-rule field (a
// WholeNumber-rule field has none).
Quantity quantityOf(const FieldSpec &field, TextView record, TextView decimalFlag);
// The same of a field's text alone.
Quantity quantityOfText(TextView text, Rule rule, TextView decimalFlag);

// The field's characters as stored.
TextView textOf(const FieldSpec &field, TextView record);

// Whether a field holds a quantity (the Quantity or the WholeNumber rule) or a date.
inline bool isQuantity(const FieldSpec &field)
{
    return field.rule == Rule::Quantity || field.rule == Rule::WholeNumber;
}
inline bool isDate(const FieldSpec &field)
{
    return field.rule == Rule::Date || field.rule == Rule::BirthDate;
}

}  // namespace regdisc
