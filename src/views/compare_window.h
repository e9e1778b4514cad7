// 異動比較: two book closures of one security. The newer disc is the main menu's folder
// unless the clerk picks another; the clerk picks the older. Tables in tabs with their
// charts (the movement as bars, the two distributions as paired bars); a double click on
// a holder opens 全冊查詢 on the disc of that column; 列印, 存成 PDF, 匯出 to .xlsx or .csv.
// Both registers are read off the GUI thread with a progress bar and 取消.
#pragma once

#include "tools/compare_report.h"
#include "views/tool_window.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QChartView;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace regdisc {

class BackgroundWork;
class BreakdownTab;
class HolderWindow;
class MainMenuWindow;

class CompareWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit CompareWindow(MainMenuWindow &menu);

    void run();  // 比較
    void print(bool toPdf);  // 列印, 存成 PDF…
    void exportTables();  // 匯出…
    // The holder of a row of the buyers (0), sellers (1) or crossings (2) in 全冊查詢, on
    // the disc of the column: the older disc's holding and share, the newer's, or, for the
    // others, the newer disc where the holder is on it.
    void openHolder(int list, int row, int column);

    bool hasComparison() const { return hasComparison_; }
    const RegisterComparison &comparison() const { return comparison_; }
    const StatsReport &report() const { return report_; }
    // The 全冊查詢 window a double click opened, while it is open.
    HolderWindow *holderWindow() const { return holder_; }

    // The file 匯出… writes (.xlsx or .csv); empty when the clerk cancels. Asks with a
    // file dialog; tests answer in its place.
    std::function<QString()> askExportFile;

signals:
    void done();  // a run ended (compared, refused, failed or cancelled)

private:
    void chooseFolder(QLineEdit *box, TextView title);
    void showReport();
    void setChart(QChartView *view, int which);

    QLineEdit *older_ = nullptr;
    QLineEdit *newer_ = nullptr;
    QSpinBox *top_ = nullptr;
    QDoubleSpinBox *percent_ = nullptr;
    QCheckBox *showId_ = nullptr;
    QPushButton *run_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *pdf_ = nullptr;
    QPushButton *export_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QLabel *summary_ = nullptr;
    QLabel *status_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QTableWidget *movement_ = nullptr;
    QTableWidget *lists_[3] = {};  // buyers, sellers, crossings
    QLabel *listTitles_[3] = {};
    QTableWidget *levels_ = nullptr;
    QTableWidget *structure_ = nullptr;
    QLabel *notes_[5] = {};  // movement, lists, crossings, levels, structure
    QChartView *charts_[4] = {};  // CompareChart order
    BreakdownTab *breakdowns_ = nullptr;
    QPointer<HolderWindow> holder_;

    bool hasComparison_ = false;
    RegisterComparison comparison_;
    StatsReport report_;
};

}  // namespace regdisc
