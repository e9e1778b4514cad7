#include "views/stats_print.h"

#include "printing/document_renderer.h"
#include "views/qt_text.h"
#include "views/stats_charts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace regdisc {

namespace {

// Paints blocks one below the other; a block that does not fit below the last one starts
// a new page.
class ReportPainter {
public:
    ReportPainter(QPagedPaintDevice &device, QPainter &painter)
        : device_(device), painter_(painter), family_(printFontFamily(QStringLiteral("細明體")))
    {
    }

    qreal mm(qreal millimetres) const { return millimetres * device_.logicalDpiY() / 25.4; }
    qreal width() const { return device_.width(); }
    const QString &family() const { return family_; }

    QFont font(qreal points, bool bold = false) const
    {
        QFont f(family_);
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    // Room for `height` below the last block, on a new page when this one has none left.
    void makeRoom(qreal height)
    {
        if (y_ > 0 && y_ + height > device_.height()) {
            device_.newPage();
            y_ = 0;
        }
    }

    void space(qreal millimetres) { y_ += mm(millimetres); }

    void text(const QString &text, const QFont &f)
    {
        painter_.setFont(f);
        const QRectF bounds =
            painter_.boundingRect(QRectF(0, 0, width(), 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
        makeRoom(bounds.height());
        painter_.drawText(QRectF(0, y_, width(), bounds.height()), Qt::TextWordWrap | Qt::AlignLeft, text);
        y_ += bounds.height();
    }

    void table(const StatsTable &t)
    {
        // The largest font up to 9 points at which the table fits the page's width.
        const qreal padding = mm(1.2);
        qreal points = 9;
        std::vector<qreal> widths;
        for (;; points -= 0.5) {
            const QFontMetricsF plain(font(points), &device_);
            const QFontMetricsF bold(font(points, true), &device_);
            widths.assign(t.columns.size(), 0);
            for (size_t i = 0; i < t.columns.size(); ++i)
                widths[i] = bold.horizontalAdvance(qs(t.columns[i].label));
            for (const auto &row : t.rows)
                for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
                    widths[i] = std::max(widths[i], plain.horizontalAdvance(qs(row[i].text)));
            qreal total = 0;
            for (qreal &w : widths)
                total += (w += 2 * padding);
            if (total <= width() || points <= 5)
                break;
        }
        const qreal rowHeight = QFontMetricsF(font(points), &device_).lineSpacing() + mm(1);
        const auto drawRow = [&](const std::vector<QString> &cells, bool heading) {
            painter_.setFont(font(points, heading));
            qreal x = 0;
            for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
                const QRectF cell(x, y_, widths[i], rowHeight);
                if (heading)
                    painter_.fillRect(cell, QColor(0xe8, 0xe8, 0xe8));
                painter_.drawRect(cell);
                const bool number = !heading && t.columns[i].type == CellType::Number;
                painter_.drawText(cell.adjusted(padding, 0, -padding, 0),
                                  Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft), cells[i]);
                x += widths[i];
            }
            y_ += rowHeight;
        };
        std::vector<QString> heading;
        for (const TableColumn &c : t.columns)
            heading.push_back(qs(c.label));
        painter_.setPen(QPen(Qt::black, mm(0.15)));
        makeRoom(2 * rowHeight);
        drawRow(heading, true);
        for (const auto &row : t.rows) {
            if (y_ + rowHeight > device_.height()) {
                makeRoom(2 * rowHeight);
                drawRow(heading, true);  // the heading again on the new page
            }
            std::vector<QString> cells;
            for (const Cell &c : row)
                cells.push_back(qs(c.text));
            drawRow(cells, false);
        }
    }

    // Charts side by side across the page's width, `height` millimetres high.
    void charts(const ReportCharts &report, size_t table, qreal height)
    {
        const int count = report.count ? report.count(table) : 0;
        if (count <= 0)
            return;
        const qreal gap = mm(4);
        const qreal h = mm(height);
        const qreal w = (width() - gap * static_cast<qreal>(count - 1)) / static_cast<qreal>(count);
        makeRoom(h);
        // Pictures of 300 dots an inch, laid out as on a screen of 144 (the charts' texts a
        // little smaller than on the screen, so that the levels' labels have room).
        constexpr qreal kLayoutDpi = 144;
        const QSize logical(static_cast<int>(w / device_.logicalDpiX() * kLayoutDpi),
                            static_cast<int>(h / device_.logicalDpiY() * kLayoutDpi));
        qreal x = 0;
        for (int k = 0; k < count; ++k) {
            painter_.drawImage(QRectF(x, y_, w, h), report.image(table, k, logical, 300 / kLayoutDpi));
            x += w + gap;
        }
        y_ += h;
    }

private:
    QPagedPaintDevice &device_;
    QPainter &painter_;
    QString family_;
    qreal y_ = 0;
};

}  // namespace

bool paintStatsReport(const StatsReport &report, const HolderStats &stats, QPagedPaintDevice &device)
{
    // The levels' charts under the distribution, the structure's under the structure.
    const std::vector<std::vector<StatsChart>> charts{
        {StatsChart::LevelHolders, StatsChart::LevelShares}, {StatsChart::Structure}, {}};
    const QString family = printFontFamily(QStringLiteral("細明體"));
    return paintReport(
        report,
        {[&](size_t table) { return table < charts.size() ? static_cast<int>(charts[table].size()) : 0; },
         [&](size_t table, int k, QSize logical, qreal scale) {
             return statsChartImage(charts[table][static_cast<size_t>(k)], stats, family, logical, scale);
         }},
        device);
}

bool paintReport(const StatsReport &report, const ReportCharts &charts, QPagedPaintDevice &device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    ReportPainter page(device, painter);
    page.text(qs(report.title), page.font(14, true));
    page.space(2);
    for (const Text &line : report.summary)
        page.text(qs(line), page.font(8.5));
    for (size_t i = 0; i < report.tables.size(); ++i) {
        const StatsTable &t = report.tables[i];
        page.space(5);
        page.makeRoom(page.mm(20));
        page.text(qs(t.title), page.font(12, true));
        page.space(1.5);
        page.table(t);
        page.space(1.5);
        for (const Text &note : t.notes)
            page.text(QStringLiteral("註：") + qs(note), page.font(7.5));
        if (charts.count && charts.count(i) > 0) {
            page.space(3);
            page.charts(charts, i, 62);
        }
    }
    return painter.end();
}

}  // namespace regdisc
