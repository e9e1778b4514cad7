#include "views/stats_charts.h"

#include "tools/stats_report.h"
#include "views/qt_text.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace regdisc {

// A level in thousands of shares, short enough to stand under a bar.
QString levelCategory(int level)
{
    if (level == 0)
        return QStringLiteral("未滿1");
    const auto thousands = [](std::int64_t shares) { return QString::number(shares / 1000); };
    if (level == kLevels - 1)
        return QStringLiteral("逾") + thousands(kLevelUpperBounds.back());
    return thousands(kLevelUpperBounds[static_cast<size_t>(level - 1)] + 1) + QStringLiteral("–") +
           thousands(kLevelUpperBounds[static_cast<size_t>(level)]);
}

namespace {

QFont fontOf(const QString &family, qreal points, bool bold = false)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

QChart *newChart(const QString &title, const QString &family)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitleFont(fontOf(family, 10, true));
    chart->legend()->setFont(fontOf(family, 8));
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setTitle(title);
    return chart;
}

void addAxes(QChart *chart, QAbstractSeries *series, const QStringList &categories, const QString &xTitle,
             const QString &yTitle, qreal maximum, const QString &family)
{
    auto *x = new QBarCategoryAxis(chart);
    x->append(categories);
    x->setTitleText(xTitle);
    x->setLabelsFont(fontOf(family, 7));
    x->setTitleFont(fontOf(family, 8));
    if (categories.size() > 8)
        x->setLabelsAngle(-90);  // upright labels would be cut to fit under their bars
    auto *y = new QValueAxis(chart);
    y->setRange(0, maximum > 0 ? maximum * 1.05 : 1);
    y->applyNiceNumbers();
    y->setTitleText(yTitle);
    y->setLabelsFont(fontOf(family, 7));
    y->setTitleFont(fontOf(family, 8));
    y->setLabelFormat(maximum >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

QChart *createStatsChart(StatsChart which, const HolderStats &stats, const QString &family)
{
    QChart *chart = newChart({}, family);
    if (which == StatsChart::Structure) {
        // Share of the total per holder type, stacked by the form of the ID.
        chart->setTitle(QStringLiteral("股東結構：持股比例(%)"));
        auto *series = new QStackedBarSeries(chart);
        QStringList categories;
        for (const HolderType &type : stats.types)
            categories << qs(type.caption);
        qreal maximum = 0;
        std::vector<qreal> stacked(stats.types.size(), 0);
        for (int k = 0; k < kHolderKinds; ++k) {
            auto *set = new QBarSet(qs(holderKindCaption(static_cast<HolderKind>(k))));
            for (size_t t = 0; t < stats.types.size(); ++t) {
                const qreal value = stats.structure[t][static_cast<size_t>(k)].percent / 100.0;
                *set << value;
                stacked[t] += value;
            }
            series->append(set);
        }
        for (qreal v : stacked)
            maximum = std::max(maximum, v);
        chart->addSeries(series);
        addAxes(chart, series, categories, QStringLiteral("戶別"), QStringLiteral("%"), maximum, family);
        chart->legend()->setAlignment(Qt::AlignBottom);
        return chart;
    }
    const bool holders = which == StatsChart::LevelHolders;
    chart->setTitle(holders ? QStringLiteral("各級股東人數") : QStringLiteral("各級持股比例(%)"));
    auto *series = new QBarSeries(chart);
    auto *set = new QBarSet(holders ? QStringLiteral("股東人數") : QStringLiteral("持股比例(%)"));
    set->setColor(holders ? QColor(0x2f, 0x6d, 0xb5) : QColor(0xd0, 0x7a, 0x2c));
    QStringList categories;
    qreal maximum = 0;
    for (int level = 0; level < kLevels; ++level) {
        const LevelRow &row = stats.levels[static_cast<size_t>(level)];
        const qreal value = holders ? static_cast<qreal>(row.holders) : row.percent / 100.0;
        *set << value;
        maximum = std::max(maximum, value);
        categories << levelCategory(level);
    }
    series->append(set);
    chart->addSeries(series);
    chart->legend()->hide();
    addAxes(chart, series, categories, QStringLiteral("持股分級（千股）"),
            holders ? QStringLiteral("人數") : QStringLiteral("%"), maximum, family);
    return chart;
}

QImage statsChartImage(StatsChart which, const HolderStats &stats, const QString &family, QSize size,
                       qreal scale)
{
    return chartImage(createStatsChart(which, stats, family), size, scale);
}

QImage chartImage(QChart *chart, QSize size, qreal scale)
{
    QGraphicsScene scene;
    scene.addItem(chart);  // the scene owns it
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    chart->layout()->activate();
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

}  // namespace regdisc
