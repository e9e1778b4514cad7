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

// Blanks that fill a field: the half-width blank and the ideographic (double-byte) blank.
inline bool isFillBlank(char16_t c)
{
    return c == u' ' || c == u'\u3000';
}
// The half-width blank alone: numbers and dates are padded with it.
inline bool isHalfWidthBlank(char16_t c)
{
    return c == u' ';
}
// The text without the blanks that fill it at its end, or at both ends; `isBlank` names
// what counts as a blank (the fill blanks unless told).
TextView trimEnd(TextView text, bool (*isBlank)(char16_t) = isFillBlank);
TextView trimBoth(TextView text, bool (*isBlank)(char16_t) = isFillBlank);

// Whether a character is a control character: C0 (U+0000-U+001F), DEL or C1
// (U+0080-U+009F).
bool isControl(char16_t c);

// The text for a terminal: every control character written visibly as \xHH (ESC as \x1B)
// and every backslash doubled, so that record text, whatever its bytes, can neither drive
// the terminal nor pass for an escape.
Text escapeControls(TextView text);

// Print columns a text takes: a character outside ASCII is double-byte on the disc and
// takes two columns.
int printColumns(TextView text);

}  // namespace regdisc
