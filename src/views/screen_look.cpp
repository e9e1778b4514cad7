#include "views/screen_look.h"

#include <QHBoxLayout>

#include "datasets/catalogue.h"
#include "printing/document_renderer.h"
#include "screens/printout.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>
#include <QSpacerItem>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>

#include "views/qt_text.h"

namespace regdisc {

QString screenFontFamily()
{
    return cjkFontFamily(qs(kPrintFont));
}

void useScreenFont(QApplication &app)
{
    QFont font(screenFontFamily());
    font.setPointSize(10);
    app.setFont(font);
}

QString shownCaption(TextView caption)
{
    QString text = qs(caption);
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return text;
}

QLabel *captionLabel(TextView caption, const char *objectName, QWidget *parent)
{
    auto *label = new QLabel(shownCaption(caption), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setProperty(kCaptionProperty, qs(caption));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPixmap bannerPicture(QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), 0);
    sky.setColorAt(0, QColor(0x0b, 0x2f, 0x5c));
    sky.setColorAt(0.6, QColor(0x1c, 0x5d, 0x8f));
    sky.setColorAt(1, QColor(0x3f, 0x8f, 0xa8));
    p.fillRect(QRect(QPoint(0, 0), size), sky);
    // A rising line of bars, the register's growth.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    const int bars = 14;
    const int barWidth = size.width() / (bars * 4);
    for (int i = 0; i < bars; ++i) {
        const int h = size.height() * (20 + 5 * i) / 100;
        p.drawRect(size.width() / 2 + i * barWidth * 2, size.height() - h, barWidth, h);
    }
    p.drawPixmap(QPoint(size.height() / 6, size.height() / 6),
                 emblemPicture(size.height() * 2 / 3, devicePixelRatio));
    QFont font(screenFontFamily());
    font.setPixelSize(size.height() * 2 / 5);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(size.height(), 0, size.width() - size.height(), size.height()),
               Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("鼎岳有價證券登錄社"));
    return pixmap;
}

QPixmap emblemPicture(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1, 1, size - 2, size - 2);
    QLinearGradient seal(box.topLeft(), box.bottomRight());
    seal.setColorAt(0, QColor(0xc0, 0x39, 0x2b));
    seal.setColorAt(1, QColor(0x8e, 0x1b, 0x10));
    p.setPen(QPen(QColor(0x6b, 0x10, 0x08), 1));
    p.setBrush(seal);
    p.drawRoundedRect(box, size / 6.0, size / 6.0);
    QFont font(screenFontFamily());
    font.setPixelSize(size * 3 / 5);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("鼎"));
    return pixmap;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : kApplicationIconSizes)
        icon.addPixmap(emblemPicture(size, 1));
    return icon;
}

QHBoxLayout *screenHeader(TextView titleText, QWidget *parent)
{
    auto *header = new QHBoxLayout;
    auto *picture = new QLabel(parent);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(emblemPicture(parent->fontMetrics().height() * 2, parent->devicePixelRatioF()));
    header->addWidget(picture);
    auto *title = captionLabel(titleText, "Label1", parent);
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() * 7 / 5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: #0b2f5c;"));
    header->addWidget(title);
    header->addStretch();
    return header;
}

QIcon arrowIcon(bool left)
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        // A broad arrow: a shaft and a head, pointing left or right.
        const qreal s = size;
        QPainterPath arrow;
        arrow.moveTo(0.08 * s, 0.5 * s);
        arrow.lineTo(0.5 * s, 0.1 * s);
        arrow.lineTo(0.5 * s, 0.32 * s);
        arrow.lineTo(0.92 * s, 0.32 * s);
        arrow.lineTo(0.92 * s, 0.68 * s);
        arrow.lineTo(0.5 * s, 0.68 * s);
        arrow.lineTo(0.5 * s, 0.9 * s);
        arrow.closeSubpath();
        const auto paint = [&](QColor outline, QColor fill) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            if (!left) {
                p.translate(s, 0);
                p.scale(-1, 1);
            }
            p.setPen(QPen(outline, s / 16));
            p.setBrush(fill);
            p.drawPath(arrow);
            return pixmap;
        };
        icon.addPixmap(paint(QColor(0x0b, 0x2f, 0x5c), QColor(0x1f, 0x6f, 0xb5)), QIcon::Normal);
        // The disabled form: grey, so the state reads at a glance.
        icon.addPixmap(paint(QColor(0x9a, 0x9a, 0x9a), QColor(0xd0, 0xd0, 0xd0)), QIcon::Disabled);
    }
    return icon;
}

namespace {

// A run of blanks inside the caption starts a new line; blanks around it go.
QString captionLines(const QString &caption)
{
    static const QRegularExpression blankRun(QStringLiteral(" {2,}"));
    QStringList lines = caption.trimmed().split(blankRun, Qt::SkipEmptyParts);
    return lines.join(QLatin1Char('\n'));
}

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

}  // namespace

CaptionButton::CaptionButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent), shown_(captionLines(caption))
{
    setProperty(kCaptionProperty, caption);
}

QSize CaptionButton::sizeForTextWidth(int textWidth) const
{
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, textWidth, 10000), kTextFlags, shown_);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    const QSize contents(text.width() + fontMetrics().horizontalAdvance(QStringLiteral("證")) * 2 + 2,
                         text.height() + fontMetrics().height() / 2);
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, contents, this);
}

QSize CaptionButton::sizeHint() const
{
    // Up to eighteen Chinese characters on a line.
    return sizeForTextWidth(fontMetrics().horizontalAdvance(QStringLiteral("證")) * 18);
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    // A Chinese character's room on either side of the caption.
    const int padding = fontMetrics().horizontalAdvance(QStringLiteral("證"));
    area.adjust(padding, 0, -padding, 0);
    p.drawItemText(area, kTextFlags, palette(), isEnabled(), shown_, QPalette::ButtonText);
}

OutputLine::OutputLine(int columns, QWidget *parent) : QLineEdit(parent), columns_(columns)
{
    setReadOnly(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void OutputLine::setValue(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    setCursorPosition(0);
}

int OutputLine::widthForColumns(int columns) const
{
    const QFontMetrics fm = fontMetrics();
    const QMargins text = textMargins();
    const QMargins contents = contentsMargins();
    // The line edit's own margins (two pixels a side) and room for the cursor.
    const int width = columns * fm.horizontalAdvance(QLatin1Char('0')) + 2 * 2 + 2 + text.left() +
                      text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, fm.height()), this).width();
}

QSize OutputLine::sizeHint() const
{
    return {widthForColumns(columns_), QLineEdit::sizeHint().height()};
}

}  // namespace regdisc
