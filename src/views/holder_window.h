// 全冊查詢: one holder in every register of the disc, grouped by register; a double click
// opens the register's screen at that record, on the disc the results were read from.
#pragma once

#include "tools/holder_search.h"
#include "views/tool_window.h"

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace regdisc {

class HolderWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit HolderWindow(MainMenuWindow &menu);

    void find();  // 查詢
    const std::vector<RegisterMatches> &results() const { return results_; }
    // Looks a holder up on the disc in `folder` (another than the main menu's, such as the
    // older disc of a comparison): the query's boxes are filled in and 查詢 pressed.
    void lookUp(const Text &folder, KeyClass key, const Text &input, bool exact);

    // Asks whether a register's screen open on another disc may be closed and opened on
    // the results' disc; a question box in the application, answered by tests.
    std::function<bool(const QString &question)> askReplace;

signals:
    void found();  // the results are shown

protected:
    void discsChanged() override;

private:
    void showResults(const std::vector<RegisterMatches> &results, const QString &error);
    void open(QTreeWidgetItem *item);
    void showStatus();

    QComboBox *key_ = nullptr;
    QLineEdit *input_ = nullptr;
    QCheckBox *exact_ = nullptr;
    QPushButton *find_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QLabel *status_ = nullptr;
    QString statusText_;
    std::vector<RegisterMatches> results_;
    Text folder_;  // the disc looked up; empty: the main menu's
};

}  // namespace regdisc
