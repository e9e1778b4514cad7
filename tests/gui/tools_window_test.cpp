// The whole-disc tools as the clerk reaches them: the 工具 menu on the main menu, each
// tool's window, its results, and a double click on a found record opening the register's
// screen at that record.
#include "gui_support.h"

#include "../tools_support.h"
#include "views/batch_window.h"
#include "views/check_window.h"
#include "views/export_window.h"
#include "views/holder_window.h"
#include "views/query_screen_window.h"
#include "views/stats_window.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

// The holder disc with its two count listings: every register the tools report on.
struct HolderDisc {
    HolderDisc()
    {
        const std::filesystem::path folder = dir.path().toStdString();
        test::writeHolderDisc(folder);
        writeListing(folder, u"T01", "ptr", {u"股東名冊總筆數：5"});
        writeListing(folder, u"T01", "lnx", {u"2330"});
    }
    QTemporaryDir dir;
};

// Chooses a tool from the 工具 menu of the main menu's menu bar; the tool's window.
QTreeWidgetItem *group(QTreeWidget *tree, const QString &ext)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0).startsWith(ext + " "))
            return tree->topLevelItem(i);
    return nullptr;
}

void doubleClick(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class ToolWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    void menuBarSitsAboveTheUnchangedMenu()
    {
        HolderDisc disc;
        Menu menu(disc.dir.path());
        auto *bar = child<QMenuBar>(menu.window.get(), "menu_bar");
        QVERIFY(bar);
        QStringList titles;
        for (QAction *a : bar->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"工具(&T)", "說明(&H)"}));
        QStringList tools;
        for (QAction *a : child<QMenu>(menu.window.get(), "menu_tools")->actions())
            if (!a->isSeparator())
                tools << a->text();
        QCOMPARE(tools,
                 (QStringList{"全冊查詢…", "批次查詢…", "匯出…", "股權統計…", "異動比較…", "光碟檢查…"}));
        // The bar is above the banner, not among the buttons.
        QVERIFY(bar->geometry().bottom() <= child<QLabel>(menu.window.get(), "Image1")->geometry().top());
    }

    void holderResultsAndDoubleClickOpenTheScreenAtTheRecord()
    {
        HolderDisc disc;
        Menu menu(disc.dir.path());
        auto *window = qobject_cast<HolderWindow *>(chooseTool(menu, "act_holder", "frm_holder"));
        QVERIFY(window);
        QSignalSpy found(window, &HolderWindow::found);
        typeText(child<QLineEdit>(window, "tx_key"), "a123456789");
        click(child<QPushButton>(window, "cmd_find"));
        QVERIFY(found.wait(10000));

        auto *tree = child<QTreeWidget>(window, "tree_results");
        QCOMPARE(tree->topLevelItemCount(), 14);
        QTreeWidgetItem *psm = group(tree, "psm");
        QTreeWidgetItem *pla = group(tree, "pla");
        QCOMPARE(psm->text(0), QString("psm 證券所有人名冊：2 筆"));
        QCOMPARE(psm->child(0)->text(2), QString("1"));
        QCOMPARE(psm->child(1)->text(2), QString("4"));
        QCOMPARE(pla->childCount(), 2);
        QCOMPARE(pla->child(0)->text(1), QString("出質人"));
        QCOMPARE(pla->child(1)->text(1), QString("質權人"));
        QCOMPARE(pla->child(1)->text(3), QString("11110000004"));
        QCOMPARE(group(tree, "psl")->text(0), QString("psl 長戶名資料：無此名冊"));
        QCOMPARE(group(tree, "psr")->childCount(), 1);

        // The pledgee's record opens on the pledge screen, found by the pledgee's ID.
        doubleClick(tree, pla->child(1));
        QTRY_VERIFY(shownWindow("frm_2"));
        auto *pledges = qobject_cast<QueryScreenWindow *>(shownWindow("frm_2"));
        QCOMPARE(pledges->model().recordShown(), 2);
        QCOMPARE(child<QLineEdit>(pledges, "tx_o_08")->text(), QString("A123456789"));
        QCOMPARE(child<QLineEdit>(pledges, "tx_o_pnt")->text(), QString("0001 0001 0001 "));
        QCOMPARE(child<QComboBox>(pledges, "comb_1")->currentText(), QString("依 質權人統編"));
        QCOMPARE(child<QLineEdit>(pledges, "tx_i_01")->text(), QString("A123456789"));
        QVERIFY(!menu.button("cmd_2")->isEnabled());

        // psm's second match: the screen's history starts at record 4, 次筆 shows nothing more.
        doubleClick(tree, psm->child(1));
        QTRY_VERIFY(shownWindow("frm_1"));
        auto *holders = qobject_cast<QueryScreenWindow *>(shownWindow("frm_1"));
        QCOMPARE(holders->model().recordShown(), 4);
        QCOMPARE(child<QLineEdit>(holders, "tx_o_01")->text(), QString("11110000004"));
        QCOMPARE(child<QLineEdit>(holders, "tx_o_pnt")->text(), QString("0001 0001 0001 "));
        QVERIFY(!child<QPushButton>(holders, "cmd_5")->isEnabled());
        QVERIFY(!child<QPushButton>(holders, "cmd_2")->isEnabled());

        // The open screen is used again: the first match goes after record 4 in its history.
        doubleClick(tree, psm->child(0));
        QTRY_COMPARE(holders->model().recordShown(), 1);
        QCOMPARE(child<QLineEdit>(holders, "tx_o_pnt")->text(), QString("0001 0002 0002 "));
        QVERIFY(child<QPushButton>(holders, "cmd_5")->isEnabled());
        // 次筆 goes on from the record along the ID chain: record 4 again.
        QVERIFY(child<QPushButton>(holders, "cmd_2")->isEnabled());
        click(child<QPushButton>(holders, "cmd_2"));
        QCOMPARE(holders->model().recordShown(), 4);
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    void batchWritesTheResultFileWithItsProgressBar()
    {
        HolderDisc disc;
        Menu menu(disc.dir.path());
        auto *window = qobject_cast<BatchWindow *>(chooseTool(menu, "act_batch", "frm_batch"));
        QVERIFY(window);
        const QString list = disc.dir.filePath("list.txt");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("A123456789\nZ000000000\nB123456789\n");
        file.close();
        const QString out = disc.dir.filePath("結果.xlsx");
        child<QLineEdit>(window, "tx_list")->setText(list);
        child<QLineEdit>(window, "tx_out")->setText(out);
        QSignalSpy done(window, &BatchWindow::done);
        click(child<QPushButton>(window, "cmd_run"));
        QVERIFY(done.wait(10000));
        QCOMPARE(window->summary().inputs, 3);
        QCOMPARE(window->summary().found, 2);
        QCOMPARE(window->summary().rows, 8);
        auto *bar = child<QProgressBar>(window, "bar_progress");
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(QFile::exists(out));
        QVERIFY(
            child<QLabel>(window, "lab_status")->text().startsWith("共 3 筆輸入，2 筆查到，1 筆查無資料"));
    }

    // A register that cannot be read (pla's DataFile gone, its index files there) is said to
    // be so in every window, never shown as 查無資料.
    void anUnreadableRegisterIsNeverNothingFound()
    {
        HolderDisc disc;
        const std::filesystem::path folder = disc.dir.path().toStdString();
        std::filesystem::remove(test::dataSetFile(folder, plaDataSet(), "data"));
        const QString message =
            QString("MSG_0_08 ") +
            QString::fromStdString(test::dataSetFile(folder, plaDataSet(), "data").string()) + " 開檔錯誤 !";
        Menu menu(disc.dir.path());

        auto *holder = qobject_cast<HolderWindow *>(chooseTool(menu, "act_holder", "frm_holder"));
        QVERIFY(holder);
        QSignalSpy found(holder, &HolderWindow::found);
        typeText(child<QLineEdit>(holder, "tx_key"), "Z999999999");
        click(child<QPushButton>(holder, "cmd_find"));
        QVERIFY(found.wait(10000));
        auto *tree = child<QTreeWidget>(holder, "tree_results");
        QCOMPARE(group(tree, "pla")->text(0), "pla 設質資料：無法讀取　" + message);
        QCOMPARE(group(tree, "psm")->text(0), QString("psm 證券所有人名冊：無符合資料"));

        auto *batch = qobject_cast<BatchWindow *>(chooseTool(menu, "act_batch", "frm_batch"));
        QVERIFY(batch);
        const QString list = disc.dir.filePath("list.txt");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Z999999999\n");
        file.close();
        child<QLineEdit>(batch, "tx_list")->setText(list);
        child<QLineEdit>(batch, "tx_out")->setText(disc.dir.filePath("結果.csv"));
        QSignalSpy batched(batch, &BatchWindow::done);
        click(child<QPushButton>(batch, "cmd_run"));
        QVERIFY(batched.wait(10000));
        const QString status = child<QLabel>(batch, "lab_status")->text();
        QVERIFY2(status.contains("，0 筆查無資料") && status.contains("pla 設質資料：無法讀取：" + message),
                 qPrintable(status));
        const std::vector<std::string> rows = test::csvRows(disc.dir.filePath("結果.csv").toStdString());
        QCOMPARE(rows.size(), size_t{2});
        QVERIFY2(rows[1].starts_with("Z999999999␟無法讀取␟pla␟"), rows[1].c_str());

        auto *exporter = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(exporter);
        child<QLineEdit>(exporter, "tx_out")->setText(disc.dir.filePath("disc.csv"));
        QSignalSpy exported(exporter, &ExportWindow::done);
        click(child<QPushButton>(exporter, "cmd_run"));
        QVERIFY(exported.wait(10000));
        const QString summary = child<QPlainTextEdit>(exporter, "tx_summary")->toPlainText();
        QVERIFY2(summary.contains("pla 設質資料：無法讀取"), qPrintable(summary));
    }

    void exportAndCheckReportEveryRegister()
    {
        HolderDisc disc;
        Menu menu(disc.dir.path());
        auto *exporter = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(exporter);
        const QString out = disc.dir.filePath("disc.sqlite");
        child<QLineEdit>(exporter, "tx_out")->setText(out);
        QSignalSpy exported(exporter, &ExportWindow::done);
        click(child<QPushButton>(exporter, "cmd_run"));
        QVERIFY(exported.wait(10000));
        QVERIFY(QFile::exists(out));
        const QString status = child<QPlainTextEdit>(exporter, "tx_summary")->toPlainText();
        QVERIFY2(status.contains("psm 證券所有人名冊：5 筆"), qPrintable(status));
        QVERIFY2(status.contains("psl 長戶名資料：無此名冊"), qPrintable(status));

        // The check runs as its window opens.
        auto *check = qobject_cast<CheckWindow *>(chooseTool(menu, "act_check", "frm_check"));
        QVERIFY(check);
        QSignalSpy checked(check, &CheckWindow::done);
        QVERIFY(checked.count() > 0 || checked.wait(10000));
        QCOMPARE(check->result().exitStatus(), 0);
        QCOMPARE(child<QLabel>(check, "lab_verdict")->text(),
                 QString("光碟完整：查詢所依賴的索引與資料都正確。"));
        auto *tree = child<QTreeWidget>(check, "tree_report");
        QCOMPARE(tree->topLevelItemCount(), 17);  // security.txt, two listings, fourteen registers
        QCOMPARE(group(tree, "psm")->text(2), QString("完整"));

        // A damaged register shows its defects with the first records.
        test::patchFile(test::dataSetFile(disc.dir.path().toStdString(), psmDataSet(), "idxd"), 40,
                        "0000001");
        click(child<QPushButton>(check, "cmd_run"));
        QVERIFY(checked.wait(10000));
        QCOMPARE(check->result().exitStatus(), 1);
        QTreeWidgetItem *psm = group(tree, "psm");
        QCOMPARE(psm->text(2), QString("有瑕疵"));
        QVERIFY(psm->childCount() > 0);
    }

    // 股權統計 counts the register as it opens; the tables are those worked out by hand in
    // tools_stats_test, the charts carry the same counts, and the printed page holds the
    // tables as text.
    void statsWindowShowsTablesChartsAndPrintsThem()
    {
        QTemporaryDir dir;
        test::writeStatsDisc(dir.path().toStdString());
        Menu menu(dir.path());
        auto *window = qobject_cast<StatsWindow *>(chooseTool(menu, "act_stats", "frm_stats"));
        QVERIFY(window);
        QSignalSpy done(window, &StatsWindow::done);
        QVERIFY(window->hasStats() || done.wait(10000));
        auto *bar = child<QProgressBar>(window, "bar_progress");
        QCOMPARE(bar->value(), bar->maximum());

        const auto cell = [&](const char *table, int row, int column) {
            QTableWidgetItem *item = child<QTableWidget>(window, table)->item(row, column);
            return item ? item->text() : QString();
        };
        auto *distribution = child<QTableWidget>(window, "tbl_distribution");
        QCOMPARE(distribution->rowCount(), 16);
        QCOMPARE(distribution->horizontalHeaderItem(3)->text(), QString("持股比例(%)"));
        QCOMPARE(cell("tbl_distribution", 0, 0), QString("1 至 999"));
        QCOMPARE(cell("tbl_distribution", 0, 1), QString("3"));
        QCOMPARE(cell("tbl_distribution", 13, 3), QString("47.41"));
        QCOMPARE(cell("tbl_distribution", 14, 3), QString("47.42"));
        QCOMPARE(cell("tbl_distribution", 15, 2), QString("2,109,002"));
        QCOMPARE(cell("tbl_distribution", 15, 3), QString("100.00"));
        QCOMPARE(cell("tbl_structure", 11, 8), QString("100.00"));
        QCOMPARE(cell("tbl_structure", 9, 3), QString("47.42"));
        QVERIFY(child<QLabel>(window, "lab_structure_notes")->text().contains("八位數字為法人"));
        QVERIFY(child<QLabel>(window, "lab_summary")->text().contains("歸戶股數與各筆股數合計不符：1 人"));

        // The charts: holders per level, and the structure's stacks.
        auto *holders = child<QChartView>(window, "chart_holders")->chart();
        auto *series = qobject_cast<QBarSeries *>(holders->series().value(0));
        QVERIFY(series);
        QList<qreal> counts;
        for (int i = 0; i < series->barSets().at(0)->count(); ++i)
            counts << series->barSets().at(0)->at(i);
        QCOMPARE(counts, (QList<qreal>{3, 5, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1}));
        QCOMPARE(child<QChartView>(window, "chart_structure")->chart()->series().size(), 1);

        // Ten largest: the tenth holding (1,000) is held by two, so eleven rows; masked IDs
        // until the switch shows them whole.
        QCOMPARE(child<QTableWidget>(window, "tbl_principal")->rowCount(), 11);
        QCOMPARE(cell("tbl_principal", 0, 2), QString("876**321"));
        click(child<QCheckBox>(window, "chk_show_id"));
        QCOMPARE(cell("tbl_principal", 0, 2), QString("87654321"));
        child<QSpinBox>(window, "sp_top")->setValue(2);
        child<QDoubleSpinBox>(window, "sp_percent")->setValue(2);
        click(child<QPushButton>(window, "cmd_run"));
        QVERIFY(done.wait(10000));
        QCOMPARE(child<QTableWidget>(window, "tbl_principal")->rowCount(), 3);
        QCOMPARE(cell("tbl_principal", 2, 1), QString("格式錯"));

        // 存成 PDF… writes the tables and charts; pdftotext reads the tables back.
        const QString pdf = dir.filePath("股權統計.pdf");
        menu.desktop.printDialogs.fileName = pdf;
        click(child<QPushButton>(window, "cmd_pdf"));
        QVERIFY(QFile::exists(pdf));
        const QString text = pdfText(pdf);
        for (const char *expected :
             {"股權統計", "股權分散表", "持股分級", "1 至 999", "1,000,001 以上", "2,109,002", "100.00",
              "股東結構", "外國投資機構", "主要股東", "環球基金投資專戶", "87654321", "最大餘數法"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        // 列印 without a printer offers the PDF file instead.
        QFile::remove(pdf);
        click(child<QPushButton>(window, "cmd_print"));
        QCOMPARE(menu.desktop.printDialogs.offers, 1);
        QVERIFY(QFile::exists(pdf));

        // 匯出… writes the workbook the clerk names.
        const QString xlsx = dir.filePath("統計.xlsx");
        window->askExportFile = [&] { return xlsx; };
        click(child<QPushButton>(window, "cmd_export"));
        QVERIFY(QFile::exists(xlsx));
        QVERIFY(child<QLabel>(window, "lab_status")->text().startsWith("已匯出："));
        QVERIFY(menu.desktop.messages.shown.empty());
    }
};

QTEST_MAIN(ToolWindowTest)
#include "tools_window_test.moc"
