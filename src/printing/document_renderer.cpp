#include "printing/document_renderer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <optional>

namespace regdisc {

QString cjkFontFamily(const QString &requested)
{
    if (!requested.isEmpty() && QFontDatabase::hasFamily(requested))
        return requested;
    return QString::fromLatin1(kStandInFontFamily);
}

QString printFontFamily(const QString &requested)
{
    if (!requested.isEmpty() && QFontDatabase::hasFamily(requested))
        return requested;
    if (QFontDatabase::hasFamily(QString::fromLatin1(kPrintStandInFontFamily)))
        return QString::fromLatin1(kPrintStandInFontFamily);
    return QString::fromLatin1(kStandInFontFamily);
}

namespace {

// The print position of a document being painted.
class PagePainter {
public:
    PagePainter(QPagedPaintDevice &device, QPainter &painter, const QString &family)
        : device_(device), painter_(painter), family_(family)
    {
    }

    void setFontSize(int points)
    {
        QFont font(family_);
        font.setPointSizeF(points);
        font.setStyleHint(QFont::TypeWriter);
        painter_.setFont(font);
        metrics_.emplace(font, &device_);
        column_ = metrics_->horizontalAdvance(QLatin1Char('0'));
    }

    // Starts a line below the last one, or at the top of a new page when it would not fit.
    void newLine()
    {
        const qreal height = metrics_->lineSpacing();
        lineTop_ = lineTop_ < 0 ? 0 : lineTop_ + lastHeight_;
        if (lineTop_ > 0 && lineTop_ + height > device_.height()) {
            device_.newPage();
            lineTop_ = 0;
        }
        lastHeight_ = height;
        x_ = 0;
    }

    // A move to a 1-based print column; a column already passed continues below it.
    void moveToColumn(int column)
    {
        const qreal target = (column - 1) * column_;
        if (x_ > target + 0.5)
            newLine();
        x_ = target;
    }

    void print(const QString &text)
    {
        const qreal start = x_;
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype end = from + fitting(text, from);
            qsizetype cut = end;
            // A word that would be cut goes on the next line whole, unless it is the only
            // word on this one.
            if (end < text.size() && !isBlank(text.at(end))) {
                qsizetype wordStart = end;
                while (wordStart > from && !isBlank(text.at(wordStart - 1)))
                    --wordStart;
                if (wordStart > from)
                    cut = wordStart;
            }
            const QString piece = text.mid(from, cut - from);
            painter_.drawText(QPointF(x_, lineTop_ + metrics_->ascent()), piece);
            x_ += metrics_->horizontalAdvance(piece);
            from = cut;
            if (from == text.size())
                break;
            // The blanks at the break end this line; blanks that end the text need no
            // line of their own.
            while (from < text.size() && isBlank(text.at(from)))
                ++from;
            if (from == text.size())
                break;
            newLine();
            x_ = start;
        }
    }

private:
    static bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); }

    // How many characters of the text from `from` fit on the line from the current
    // position; at least one.
    qsizetype fitting(const QString &text, qsizetype from) const
    {
        const qreal width = device_.width();
        qsizetype n = 0;
        qreal advance = 0;
        while (from + n < text.size()) {
            const qreal w = metrics_->horizontalAdvance(text.at(from + n));
            if (n > 0 && x_ + advance + w > width)
                break;
            advance += w;
            ++n;
        }
        return n;
    }

    QPagedPaintDevice &device_;
    QPainter &painter_;
    QString family_;
    std::optional<QFontMetricsF> metrics_;
    qreal column_ = 0;
    qreal lineTop_ = -1;  // top of the current line; -1 before the first
    qreal lastHeight_ = 0;  // line spacing of the current line
    qreal x_ = 0;
};

}  // namespace

bool renderDocument(const PrintedDocument &doc, QPagedPaintDevice &device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setPen(Qt::black);
    PagePainter page(device, painter, printFontFamily(QString::fromStdU16String(doc.fontName)));
    for (const PrintedLine &line : doc.lines) {
        page.setFontSize(line.fontSize);
        page.newLine();
        for (const PrintSegment &segment : line.segments) {
            if (segment.column > 0)
                page.moveToColumn(segment.column);
            page.print(QString::fromStdU16String(segment.text));
        }
    }
    return painter.end();
}

bool renderToPdf(const PrintedDocument &doc, const QString &path, const QString &title)
{
    return paintToPdf([&](QPagedPaintDevice &device) { return renderDocument(doc, device); }, path, title);
}

bool paintToPdf(const PaintPages &paint, const QString &path, const QString &title)
{
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("regdisc"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 12, 6, 12),
                                     QPageLayout::Millimeter));
    return paint(writer);
}

}  // namespace regdisc
