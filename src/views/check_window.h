// 光碟檢查: the disc check with a progress dialog and its report, register by register: the
// folder and production date it checked, what each defect found means for the lookups and
// which screens it touches, printed or saved as a PDF file.
#pragma once

#include "tools/disc_check.h"
#include "views/tool_window.h"

class QLabel;
class QPushButton;
class QTextBrowser;
class QTreeWidget;

namespace regdisc {

class CheckWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit CheckWindow(MainMenuWindow &menu);

    void run();  // 重新檢查 (also when the window opens)
    void print(bool toPdf);  // 列印, 存成 PDF…
    const DiscCheck &result() const { return result_; }
    // The report as it is printed.
    QString reportHtml() const;

signals:
    void done();

protected:
    void discsChanged() override;

private:
    void report();
    void showChecked();

    QLabel *checked_ = nullptr;  // the folder and production date checked
    QLabel *verdict_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QTextBrowser *meaning_ = nullptr;
    QPushButton *run_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *pdf_ = nullptr;
    DiscCheck result_;
    bool hasResult_ = false;
    QString checkedAt_;
    QString meaningHtml_;
};

// What a defect class means for the clerk's lookups, in the clerk's words.
QString defectMeaning(DefectClass defect);

}  // namespace regdisc
