// 異動比較 as the clerk meets it: chosen from the 工具 menu with the main menu's disc as the
// newer one, the older picked with the folder chooser, the tables and charts of the
// hand-made pair of tools_compare_test, a double click on a holder opening 全冊查詢 on the
// disc of that column, 存成 PDF and 匯出; and the 股權統計 window's breakdowns.
#include "gui_support.h"

#include "../tools_support.h"
#include "views/compare_window.h"
#include "views/holder_window.h"
#include "views/stats_window.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

QString cell(const QWidget *window, const char *table, int row, int column)
{
    auto *t = child<QTableWidget>(window, table);
    QTableWidgetItem *item = t ? t->item(row, column) : nullptr;
    return item ? item->text() : QString();
}

QStringList row(const QWidget *window, const char *table, int r)
{
    QStringList cells;
    auto *t = child<QTableWidget>(window, table);
    for (int c = 0; t && c < t->columnCount(); ++c)
        cells << cell(window, table, r, c);
    return cells;
}

QList<qreal> bars(QChartView *view, int set)
{
    QList<qreal> values;
    auto *series = view ? qobject_cast<QBarSeries *>(view->chart()->series().value(0)) : nullptr;
    if (!series || set >= series->count())
        return values;
    for (int i = 0; i < series->barSets().at(set)->count(); ++i)
        values << series->barSets().at(set)->at(i);
    return values;
}

