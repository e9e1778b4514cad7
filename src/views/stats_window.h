// 股權統計: the holder register's shareholding tables with their charts, printed or saved
// as PDF, exported as CSV or XLSX. The register is read off the GUI thread with a progress
// bar and 取消. The window fits a small display (1366 × 768) and grows with its frame: the
// tables show all their rows and stretch their columns; the charts stand beside the tables
// where the window is wide enough, below them otherwise, and take the room left.
#pragma once

#include "tools/stats_report.h"
#include "views/tool_window.h"

#include <functional>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QHBoxLayout;
class QVBoxLayout;
class QDoubleSpinBox;
class QLabel;
class QChartView;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace regdisc {

class BreakdownTab;
class StatsTableView;
class TableAndCharts;

class StatsWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit StatsWindow(MainMenuWindow &menu);

    void run();  // 統計
    void print(bool toPdf);  // 列印, 存成 PDF…
    void exportTables();  // 匯出…
    bool hasStats() const { return hasStats_; }
    const HolderStats &stats() const { return stats_; }
    const StatsReport &report() const { return report_; }

    // The file 匯出… writes (.xlsx or .csv); empty when the clerk cancels. Asks with a
    // file dialog; tests answer in its place.
    std::function<QString()> askExportFile;

signals:
    void done();  // a run ended (counted, failed or cancelled)

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The three table pages and the charts, by their place in tables_ and charts_.
    enum { kDistributionPage = 0, kStructurePage = 1, kPrincipalPage = 2 };
    enum { kHoldersChart = 0, kSharesChart = 1, kStructureChart = 2 };

    // The constructor's steps, top to bottom.
    QHBoxLayout *buildOptionsRow();
    void buildProgressAndSummary(QVBoxLayout *layout);
    void addTablePage(int page, const QString &title, const char *tableName, const char *notesName,
                      std::initializer_list<std::pair<int, const char *>> charts);
    QHBoxLayout *buildStatusRow();
    void connectActions();

    void showReport();
    void showTable(StatsTableView *table, QLabel *notes, const StatsTable &t);
    void setChart(QChartView *view, int which);
    void growToContents();
    void fitPage(int page, int width);

    QSpinBox *top_ = nullptr;
    QDoubleSpinBox *percent_ = nullptr;
    QCheckBox *showId_ = nullptr;
    QPushButton *run_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *pdf_ = nullptr;
    QPushButton *export_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QLabel *summary_ = nullptr;  // the title and what the data check found
    QLabel *status_ = nullptr;  // how the last run or export went
    QTabWidget *tabs_ = nullptr;
    StatsTableView *tables_[3] = {};
    QLabel *notes_[3] = {};
    QChartView *charts_[3] = {};
    BreakdownTab *breakdowns_ = nullptr;  // 縣市、年齡、國籍
    QScrollArea *scrolls_[3] = {};
    TableAndCharts *pages_[3] = {};

    bool hasStats_ = false;
    bool grown_ = false;
    HolderStats stats_;
    StatsOptions options_;
    DiscInfo info_;
    StatsReport report_;
};

}  // namespace regdisc
