#include "views/tool_window.h"

#include "views/background_work.h"
#include "views/main_menu_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShortcut>

namespace regdisc {

ToolWindow::ToolWindow(MainMenuWindow &menu, const char *name, const QString &title)
    : QWidget(&menu, Qt::Window), menu_(menu), title_(title)
{
    setObjectName(QString::fromLatin1(name));
    close_ = new QPushButton(QStringLiteral("關閉"), this);
    close_->setObjectName(QStringLiteral("cmd_close"));
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    work_ = new BackgroundWork(this);
    connect(work_, &BackgroundWork::finished, this, [this] {
        if (closeWhenDone_)
            close();
    });
    connect(&menu, &MainMenuWindow::discChanged, this, &ToolWindow::discsChanged);
    showTitle();
}

void ToolWindow::useProgressBar(QProgressBar *bar)
{
    delete work_;
    work_ = new BackgroundWork(this, bar);
    connect(work_, &BackgroundWork::finished, this, [this] {
        if (closeWhenDone_)
            close();
    });
}

bool ToolWindow::resultsFromOtherDisc() const
{
    return resultDisc_.known() && !sameDisc(resultDisc_, menu_.currentDisc());
}

void ToolWindow::setResultDisc(const DiscIdentity &disc)
{
    resultDisc_ = disc;
    discsChanged();
}

void ToolWindow::discsChanged()
{
    showTitle();
}

void ToolWindow::showTitle()
{
    const DiscIdentity menuDisc = menu_.currentDisc();
    QString title = title_;
    if (resultDisc_.known()) {
        title += QStringLiteral(" — ") + discText(resultDisc_);
        if (resultsFromOtherDisc())
            title += QStringLiteral("（主選單已改用另一片光碟）");
    } else if (menuDisc.known() && menuDisc.read) {
        title += QStringLiteral(" — ") + discText(menuDisc);
    }
    setWindowTitle(title);
}

void ToolWindow::closeEvent(QCloseEvent *event)
{
    // Work that runs is asked to stop; the window goes when it has.
    if (work_->running()) {
        closeWhenDone_ = true;
        work_->cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace regdisc
