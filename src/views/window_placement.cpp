#include "views/window_placement.h"

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

void sizeAndCentre(QWidget *window)
{
    window->ensurePolished();
    window->adjustSize();
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize wanted = window->sizeHint().expandedTo(window->minimumSizeHint());
    QSize size = wanted.boundedTo(area.size());
    // A window cut short gets room for its vertical scroll bar.
    if (wanted.height() > area.height())
        size.setWidth(std::min(area.width(),
                               size.width() + window->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4));
    window->resize(size);
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft().x() < area.left() ? area.left() : frame.topLeft().x(),
                 frame.topLeft().y() < area.top() ? area.top() : frame.topLeft().y());
}

QPoint screenPlacement(const QRect &area, const QRect &menuFrame, QSize frameSize, const QList<QPoint> &taken,
                       int step)
{
    constexpr int kGap = 6;
    const int w = frameSize.width();
    const int h = frameSize.height();
    const int areaRight = area.x() + area.width();  // one past the last pixel
    const int menuRight = menuFrame.x() + menuFrame.width();
    const int rightRoom = areaRight - (menuRight + kGap);
    const int leftRoom = menuFrame.x() - kGap - area.x();

    // The frame's left edge runs from x0 towards xEnd as screens are cascaded.
    int x0 = 0;
    int xEnd = 0;
    if (w <= rightRoom) {
        x0 = menuRight + kGap;
        xEnd = areaRight - w;
    } else if (w <= leftRoom) {
        x0 = menuFrame.x() - kGap - w;
        xEnd = area.x();
    } else {
        // Over the side of the menu with more room; a quarter of the menu stays in sight
        // where the screen leaves that much.
        const int keep = menuFrame.width() / 4;
        if (rightRoom >= leftRoom) {
            x0 = std::max(area.x(), areaRight - w);
            xEnd = std::min(x0, std::max(area.x(), menuFrame.x() + keep));
        } else {
            x0 = area.x();
            xEnd = std::max(x0, std::min(areaRight - w, menuRight - keep - w));
        }
    }
    // Top edges: from the menu's top edge downwards, wrapping round to the display's top,
    // one step at a time; left edges one step further out at a time, as far as the range
    // allows.
    const int yTop = area.y();
    const int yBottom = std::max(yTop, area.y() + area.height() - h);
    const int y0 = std::clamp(menuFrame.y(), yTop, yBottom);
    const int yShift = step > 0 ? (y0 - yTop) % step : 0;
    const int yCount = step > 0 ? (yBottom - yTop - yShift) / step + 1 : 1;
    const int yFirst = step > 0 ? (y0 - yTop - yShift) / step : 0;
    const int xCount = step > 0 ? std::abs(xEnd - x0) / step + 1 : 1;
    const int xDirection = xEnd >= x0 ? 1 : -1;

    const auto position = [&](int k) {
        return QPoint(x0 + xDirection * (k % xCount) * step, yTop + yShift + ((yFirst + k) % yCount) * step);
    };
    const auto isTaken = [&](QPoint p) {
        return std::any_of(taken.begin(), taken.end(), [&](QPoint t) {
            return std::abs(t.x() - p.x()) < step / 2 + 1 && std::abs(t.y() - p.y()) < step / 2 + 1;
        });
    };
    if (step > 0)
        for (int k = 0; k < 64; ++k)
            if (!isTaken(position(k)))
                return position(k);
    return position(static_cast<int>(taken.size()));
}

void placeBesideMenu(QWidget *screen, const QWidget *menu, const QList<QWidget *> &openScreens)
{
    // The screen is not shown yet and has no frame: the menu's frame tells how much the
    // window manager adds.
    const QRect menuFrame = menu->frameGeometry();
    const QRect menuInside = menu->geometry();
    const QMargins frame(menuInside.left() - menuFrame.left(), menuInside.top() - menuFrame.top(),
                         menuFrame.right() - menuInside.right(), menuFrame.bottom() - menuInside.bottom());
    QScreen *display = menu->screen() ? menu->screen() : QGuiApplication::primaryScreen();
    const QRect area = display ? display->availableGeometry() : QRect(0, 0, 1024, 768);

    screen->ensurePolished();
    screen->adjustSize();
    const QSize room = area.size().shrunkBy(frame);
    const QSize wanted = screen->sizeHint().expandedTo(screen->minimumSizeHint());
    QSize size = wanted.boundedTo(room);
    // A screen cut short gets room for its vertical scroll bar.
    if (wanted.height() > room.height())
        size.setWidth(std::min(room.width(),
                               size.width() + screen->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4));
    screen->resize(size);

    QList<QPoint> taken;
    for (const QWidget *open : openScreens)
        if (open != screen && open->isVisible())
            taken.push_back(open->frameGeometry().topLeft());
    // One title bar lower and further out, and never less than a line and a half of text:
    // a thin frame (or one the window manager has not told yet) would otherwise put the
    // next window all but on top of the last.
    const int step = std::max(frame.top(), screen->fontMetrics().height() * 3 / 2);
    screen->move(screenPlacement(area, menuFrame, size.grownBy(frame), taken, step));
}

QString applicationTitle()
{
    return qs(mainMenu().windowCaption);
}

void makeRoomForTitle(QMessageBox &box)
{
    // The title bar shows the title in a bold face, with the window's icon and three
    // buttons beside it.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int wanted = metrics.horizontalAdvance(box.windowTitle()) + metrics.height() * 8;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}

FocusReturn::FocusReturn(QWidget *owner)
    : window_(owner ? owner->window() : QApplication::activeWindow()),
      focus_(window_ ? window_->focusWidget() : nullptr)
{
}

FocusReturn::~FocusReturn()
{
    if (!window_ || !window_->isVisible())
        return;
    window_->raise();
    window_->activateWindow();
    if (focus_ && focus_->window() == window_ && focus_->isVisible() && focus_->isEnabled())
        focus_->setFocus(Qt::OtherFocusReason);
}

}  // namespace regdisc
