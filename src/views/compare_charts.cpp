#include "views/compare_charts.h"

#include "views/qt_text.h"
#include "views/stats_charts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegend>

#include <algorithm>

namespace regdisc {

QChart *createCompareChart(CompareChart which, const RegisterComparison &c, const QString &family)
{
    if (which == CompareChart::MovementHolders || which == CompareChart::MovementShares) {
        const bool holders = which == CompareChart::MovementHolders;
        QChart *chart =
            newChart(holders ? QStringLiteral("異動人數") : QStringLiteral("異動股數（千股）"), family);
        auto *series = new QBarSeries(chart);
        auto *set = new QBarSet(holders ? QStringLiteral("股東人數") : QStringLiteral("股數（千股）"));
        set->setColor(holders ? QColor(0x2f, 0x6d, 0xb5) : QColor(0xd0, 0x7a, 0x2c));
        QStringList categories;
        qreal maximum = 0;
        const qreal unit = c.decimals == 2 ? 100000.0 : 1000.0;
        for (int m = 0; m < kMovements; ++m) {
            const MovementRow &row = c.movement[static_cast<size_t>(m)];
            const qreal value =
                holders ? static_cast<qreal>(row.holders) : static_cast<qreal>(row.shares) / unit;
            *set << value;
            maximum = std::max(maximum, value);
            categories << qs(movementCaption(static_cast<Movement>(m)));
        }
        series->append(set);
        chart->addSeries(series);
        chart->legend()->hide();
        addAxes(chart, series, categories, QStringLiteral("異動"),
                holders ? QStringLiteral("人數") : QStringLiteral("千股"), maximum, family);
        return chart;
    }
    // The two discs' levels, older and newer side by side.
    const bool holders = which == CompareChart::LevelHolders;
    QChart *chart = newChart(holders ? QStringLiteral("各級股東人數（舊、新）")
                                     : QStringLiteral("各級持股比例(%)（舊、新）"),
                             family);
    auto *series = new QBarSeries(chart);
    auto *older = new QBarSet(QStringLiteral("舊 ") + qs(c.olderInfo.dataDate));
    auto *newer = new QBarSet(QStringLiteral("新 ") + qs(c.newerInfo.dataDate));
    older->setColor(QColor(0x9a, 0xa8, 0xb8));
    newer->setColor(holders ? QColor(0x2f, 0x6d, 0xb5) : QColor(0xd0, 0x7a, 0x2c));
    QStringList categories;
    qreal maximum = 0;
    for (int level = 0; level < kLevels; ++level) {
        const LevelRow &o = c.older.levels[static_cast<size_t>(level)];
        const LevelRow &n = c.newer.levels[static_cast<size_t>(level)];
        const qreal a = holders ? static_cast<qreal>(o.holders) : o.percent / 100.0;
        const qreal b = holders ? static_cast<qreal>(n.holders) : n.percent / 100.0;
        *older << a;
        *newer << b;
        maximum = std::max({maximum, a, b});
        categories << levelCategory(level);
    }
    series->append(older);
    series->append(newer);
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignBottom);
    addAxes(chart, series, categories, QStringLiteral("持股分級（千股）"),
            holders ? QStringLiteral("人數") : QStringLiteral("%"), maximum, family);
    return chart;
}

QImage compareChartImage(CompareChart which, const RegisterComparison &comparison, const QString &family,
                         QSize size, qreal scale)
{
    return chartImage(createCompareChart(which, comparison, family), size, scale);
}

}  // namespace regdisc
