// Where windows go and how they hand the keyboard back: centring, a screen's place beside
// the main menu, the message boxes' title and width, the focus after a dialog.
#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

class QMessageBox;
class QWidget;

namespace regdisc {

// Resizes a new top-level window to its contents (at most the available screen area)
// and centres it on the screen.
void sizeAndCentre(QWidget *window);

// Where a screen's frame of `frameSize` goes so that the main menu (its frame
// `menuFrame`) stays within reach: beside the menu where the display has room for it
// (right of it, otherwise left of it), otherwise at the display's edge on the side of the
// menu with more room, leaving the other part of the menu in sight. A further screen is
// cascaded one `step` lower and further out, so that no two screens lie on one spot
// (`taken`: the frames' top-left corners of the screens already open). The result is the
// frame's top-left corner, inside `area` wherever the frame fits in it.
QPoint screenPlacement(const QRect &area, const QRect &menuFrame, QSize frameSize, const QList<QPoint> &taken,
                       int step);

// Resizes a new screen to its contents (at most the available screen area) and moves it
// to its place beside the main menu, away from the screens already open.
void placeBesideMenu(QWidget *screen, const QWidget *menu, const QList<QWidget *> &openScreens);

// The title of the application's message boxes: the main menu's caption, the name the
// clerk knows the application by.
QString applicationTitle();

// Widens a message box, as it is about to be shown, so that the window manager need not
// cut its title.
void makeRoomForTitle(QMessageBox &box);

// Gives the keyboard back to the window that opened a dialog once the dialog has closed:
// the window comes forward again and the control that had the focus has it again. A window
// manager may otherwise hand the keyboard to another window of the application, where the
// next Enter would press a button the clerk does not see.
class FocusReturn {
public:
    explicit FocusReturn(QWidget *owner);
    ~FocusReturn();
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

}  // namespace regdisc
