// 批次查詢: a list file of ID numbers, accounts or names looked up in every register,
// written to a CSV, XLSX or SQLite file, with a progress bar.
#pragma once

#include "tools/batch.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace regdisc {

class BackgroundWork;
class MainMenuWindow;

class BatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit BatchWindow(MainMenuWindow &menu);

    void run();  // 執行
    const BatchSummary &summary() const { return summary_; }

signals:
    void done();

private:
    void chooseList();
    void chooseOutput();

    MainMenuWindow &menu_;
    QLineEdit *list_ = nullptr;
    QLineEdit *column_ = nullptr;
    QComboBox *key_ = nullptr;
    QCheckBox *prefix_ = nullptr;
    QLineEdit *out_ = nullptr;
    QPushButton *run_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QLabel *status_ = nullptr;
    QString replaceConsent_;  // the result file the save dialog was told to replace
    BackgroundWork *work_ = nullptr;
    BatchSummary summary_;
};

}  // namespace regdisc
