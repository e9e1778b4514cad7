// 匯出: registers written as CSV, XLSX or SQLite, with a progress dialog.
#pragma once

#include "tools/export.h"
#include "views/tool_window.h"

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace regdisc {

class ExportWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit ExportWindow(MainMenuWindow &menu);

    void run();  // 匯出
    const ExportSummary &summary() const { return summary_; }

    // The file dialog of 選擇… (it asks before an existing file is replaced); empty when
    // the clerk cancels. Tests answer in its place.
    std::function<QString()> askOutputFile;

signals:
    void done();

private:
    void chooseOutput();

    QListWidget *registers_ = nullptr;
    QLineEdit *out_ = nullptr;
    QPushButton *run_ = nullptr;
    QPlainTextEdit *status_ = nullptr;
    QString replaceConsent_;  // the file the save dialog was told to replace
    ExportSummary summary_;
};

}  // namespace regdisc
