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

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
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
QWidget *chooseTool(Menu &menu, const char *action, const char *window)
{
    auto *tools = child<QMenu>(menu.window.get(), "menu_tools");
    if (!tools)
        return nullptr;
    for (QAction *a : tools->actions())
        if (a->objectName() == QLatin1String(action))
            a->trigger();
    return shownWindow(QString::fromLatin1(window));
}

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
        QCOMPARE(tools, (QStringList{"全冊查詢…", "批次查詢…", "匯出…", "光碟檢查…"}));
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
};

QTEST_MAIN(ToolWindowTest)
#include "tools_window_test.moc"
