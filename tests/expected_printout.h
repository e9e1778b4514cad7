// The expected printouts of tests/expected/printout_<ext>.txt and the same notation for a
// built document: one line per printed line, "<size>|<text>|", with "<tab N>" for a move
// of the print position to column N; the first line names the font.
#pragma once

#include "platform/text.h"
#include "screens/printout.h"

#include <fstream>
#include <string>
#include <vector>

#ifndef REGDISC_EXPECTED_DIR
#error "REGDISC_EXPECTED_DIR names the folder of the expected printouts"
#endif

namespace regdisc::test {

inline std::vector<std::string> printedLines(const PrintedDocument &doc)
{
    std::vector<std::string> lines{"font " + toUtf8(doc.fontName)};
    for (const PrintedLine &line : doc.lines) {
        std::string text = std::to_string(line.fontSize) + "|";
        for (const PrintSegment &segment : line.segments) {
            if (segment.column > 0)
                text += "<tab " + std::to_string(segment.column) + ">";
            text += toUtf8(segment.text);
        }
        lines.push_back(text + "|");
    }
    return lines;
}

// The lines of tests/expected/printout_<ext>.txt without its comment lines.
inline std::vector<std::string> expectedPrintout(const std::string &ext)
{
    std::ifstream file(std::string(REGDISC_EXPECTED_DIR) + "/printout_" + ext + ".txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() != '#')
            lines.push_back(line);
    }
    return lines;
}

}  // namespace regdisc::test
