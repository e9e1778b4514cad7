// Sequential text input of the disc's plain-text files.
#pragma once

#include "platform/text.h"

#include <functional>
#include <vector>

namespace regdisc {

// The first `count` list-input values of a text: a value ends at a comma or a line end;
// blanks before a value are skipped; a value that begins with a double quote runs to the
// next double quote and may hold commas; an empty line or two delimiters in a row give an
// empty value. `complete` is false when the text ends before the last value was read;
// `values` then holds those read before. `settled` tells that the values cannot change if
// the text went on: the last value ended at its delimiter (or closing quote) before the
// end of the text, so a file read from its start may stop there.
struct ListValues {
    std::vector<Text> values;
    bool complete = false;
    bool settled = false;
};
ListValues readListValues(TextView text, int count);

// The lines of a text without their line ends (CR LF, CR or LF); a last line without a
// line end counts; an empty text has no lines.
std::vector<Text> readLines(TextView text);
// The same lines one by one, without keeping them.
void forEachLine(TextView text, const std::function<void(TextView)> &visit);

}  // namespace regdisc
