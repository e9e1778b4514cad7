// Paints a printed document (lines of text and moves to print columns) on a paged Qt
// device: a QPrinter for the default printer, a QPdfWriter for a PDF file.
#pragma once

#include "screens/printout.h"

#include <QString>

class QPagedPaintDevice;

namespace regdisc {

// The font family that stands in for the requested one: the requested family where it
// is installed, otherwise a double-width CJK monospace family, so that a Chinese
// character takes exactly two print columns.
QString cjkFontFamily(const QString &requested);
inline constexpr const char *kStandInFontFamily = "Noto Sans Mono CJK TC";

// Paints the document from the top of the first page. One print column is the width of
// one half-width character of the line's font; a line that does not fit below the last
// one starts a new page, and a text too wide for the page goes on below, starting at the
// column where it began. False when the device cannot be painted on.
bool renderDocument(const PrintedDocument &doc, QPagedPaintDevice &device);

// Writes the document as an A4 PDF file with narrow side margins, so that a label line of
// up to 93 columns at 12 points fits; false when the file cannot be written.
bool renderToPdf(const PrintedDocument &doc, const QString &path, const QString &title = {});

}  // namespace regdisc
