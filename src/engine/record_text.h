// The record text model: a record is read whole by its number, decoded from code page
// 950 and cut or filled with blanks to the N characters its read states; fields are then
// taken by 1-based character position.
#pragma once

#include "platform/record_source.h"
#include "platform/text.h"

#include <cstdint>
#include <string>

namespace regdisc {

// Record n of the source as exactly `characters` characters; throws RecordReadError when the
// record is not in the source or cannot be read whole.
Text readRecordText(RecordSource &source, std::int64_t n, int characters);

// Decoded record bytes cut or filled with blanks to `characters`.
Text recordText(std::string_view bytes, int characters);
// The same into a buffer that is reused.
void recordText(std::string_view bytes, int characters, Text &out);

// The characters from 1-based `pos` for `width` characters; fewer (or none) when the text
// ends earlier.
Text field(TextView text, int pos, int width);
// The same characters as a view into `text` (no copy: the lookup's scans compare hundreds).
TextView fieldView(TextView text, int pos, int width);

// A decimal number read by the numeric rule, kept exactly as its digits.
struct Decimal {
    bool negative = false;
    std::string whole = "0";  // digits before the point, no leading zeros
    std::string fraction;  // digits after the point

    bool isZero() const;
    // The value divided by 10^places.
    Decimal shiftedRight(int places) const;
    // Rounded half away from zero to `places` decimals.
    Decimal rounded(int places) const;
};

// The numeric rule: the decimal number at the start of the text, blanks ignored wherever
// they stand; reading stops at the first character that cannot continue the number (an
// optional sign, digits, one decimal point); no number gives 0.
Decimal parseNumber(TextView text);

// Number(): the numeric rule rounded to a whole number (saturating far outside the range
// of record numbers).
std::int64_t wholeNumber(TextView text);

}  // namespace regdisc
