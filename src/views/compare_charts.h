// The charts of the comparison (Qt Charts): the holders and the shares of each movement as
// bars, and the two discs' distributions as paired bars per holding level. The window
// shows them; the printout paints them as pictures under their tables.
#pragma once

#include "tools/register_compare.h"

#include <QImage>
#include <QString>

class QChart;

namespace regdisc {

enum class CompareChart { MovementHolders, MovementShares, LevelHolders, LevelPercent };

// A new chart; the caller owns it. `family` is the font of its texts.
QChart *createCompareChart(CompareChart which, const RegisterComparison &comparison, const QString &family);

QImage compareChartImage(CompareChart which, const RegisterComparison &comparison, const QString &family,
                         QSize size, qreal scale);

}  // namespace regdisc
