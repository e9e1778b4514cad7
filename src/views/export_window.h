// 匯出: registers written as CSV, XLSX or SQLite, with a progress dialog.
#pragma once

#include "tools/export.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace regdisc {

class BackgroundWork;
class MainMenuWindow;

class ExportWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExportWindow(MainMenuWindow &menu);

    void run();  // 匯出
    const ExportSummary &summary() const { return summary_; }

signals:
    void done();

private:
    void chooseOutput();

    MainMenuWindow &menu_;
    QListWidget *registers_ = nullptr;
    QLineEdit *out_ = nullptr;
    QPushButton *run_ = nullptr;
    QPlainTextEdit *status_ = nullptr;
    QString replaceConsent_;  // the file the save dialog was told to replace
    BackgroundWork *work_ = nullptr;
    ExportSummary summary_;
};

}  // namespace regdisc
