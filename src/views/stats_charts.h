// The charts of the holder statistics (Qt Charts): holders and share of the total per
// holding level, and the share of the total per holder type and form of ID. The window
// shows them; the printout paints them as pictures beside its tables.
#pragma once

#include "tools/holder_stats.h"

#include <QImage>
#include <QString>

class QChart;

namespace regdisc {

enum class StatsChart { LevelHolders, LevelShares, Structure };

// A new chart; the caller owns it. `family` is the font of its texts.
QChart *createStatsChart(StatsChart which, const HolderStats &stats, const QString &family);

// The chart painted into a picture of `size` logical pixels at `scale` pixels each.
QImage statsChartImage(StatsChart which, const HolderStats &stats, const QString &family, QSize size,
                       qreal scale);

}  // namespace regdisc
