// A printed document as lines of text and moves to print columns, built from what a
// screen shows. The printer layer renders it; the command line renders it as plain text.
#pragma once

#include "datasets/dataset.h"
#include "platform/text.h"

#include <functional>
#include <string_view>
#include <vector>

namespace regdisc {

inline constexpr std::u16string_view kPrintFont = u"細明體";

// A text printed at the current position; a text too long for the paper goes on below,
// under the segment's first column.
struct PrintSegment {
    Text text;  // printed at the current position
    int column = 0;  // when > 0: first move the print position to this column (1-based)
};

struct PrintedLine {
    int fontSize = 12;
    std::vector<PrintSegment> segments;
};

struct PrintedDocument {
    Text fontName{kPrintFont};
    std::vector<PrintedLine> lines;
};

using TextLookup = std::function<Text(std::string_view name)>;

// The record printout: a blank line and the titles at the title size, a blank line and
// the layout's lines at the body size. Captions and box texts come from the screen.
PrintedDocument recordPrintout(const PrintLayout &layout, const TextLookup &caption, const TextLookup &box);

// The listing printout: the listing box's text as one item, each line break starting a
// new printed line.
PrintedDocument listingPrintout(TextView title, TextView listingText);

// The line as plain text: a move to a column becomes blanks, counting two columns for a
// double-byte character.
Text plainText(const PrintedLine &line);

}  // namespace regdisc
