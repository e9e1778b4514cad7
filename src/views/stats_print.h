// The holder statistics on paper: the title and what the data check found, then each table
// with the rules under it and its charts, page after page.
#pragma once

#include "tools/stats_report.h"

#include <QImage>

#include <functional>

class QPagedPaintDevice;

namespace regdisc {

// The charts painted under a report's tables, side by side: how many under table `table`,
// and chart `k` of them painted into a picture of `logical` pixels at `scale` pixels each.
struct ReportCharts {
    std::function<int(size_t table)> count;
    std::function<QImage(size_t table, int k, QSize logical, qreal scale)> image;
};

// Paints a report (the statistics, the comparison) from the top of the first page; false
// when the device cannot be painted on.
bool paintReport(const StatsReport &report, const ReportCharts &charts, QPagedPaintDevice &device);

// Paints the report from the top of the first page; false when the device cannot be
// painted on.
bool paintStatsReport(const StatsReport &report, const HolderStats &stats, QPagedPaintDevice &device);

}  // namespace regdisc
