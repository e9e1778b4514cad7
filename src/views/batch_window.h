// 批次查詢: a list file of ID numbers, accounts or names looked up in every register,
// written to a CSV, XLSX or SQLite file, with a progress bar.
#pragma once

#include "tools/batch.h"
#include "views/tool_window.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace regdisc {

class BatchWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit BatchWindow(MainMenuWindow &menu);

    void run();  // 執行
    const BatchSummary &summary() const { return summary_; }

    // The file dialogs of 選擇…: the list file to read and the result file to write (the
    // dialog asks before an existing file is replaced); empty when the clerk cancels.
    // Tests answer in their place.
    std::function<QString()> askListFile;
    std::function<QString()> askOutputFile;

signals:
    void done();

private:
    void chooseList();
    void chooseOutput();
    void setStatus(const QString &text);

    QLineEdit *list_ = nullptr;
    QLineEdit *column_ = nullptr;
    QComboBox *key_ = nullptr;
    QCheckBox *prefix_ = nullptr;
    QLineEdit *out_ = nullptr;
    QPushButton *run_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QLabel *status_ = nullptr;
    QString replaceConsent_;  // the result file the save dialog was told to replace
    BatchSummary summary_;
};

}  // namespace regdisc