void doubleClickCell(QTableWidget *table, int r, int c)
{
    QTableWidgetItem *item = table->item(r, c);
    table->scrollToItem(item);
    const QPoint at = table->visualItemRect(item).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    void comparesThePairAndShowsTablesChartsAndHolders()
    {
        QTemporaryDir dir;
        const QString older = dir.filePath("older"), newer = dir.filePath("newer");
        test::writeComparePair(older.toStdString(), newer.toStdString());
        Menu menu(newer);
        auto *window = qobject_cast<CompareWindow *>(chooseTool(menu, "act_compare", "frm_compare"));
        QVERIFY(window);
        // The title names the disc the comparison's results come from: the newer one.
        QVERIFY2(window->windowTitle().startsWith("異動比較 — " + newer), qPrintable(window->windowTitle()));
        // The main menu's disc is the newer one; the older is picked.
        QCOMPARE(child<QLineEdit>(window, "tx_new")->text(), newer);
        QCOMPARE(child<QPushButton>(window, "cmd_print")->isEnabled(), false);
        QSignalSpy done(window, &CompareWindow::done);
        click(child<QPushButton>(window, "cmd_run"));
        QCOMPARE(child<QLabel>(window, "lab_status")->text(), QString("請選擇舊光碟（前次過戶）的資料夾。"));
        menu.desktop.chooser.nextAnswer = {};
        click(child<QPushButton>(window, "cmd_old"));
        QCOMPARE(child<QLabel>(window, "lab_status")->text(), QString("未選擇資料夾。"));
        QCOMPARE(menu.desktop.chooser.titles.last(), QString("選擇舊光碟所在資料夾"));
        menu.desktop.chooser.nextAnswer = tx(older);
        click(child<QPushButton>(window, "cmd_old"));
        QCOMPARE(child<QLineEdit>(window, "tx_old")->text(), older);

        child<QSpinBox>(window, "sp_top")->setValue(2);
        done.clear();
        click(child<QPushButton>(window, "cmd_run"));
        QVERIFY(done.count() > 0 || done.wait(10000));
        QVERIFY2(window->hasComparison(), qPrintable(child<QLabel>(window, "lab_status")->text()));

        // The movement and its bars; the buyers with their tie; the levels side by side.
        QCOMPARE(row(window, "tbl_movement", 0), (QStringList{"新進股東", "4", "6,700"}));
        QCOMPARE(row(window, "tbl_movement", 5), (QStringList{"股東人數及總股數增減", "+2", "+12,200"}));
        QCOMPARE(bars(child<QChartView>(window, "chart_movement_holders"), 0), (QList<qreal>{4, 2, 2, 2, 3}));
        QCOMPARE(child<QTableWidget>(window, "tbl_buyers")->rowCount(), 3);
        QCOMPARE(row(window, "tbl_buyers", 1),
                 (QStringList{"2", "李六", "A10****006", "0", "0.00", "3,000", "2.18", "+3,000"}));
        QCOMPARE(child<QTableWidget>(window, "tbl_sellers")->rowCount(), 3);
        QCOMPARE(cell(window, "tbl_sellers", 2, 1), QString("台灣科技股份有限公司"));
        QCOMPARE(child<QTableWidget>(window, "tbl_crossings")->rowCount(), 0);
        QCOMPARE(child<QLabel>(window, "lab_crossings_title")->text(), QString("持股比例跨越 5.00%"));
        QCOMPARE(row(window, "tbl_distribution", 15),
                 (QStringList{"合計", "9", "11", "+2", "125,300", "137,500", "+12,200", "100.00", "100.00",
                              "0.00"}));
        auto *levels = child<QChartView>(window, "chart_levels_holders");
        QCOMPARE(bars(levels, 0), (QList<qreal>{2, 4, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(bars(levels, 1), (QList<qreal>{2, 6, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(cell(window, "tbl_structure", 2, 2), QString("1"));
        // The fixture has no postcodes: every holder 未詳, on both discs.
        QCOMPARE(row(window, "tbl_county", 22).mid(0, 4), (QStringList{"未詳", "9", "11", "+2"}));
        QVERIFY(child<QLabel>(window, "lab_summary")
                    ->text()
                    .contains("股東人數增減 +2 人，總股數增減 +12,200 股。"));
        click(child<QCheckBox>(window, "chk_show_id"));
        QCOMPARE(cell(window, "tbl_buyers", 0, 2), QString("87654321"));

        // A double click on the older holding looks the holder up on the older disc; on the
        // newer holding, on the newer.
        auto *buyers = child<QTableWidget>(window, "tbl_buyers");
        child<QTabWidget>(window, "tab_compare")->setCurrentIndex(1);
        doubleClickCell(buyers, 0, 3);
        HolderWindow *holder = window->holderWindow();
        QVERIFY(holder);
        QSignalSpy found(holder, &HolderWindow::found);
        QVERIFY(found.count() > 0 || found.wait(10000));
        // Its title names the older disc, which is not the main menu's.
        QVERIFY2(holder->windowTitle().startsWith("全冊查詢 — " + older), qPrintable(holder->windowTitle()));
        QCOMPARE(child<QLineEdit>(holder, "tx_key")->text(), QString("87654321"));
        QCOMPARE(holder->results().front().matches.size(), 1u);
        QCOMPARE(holder->results().front().matches.front().recordNo, 11);  // the older register's
        found.clear();
        doubleClickCell(buyers, 0, 5);
        QVERIFY(found.count() > 0 || found.wait(10000));
        QVERIFY2(holder->windowTitle().startsWith("全冊查詢 — " + newer), qPrintable(holder->windowTitle()));
        QCOMPARE(holder->results().front().matches.front().recordNo, 12);  // the newer register's
        // The accounts without an ID are looked up by account.
        window->openHolder(0, 0, 1);
        QVERIFY(found.count() > 1 || found.wait(10000));
        child<QSpinBox>(window, "sp_top")->setValue(4);
        done.clear();
        click(child<QPushButton>(window, "cmd_run"));
        QVERIFY(done.count() > 0 || done.wait(10000));
        QCOMPARE(cell(window, "tbl_buyers", 3, 2), QString("帳號 30000000001"));
        found.clear();
        window->openHolder(0, 3, 2);
        QVERIFY(found.count() > 0 || found.wait(10000));
        QCOMPARE(child<QLineEdit>(holder, "tx_key")->text(), QString("30000000001"));
        QCOMPARE(holder->results().front().matches.front().recordNo, 8);

        // 存成 PDF…: the tables as text; 匯出…: the workbook.
        const QString pdf = dir.filePath("異動比較.pdf");
        menu.desktop.printDialogs.fileName = pdf;
        click(child<QPushButton>(window, "cmd_pdf"));
        QVERIFY(QFile::exists(pdf));
        const QString text = pdfText(pdf);
        for (const char *expected :
             {"異動比較", "異動概況", "新進股東", "主要買超股東", "環球基金投資專戶", "主要賣超股東",
              "股權分散表（新舊對照）", "137,500", "股東結構（新舊對照）", "縣市分布（新舊對照）",
              "年齡分布（新舊對照）", "國籍分布（新舊對照）"})
            QVERIFY2(text.contains(nfkc(QString::fromUtf8(expected))), expected);
        const QString xlsx = dir.filePath("異動.xlsx");
        window->askExportFile = [&] { return xlsx; };
        click(child<QPushButton>(window, "cmd_export"));
        QVERIFY(QFile::exists(xlsx));
        QVERIFY(child<QLabel>(window, "lab_status")->text().startsWith("已匯出："));
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    // Discs of two securities: the refusal in the window, no tables, nothing to print.
    void refusesDiscsOfDifferentSecurities()
    {
        QTemporaryDir dir;
        const QString older = dir.filePath("older"), other = dir.filePath("other");
        test::writeRegister(older.toStdString(), test::kOlderHoldings);
        test::writeRegister(other.toStdString(), test::kNewerHoldings,
                            {u"T02", u"別家公司", u"114/06/30", u"N", u"114/07/02"}, "T02");
        Menu menu(other);
        CompareWindow *window = runComparison(menu, older);
        QVERIFY(window);
        QCOMPARE(child<QLabel>(window, "lab_status")->text(),
                 QString("兩片光碟不是同一證券：舊光碟是 T01  測試公司，新光碟是 T02  別家公司，無法比較。"));
        QVERIFY(!window->hasComparison());
        QCOMPARE(child<QTableWidget>(window, "tbl_movement")->rowCount(), 0);
        QCOMPARE(child<QPushButton>(window, "cmd_export")->isEnabled(), false);
    }

    // 股權統計 shows the breakdowns in a tab of their own.
    void statsWindowShowsTheBreakdowns()
    {
        QTemporaryDir dir;
        test::writeStatsDisc(dir.path().toStdString());
        Menu menu(dir.path());
        auto *window = qobject_cast<StatsWindow *>(chooseTool(menu, "act_stats", "frm_stats"));
        QVERIFY(window);
        QSignalSpy done(window, &StatsWindow::done);
        QVERIFY(window->hasStats() || done.wait(10000));
        auto *tabs = child<QTabWidget>(window, "tab_stats");
        QCOMPARE(tabs->tabText(tabs->count() - 1), QString("縣市、年齡、國籍"));
        QCOMPARE(child<QTableWidget>(window, "tbl_county")->rowCount(), 24);
        QCOMPARE(row(window, "tbl_county", 22), (QStringList{"未詳", "14", "100.00", "2,109,002", "100.00"}));
        QCOMPARE(child<QTableWidget>(window, "tbl_age")->rowCount(), 9);
        QCOMPARE(cell(window, "tbl_age", 7, 0), QString("未詳"));
        // 1 外國投資機構 and 2 僑外戶 without a nationality.
        QCOMPARE(row(window, "tbl_nationality", 0),
                 (QStringList{"未詳", "3", "100.00", "1,065,001", "100.00"}));
        QCOMPARE(child<QLabel>(window, "lab_county_title")->text(), QString("縣市分布"));
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
