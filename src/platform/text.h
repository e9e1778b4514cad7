// Text as the system handles it: UTF-16, one character per code unit, like the screens'
// text boxes. Conversion to and from UTF-8 happens only at the edges (files, terminal).
#pragma once

#include <string>
#include <string_view>

namespace regdisc {

using Text = std::u16string;
using TextView = std::u16string_view;

std::string toUtf8(TextView text);
Text fromUtf8(std::string_view utf8);
Text fromAscii(std::string_view ascii);

// Letters converted to upper case one character for one, so the length never changes.
Text toUpper(TextView text);

// Print columns a text takes: a character outside ASCII is double-byte on the disc and
// takes two columns.
int printColumns(TextView text);

}  // namespace regdisc
