// What every window of the 工具 menu has: it belongs to the main menu (and stays above
// it); its title names the disc its results were read from, or the one the main menu
// names while it has none, and says so when the main menu has moved on to another disc;
// Esc and its 關閉 button close it; its long work runs with a progress dialog.
#pragma once

#include "views/disc_identity.h"

#include <QWidget>

class QPushButton;
class QProgressBar;

namespace regdisc {

class BackgroundWork;
class MainMenuWindow;

class ToolWindow : public QWidget {
    Q_OBJECT
public:
    ToolWindow(MainMenuWindow &menu, const char *name, const QString &title);

    BackgroundWork &work() { return *work_; }
    // The disc the window's results were read from; none before the first run.
    const DiscIdentity &resultDisc() const { return resultDisc_; }
    // The main menu names another disc than the one the results were read from.
    bool resultsFromOtherDisc() const;
    QPushButton *closeButton() const { return close_; }

protected:
    // The work runs with the window's own progress bar, if it has one.
    void useProgressBar(QProgressBar *bar);
    void setResultDisc(const DiscIdentity &disc);
    // The main menu's disc or the results' has changed: the title is shown again.
    virtual void discsChanged();
    void closeEvent(QCloseEvent *event) override;

    MainMenuWindow &menu_;

private:
    void showTitle();

    QString title_;
    DiscIdentity resultDisc_;
    QPushButton *close_ = nullptr;
    BackgroundWork *work_ = nullptr;
    bool closeWhenDone_ = false;
};

}  // namespace regdisc
