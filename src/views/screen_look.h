// How the screens look: the screen font, captions, the pictures and icons, the head of
// a screen, the push button whose caption may take two lines and the output box.
#pragma once

#include "platform/text.h"

#include <QLineEdit>
#include <QPushButton>
#include <QString>

class QApplication;
class QHBoxLayout;
class QLabel;

namespace regdisc {

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
