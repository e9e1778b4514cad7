// The PDF copies a disc carries beside its data sets (stkidx/<baseName>_<ext>.pdf): a
// readable listing of a data set's records, written for the sample disc so that the
// screens' "PDF 格式" button opens something real.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace regdisc {

struct PdfCopyError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes the PDF copy of every data set that has a PDF button, for the disc under
// `folder`: a title page heading, then each record as its printout shows it, in the order
// of the screen's initial key, at most `maxRecords` of them. Needs a QGuiApplication.
// Returns the files written; throws PdfCopyError when the disc cannot be read or a copy
// cannot be written.
std::vector<std::filesystem::path> writePdfCopies(const std::filesystem::path &folder, int maxRecords = 300);

}  // namespace regdisc
