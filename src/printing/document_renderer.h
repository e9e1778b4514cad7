// Paints a printed document (lines of text and moves to print columns) on a paged Qt
// device: a QPrinter for the default printer, a QPdfWriter for a PDF file.
#pragma once

#include "screens/printout.h"

#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace regdisc {

// The font family that stands in for the requested one on screen: the requested family
// where it is installed, otherwise a double-width CJK monospace family, so that a Chinese
// character takes exactly two columns.
QString cjkFontFamily(const QString &requested);
inline constexpr const char *kStandInFontFamily = "Noto Sans Mono CJK TC";

// The font family of a printout: the requested family where it is installed, otherwise
// the Ming face AR PL UMing (close to 細明體, half-width Latin letters, and a font whose
// ideographs share no glyph with a CJK radical, so that the text of a saved PDF names the
// very characters printed), otherwise the screen's stand-in.
QString printFontFamily(const QString &requested);
inline constexpr const char *kPrintStandInFontFamily = "AR PL UMing TW";

// Paints the document from the top of the first page. One print column is the width of
// one half-width character of the line's font; a line that does not fit below the last
// one starts a new page. A segment too wide for the page breaks after a blank between
// words (within a word only when the word alone is wider than the line) and goes on
// below, starting at the column where the segment began. False when the device cannot
// be painted on.
bool renderDocument(const PrintedDocument &doc, QPagedPaintDevice &device);

// Writes the document as an A4 PDF file with narrow side margins, so that a label line of
// up to 93 columns at 12 points fits; false when the file cannot be written.
bool renderToPdf(const PrintedDocument &doc, const QString &path, const QString &title = {});

// Pages painted by `paint` on a device; false when they could not be.
using PaintPages = std::function<bool(QPagedPaintDevice &device)>;
// The same A4 PDF file of pages painted by `paint`.
bool paintToPdf(const PaintPages &paint, const QString &path, const QString &title = {});

}  // namespace regdisc
