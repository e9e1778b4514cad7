// The charts of the holder statistics (Qt Charts): holders and share of the total per
// holding level, and the share of the total per holder type and form of ID. The window
// shows them; the printout paints them as pictures beside its tables.
#pragma once

#include "tools/holder_stats.h"

#include <QImage>
#include <QString>

class QAbstractSeries;
class QChart;

namespace regdisc {

enum class StatsChart { LevelHolders, LevelShares, Structure };

// A new chart; the caller owns it. `family` is the font of its texts.
QChart *createStatsChart(StatsChart which, const HolderStats &stats, const QString &family);

// The chart painted into a picture of `size` logical pixels at `scale` pixels each.
QImage statsChartImage(StatsChart which, const HolderStats &stats, const QString &family, QSize size,
                       qreal scale);

// What the charts of the statistics and of the comparison share: a chart with its title
// in the font family, the axes of a bar chart (categories below, values from zero to a
// little above `maximum`), a level's short category ("1–5" thousand shares), and a chart
// painted into a picture (the chart is deleted).
QChart *newChart(const QString &title, const QString &family);
void addAxes(QChart *chart, QAbstractSeries *series, const QStringList &categories, const QString &xTitle,
             const QString &yTitle, qreal maximum, const QString &family);
QString levelCategory(int level);
QImage chartImage(QChart *chart, QSize size, qreal scale);

}  // namespace regdisc
