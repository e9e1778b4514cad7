// The holder statistics on paper: the title and what the data check found, then each table
// with the rules under it and its charts, page after page.
#pragma once

#include "tools/stats_report.h"

class QPagedPaintDevice;

namespace regdisc {

// Paints the report from the top of the first page; false when the device cannot be
// painted on.
bool paintStatsReport(const StatsReport &report, const HolderStats &stats, QPagedPaintDevice &device);

}  // namespace regdisc
