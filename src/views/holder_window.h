// 全冊查詢: one holder in every register of the disc, grouped by register; a double click
// opens the register's screen at that record.
#pragma once

#include "tools/holder_search.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace regdisc {

class BackgroundWork;
class MainMenuWindow;

class HolderWindow : public QWidget {
    Q_OBJECT
public:
    explicit HolderWindow(MainMenuWindow &menu);

    void find();  // 查詢
    const std::vector<RegisterMatches> &results() const { return results_; }
    // Looks a holder up on the disc in `folder` (another than the main menu's, such as the
    // older disc of a comparison): the query's boxes are filled in and 查詢 pressed.
    void lookUp(const Text &folder, KeyClass key, const Text &input, bool exact);

signals:
    void found();  // the results are shown

private:
    void showResults(const std::vector<RegisterMatches> &results, const QString &error);
    void open(QTreeWidgetItem *item);

    MainMenuWindow &menu_;
    QComboBox *key_ = nullptr;
    QLineEdit *input_ = nullptr;
    QCheckBox *exact_ = nullptr;
    QPushButton *find_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QLabel *status_ = nullptr;
    BackgroundWork *work_ = nullptr;
    std::vector<RegisterMatches> results_;
    Text folder_;  // the disc looked up; empty: the main menu's
};

}  // namespace regdisc
