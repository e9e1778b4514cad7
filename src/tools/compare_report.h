// The comparison of two book closures as the tables a person reads, in the shape of the
// statistics' report, so that the same writers (CSV, XLSX), the same text lines and the
// same printout serve it: the movement, the largest net buyers and sellers, the holders
// who crossed the percentage, and the distribution, structure and breakdowns of both discs
// side by side with their change.
#pragma once

#include "tools/register_compare.h"
#include "tools/stats_report.h"

namespace regdisc {

// `showId`: ID numbers whole; otherwise only their first and last three characters.
StatsReport compareReport(const RegisterComparison &comparison, bool showId);
// The names of its tables and of its notes, in the order they are written (the files of a
// CSV output are made before the registers are read).
std::vector<std::string> compareTableNames();

// The ID a report shows for a holder: masked unless `showId`, the account where it has
// no ID.
Text shownId(const HolderChange &holder, bool showId);

// Hundredths of a percent with their sign: "+1.25", "-0.50", "0.00".
Text formatSignedPercent(int hundredths);

}  // namespace regdisc
