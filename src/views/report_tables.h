// A report's tables in the windows: one table with the rules under it, and the tab of
// where and who the holders are (縣市, 年齡, 國籍) that the statistics and the comparison
// windows share.
#pragma once

#include "tools/stats_report.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace regdisc {

// Fills a table widget with a report's table (numbers to the right) and a label with the
// rules under it.
void showReportTable(QTableWidget *table, QLabel *notes, const StatsTable &t);

// A table widget for a report's table: read-only, alternating rows, no row numbers.
QTableWidget *newReportTable(const char *objectName, QWidget *parent);

// The breakdowns one below the other, each with its title and rules: tbl_county,
// tbl_age, tbl_nationality and their lab_…_notes.
class BreakdownTab : public QWidget {
    Q_OBJECT
public:
    explicit BreakdownTab(QWidget *parent);
    // Shows the report's tables named county, age and nationality.
    void show(const StatsReport &report);

private:
    QLabel *titles_[3] = {};
    QTableWidget *tables_[3] = {};
    QLabel *notes_[3] = {};
};

}  // namespace regdisc
