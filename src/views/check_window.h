// 光碟檢查: the disc check with a progress dialog and its report, register by register.
#pragma once

#include "tools/disc_check.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace regdisc {

class BackgroundWork;
class MainMenuWindow;

class CheckWindow : public QWidget {
    Q_OBJECT
public:
    explicit CheckWindow(MainMenuWindow &menu);

    void run();  // 開始檢查 (also when the window opens)
    const DiscCheck &result() const { return result_; }

signals:
    void done();

private:
    void report();

    MainMenuWindow &menu_;
    QTreeWidget *tree_ = nullptr;
    QLabel *verdict_ = nullptr;
    QPushButton *run_ = nullptr;
    BackgroundWork *work_ = nullptr;
    DiscCheck result_;
};

}  // namespace regdisc
