#include "screens/printout.h"

namespace regdisc {

namespace {

// The first (width - caption length) characters of the padding, all of it when that is
// more than the padding holds, none when the caption fills the width.
Text padding(TextView pad, int width, TextView caption)
{
    const int n = width - static_cast<int>(caption.size());
    if (n <= 0)
        return {};
    return Text(pad.substr(0, static_cast<size_t>(n)));
}

constexpr std::u16string_view kSeparator = u" : ";

PrintedLine textLine(int size, TextView text)
{
    return {size, {{Text(text), 0}}};
}

}  // namespace

PrintedDocument recordPrintout(const PrintLayout &layout, const TextLookup &caption, const TextLookup &box)
{
    PrintedDocument doc;
    doc.lines.push_back(textLine(layout.titleSize, u" "));
    for (TextView title : layout.titles)
        doc.lines.push_back(textLine(layout.titleSize, title));
    const int size = layout.bodySize;
    doc.lines.push_back(textLine(size, u" "));
    for (const PrintLineSpec &line : layout.lines) {
        const Text label = line.label.empty() ? Text(line.text) : caption(line.label);
        switch (line.kind) {
        // The value is a segment of its own: a value too long for the page goes on under
        // its own first column.
        case PrintLineKind::Label:
            doc.lines.push_back({size,
                                 {{padding(layout.padding, layout.labelWidth, label) + label, 0},
                                  {Text(kSeparator), layout.tabColumn},
                                  {box(line.box), 0}}});
            break;
        case PrintLineKind::TwoBoxes:
            doc.lines.push_back({size,
                                 {{padding(layout.padding, layout.labelWidth, label) + label, 0},
                                  {Text(kSeparator), layout.tabColumn},
                                  {box(line.box) + box(line.box2), 0}}});
            break;
        case PrintLineKind::OwnWidth:
            doc.lines.push_back({size,
                                 {{padding(layout.padding, line.number, label) + label + Text(kSeparator), 0},
                                  {box(line.box), 0}}});
            break;
        case PrintLineKind::Blank:
            doc.lines.push_back(textLine(size, u" "));
            break;
        case PrintLineKind::Caption:
            doc.lines.push_back(textLine(size, line.text));
            break;
        case PrintLineKind::Continuation:
            doc.lines.push_back({size, {{box(line.box), line.number}}});
            break;
        }
    }
    return doc;
}

PrintedDocument listingPrintout(TextView title, TextView listingText)
{
    PrintedDocument doc;
    doc.lines.push_back(textLine(20, u" "));
    doc.lines.push_back(textLine(20, title));
    doc.lines.push_back(textLine(12, u" "));
    size_t start = 0;
    while (!listingText.empty()) {
        const size_t end = listingText.find(u"\r\n", start);
        doc.lines.push_back(
            textLine(12, listingText.substr(start, end == TextView::npos ? TextView::npos : end - start)));
        if (end == TextView::npos)
            break;
        start = end + 2;
    }
    return doc;
}

Text plainText(const PrintedLine &line)
{
    Text out;
    int column = 1;
    for (const PrintSegment &segment : line.segments) {
        if (segment.column > column) {
            out.append(static_cast<size_t>(segment.column - column), u' ');
            column = segment.column;
        }
        out += segment.text;
        column += printColumns(segment.text);
    }
    return out;
}

}  // namespace regdisc
