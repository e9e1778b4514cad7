// The display rules that turn a record field into the text of its output box.
#pragma once

#include "platform/text.h"

#include <cstdint>

namespace regdisc {

enum class Rule { Text, Quantity, WholeNumber, Security, Date, BirthDate };

// The two disc-information values the rules read at the time of display.
struct DisplayContext {
    TextView decimalFlag;  // exactly u"Y": quantities carry two implied decimals
    TextView securityName;  // shown after the security code
};

// A field's box text by its rule. BirthDate takes the era flag and the 7-character date as
// one 8-character field.
Text applyRule(Rule rule, TextView field, const DisplayContext &context);

// "#,##0" of the numeric rule's value; "#,##0.00" of the value / 100 when decimalFlag is "Y".
Text formatQuantity(TextView field, TextView decimalFlag);
// "#,##0" whatever decimalFlag says.
Text formatWholeNumber(TextView field);
// A count in "#,##0" (records, holders, bytes in reports).
Text formatCount(std::int64_t n);
// Code, two blanks, securityName.
Text formatSecurity(TextView code, TextView securityName);
// yyyy/mm/dd of an 8-character date; empty for eight blanks.
Text formatDate(TextView field);
// yyy/mm/dd of the 7-character date after the era flag, with 民前 in front for flag "1".
Text formatBirthDate(TextView flagAndDate);
// The record history counters, each "0000 " formatted.
Text formatCounters(int oldest, int current, int newest);

}  // namespace regdisc
