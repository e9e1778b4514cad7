// What the windows share: text conversion, the screen font, the pictures, centring a
// window, and a push button whose caption may take two lines.
#pragma once

#include "platform/text.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <cstdint>

class QApplication;
class QLabel;
class QMessageBox;

class QHBoxLayout;

namespace regdisc {

inline QString qs(TextView text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline Text tx(const QString &text)
{
    return text.toStdU16String();
}

// 細明體 where it is installed, otherwise the CJK stand-in; the whole application uses it.
QString screenFontFamily();
void useScreenFont(QApplication &app);

// A label caption as the label shows it: "&&" stands for one "&".
QString shownCaption(TextView caption);

// The exact caption of a control, whatever line breaks it is shown with; tests and
// support staff read it from this property.
inline constexpr const char *kCaptionProperty = "caption";
QLabel *captionLabel(TextView caption, const char *objectName, QWidget *parent);

// The pictures: the main menu's banner, the emblem of the screens, and the arrows of the
// picture buttons 前一畫面 and 下一畫面.
QPixmap bannerPicture(QSize size, qreal devicePixelRatio);
QPixmap emblemPicture(int size, qreal devicePixelRatio);
QIcon arrowIcon(bool left);
// The application's icon, the emblem, at the sizes of a desktop's icon theme: the
// windows carry it and the installed icon theme is painted from it.
inline constexpr int kApplicationIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QIcon applicationIcon();
// The head of a screen: the picture Image1 and the title Label1.
QHBoxLayout *screenHeader(TextView title, QWidget *parent);

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

// The file dialogs of the windows open in the folder a file was last chosen in (the home
// folder at first) and give the keyboard back to the window when they close. `current` is
// the file the window names now, if any; `name` the file name suggested for a new file.
QString chooseFileToOpen(QWidget *owner, const QString &title, const QString &current, const QString &filter);
QString chooseFileToSave(QWidget *owner, const QString &title, const QString &current, const QString &name,
                         const QString &filter);
// Where a file dialog opens for `current` (when its folder exists) or `name`.
QString fileDialogStart(const QString &current, const QString &name);
// The folder the file dialogs open in next.
QString lastFileFolder();
void rememberFileFolder(const QString &file);

// A count as the clerk reads it: 1,234,567.
QString groupedNumber(std::int64_t n);

// A push button whose caption wraps: a run of blanks inside the caption starts a new
// line, and a line too long for the button wraps between characters. text() keeps the
// exact caption.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    CaptionButton(const QString &caption, QWidget *parent = nullptr);

    // The caption with the line breaks it is shown with.
    QString shownText() const { return shown_; }
    // Room for the caption when it may take up to `textWidth` pixels per line.
    QSize sizeForTextWidth(int textWidth) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shown_;
};

// A read-only box for a value of up to `columns` half-width characters (a Chinese
// character takes two): selectable and copyable, its text kept exactly, trailing blanks
// and all, and shown from its start.
class OutputLine : public QLineEdit {
    Q_OBJECT
public:
    OutputLine(int columns, QWidget *parent = nullptr);

    void setValue(const QString &text);
    int columns() const { return columns_; }
    // The width that shows `columns` half-width characters without cutting any.
    int widthForColumns(int columns) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    int columns_;
};

}  // namespace regdisc
