// The 工具 windows as a clerk meets them on a small display (1366 × 768; run again at
// 1920 × 1080): screens and tool windows that say which disc they read and keep to it when
// the main menu's folder changes; the keyboard back in the window that opened a dialog; a
// progress dialog that stays above its window, names its stage, never goes back and goes
// only when its work has ended; the statistics window on the display; Esc and 關閉; Enter
// in the folder box; messages in Chinese that say why; the disc check's report.
#include "gui_support.h"

#include "../tools_support.h"
#include "hand_built_disc.h"
#include "views/background_work.h"
#include "views/batch_window.h"
#include "views/check_window.h"
#include "views/compare_window.h"
#include "views/export_window.h"
#include "views/file_dialogs.h"
#include "views/holder_window.h"
#include "views/listing_window.h"
#include "views/query_screen_window.h"
#include "views/stats_window.h"
#include "views/tool_messages.h"
#include "views/tools_menu.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <functional>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

// A holder disc (A123456789 in psm, both parties of pla, psr) in a folder of its own.
struct HolderDisc {
    HolderDisc() { test::writeHolderDisc(dir.path().toStdString()); }
    QString folder() const { return dir.path(); }
    QTemporaryDir dir;
};

// Names a folder in the main menu's folder box and presses Enter.
void enterFolder(Menu &menu, const QString &folder)
{
    menu.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu.window.get()));
    QLineEdit *box = menu.folderBox();
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, folder);
    QTest::keyClick(box, Qt::Key_Return);
}

QString discLine(QWidget *screen)
{
    auto *bar = child<QStatusBar>(screen, "bar_disc");
    return bar ? bar->currentMessage() : QStringLiteral("(no disc line)");
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

// The whole control is in sight: inside its window and inside the part of every scroll
// area it lies in that is shown.
bool wholeInSight(QWidget *control)
{
    QWidget *window = control->window();
    const QRect rect(control->mapTo(window, QPoint()), control->size());
    if (!window->rect().contains(rect))
        return false;
    for (QWidget *p = control->parentWidget(); p && p != window; p = p->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(p->parentWidget());
            area && area->viewport() == p)
            if (!QRect(p->mapTo(window, QPoint()), p->size()).contains(rect))
                return false;
    return true;
}

// Runs 全冊查詢 for an ID in the holder window.
void findId(HolderWindow *window, const QString &id)
{
    QSignalSpy found(window, &HolderWindow::found);
    auto *input = child<QLineEdit>(window, "tx_key");
    input->clear();
    typeText(input, id);
    click(child<QPushButton>(window, "cmd_find"));
    QVERIFY(found.wait(10000));
}

void writeText(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The text of the modal dialog `show` brings up; the dialog is then closed.
QString modalText(const std::function<void()> &show)
{
    QString text;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        text = box->text();
        box->reject();
    });
    poll.start();
    show();
    return text;
}

}  // namespace

class ClerkDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("frm_")) &&
                w->objectName() != QLatin1String("frm_0") && w->isVisible())
                w->close();
        QApplication::processEvents();
    }

    // The folder changes under open screens: they say they read the earlier disc; 全冊查詢
    // on the new disc opens only a screen of the new disc, asking before it replaces one
    // of the old; results of the old disc open nothing once the menu names another.
    void discChangedUnderOpenScreens()
    {
        HolderDisc first;
        HolderDisc second;
        Menu menu(first.folder());
        const QString firstFolder = QDir::toNativeSeparators(QDir(first.folder()).canonicalPath());
        const QString secondFolder = QDir::toNativeSeparators(QDir(second.folder()).canonicalPath());

        QWidget *pledges = menu.open("cmd_2");
        QWidget *ptr = nullptr;
        QVERIFY(pledges);
        QCOMPARE(discLine(pledges),
                 QStringLiteral("光碟：") + firstFolder + QStringLiteral("（製作日期:113/12/09）"));
        // The holder window's results of the first disc.
        auto *holder = qobject_cast<HolderWindow *>(chooseTool(menu, "act_holder", "frm_holder"));
        QVERIFY(holder);
        findId(holder, QStringLiteral("A123456789"));
        QVERIFY(holder->windowTitle().contains(firstFolder));

        enterFolder(menu, second.folder());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        // The open screen says it reads the earlier disc and names the menu's.
        QVERIFY2(discLine(pledges).startsWith(QStringLiteral("此畫面讀取先前的光碟：") + firstFolder),
                 qPrintable(discLine(pledges)));
        QVERIFY2(discLine(pledges).contains(secondFolder), qPrintable(discLine(pledges)));
        // A screen opened now reads the new one.
        ptr = menu.open("cmd_1");
        QVERIFY(ptr);
        QVERIFY2(discLine(ptr).startsWith(QStringLiteral("光碟：") + secondFolder),
                 qPrintable(discLine(ptr)));
        ptr->close();

        // The first disc's results open nothing now.
        QVERIFY(holder->windowTitle().contains(QStringLiteral("主選單已改用另一片光碟")));
        auto *tree = child<QTreeWidget>(holder, "tree_results");
        QStringList questions;
        holder->askReplace = [&](const QString &question) {
            questions << question;
            return false;
        };
        doubleClick(tree, group(tree, "psm")->child(0));
        QVERIFY(!shownWindow("frm_1"));
        QVERIFY(
            child<QLabel>(holder, "lab_status")->text().contains(QStringLiteral("主選單現在的光碟不是它")));
        QVERIFY(questions.isEmpty());

        // Found again on the new disc: the pledge screen open on the old disc is not used.
        findId(holder, QStringLiteral("A123456789"));
        QVERIFY(holder->windowTitle().contains(secondFolder));
        auto *oldPledges = qobject_cast<QueryScreenWindow *>(pledges);
        const std::int64_t shownBefore = oldPledges->model().recordShown();
        doubleClick(tree, group(tree, "pla")->child(1));
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions.front().contains(firstFolder) && questions.front().contains(secondFolder),
                 qPrintable(questions.front()));
        QCOMPARE(oldPledges->model().recordShown(), shownBefore);
        QCOMPARE(shownWindow("frm_2"), pledges);
        QVERIFY(child<QLabel>(holder, "lab_status")->text().contains(QStringLiteral("開著另一片光碟")));

        // Agreed: the old screen is closed and one of the new disc shows the record.
        QPointer<QWidget> old = pledges;
        holder->askReplace = [&](const QString &question) {
            questions << question;
            return true;
        };
        doubleClick(tree, group(tree, "pla")->child(1));
        QTRY_VERIFY(!old || !old->isVisible());
        auto *fresh = qobject_cast<QueryScreenWindow *>(shownWindow("frm_2"));
        QVERIFY(fresh);
        QCOMPARE(fresh->model().recordShown(), 2);
        QVERIFY2(discLine(fresh).startsWith(QStringLiteral("光碟：") + secondFolder),
                 qPrintable(discLine(fresh)));
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    // 匯出's 選擇…, where the window manager handed the keyboard to the main menu while the
    // save dialog and its overwrite question were up: the keyboard comes back to 匯出, and
    // the next Enter opens nothing on the main menu.
    void focusReturnsAfterTheFileDialog()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        auto *exporter = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(exporter);
        QVERIFY(QTest::qWaitForWindowActive(exporter));
        const QString existing = disc.dir.filePath(QStringLiteral("已有.xlsx"));
        writeText(existing, "x");
        auto *browse = child<QPushButton>(exporter, "cmd_out");
        browse->setFocus();
        QTRY_VERIFY(browse->hasFocus());
        bool menuHadKeyboard = false;
        exporter->askOutputFile = [&] {
            // 是(Y) to the overwrite question; the window manager gives the keyboard to the menu.
            menu.window->activateWindow();
            menu.button("cmd_18")->setFocus();
            menuHadKeyboard =
                QTest::qWaitFor([&] { return QApplication::activeWindow() == menu.window.get(); });
            return existing;
        };
        click(browse);
        QVERIFY(menuHadKeyboard);
        QCOMPARE(child<QLineEdit>(exporter, "tx_out")->text(), QDir::toNativeSeparators(existing));
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(exporter));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(browse));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        QVERIFY(!shownWindow("frm_18"));
    }

    // The progress dialog over a tool window: modal to it, standing over it and the main
    // menu (brought forward again when the menu is); its stage and count; a bar that never
    // goes back, then runs without a position while the file is written; 取消 and Esc
    // leave it up until the work has stopped.
    void progressDialogStackingStagesAndCancel()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        auto *exporter = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(exporter);
        QVERIFY(QTest::qWaitForWindowActive(exporter));
        BackgroundWork &work = exporter->work();
        work.setDialogDelay(0);

        QSemaphore go;  // the test lets the work take its next step
        QSemaphore stepped;  // the work has taken it
        std::atomic<bool> sawCancel{false};
        const auto next = [&] {
            go.release();
            QVERIFY(stepped.tryAcquire(1, 10000));
        };
        BackgroundWork::Outcome outcome;
        bool ended = false;
        WorkPlan plan;
        plan.steps = 200;
        plan.countedShare = 0.4;
        plan.afterStage = QStringLiteral("寫入檔案…");
        work.start(
            QStringLiteral("匯出"),
            [&](SharedProgress &progress) {
                const auto wait = [&] {
                    stepped.release();
                    go.acquire();
                };
                go.acquire();
                progress.begin(u"證券所有人名冊", 0);
                progress.begin({}, 100);
                progress.step(50);
                wait();
                // A stage announced with its count and taken up again by its scan is one stage.
                progress.begin(u"設質資料", 100);
                progress.begin({}, 100);
                progress.step(10);
                wait();
                progress.step(100);  // every record counted: the file is being written
                wait();
                progress.begin(u"寫入檔案…", 10);
                progress.step(5);
                wait();
                // Cancelled: the work takes its time to stop.
                while (!progress.cancelled())
                    QThread::yieldCurrentThread();
                sawCancel = true;
                wait();
                throw WorkCancelled();
            },
            [&](const BackgroundWork::Outcome &o) {
                outcome = o;
                ended = true;
            },
            plan);
        QTRY_VERIFY(work.dialog() && work.dialog()->isVisible());
        ProgressDialog *dialog = work.dialog();
        QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(exporter));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QVERIFY(dialog->windowHandle() &&
                dialog->windowHandle()->transientParent() == exporter->windowHandle());
        QCOMPARE(exporter->windowHandle()->transientParent(), menu.window->windowHandle());
        auto *stage = child<QLabel>(dialog, "lab_stage");
        auto *count = child<QLabel>(dialog, "lab_count");
        QList<int> positions;
        auto *bar = child<QProgressBar>(dialog, "bar_work");
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            if (bar->maximum() > 0)
                positions << value;
        });

        next();
        QTRY_COMPARE(stage->text(), QStringLiteral("證券所有人名冊"));
        QTRY_COMPARE(count->text(), QStringLiteral("50 / 100 筆"));
        QTRY_COMPARE(dialog->position(), 100);  // 50 of 200 records, in the first 40%
        next();
        QTRY_COMPARE(stage->text(), QStringLiteral("設質資料"));
        QTRY_COMPARE(count->text(), QStringLiteral("10 / 100 筆"));
        QTRY_COMPARE(dialog->position(), 220);
        next();
        QTRY_COMPARE(stage->text(), QStringLiteral("寫入檔案…"));
        QTRY_COMPARE(dialog->position(), -1);  // running, of a length nobody can tell
        next();
        QTRY_COMPARE(dialog->position(), 700);  // half of the writing, in the last 60%
        for (qsizetype i = 1; i < positions.size(); ++i)
            QVERIFY2(positions[i] >= positions[i - 1], "the bar went back");

        // The main menu brought forward (the clerk clicked it): the dialog comes forward over
        // it again.
        QApplication::setActiveWindow(menu.window.get());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(dialog));

        // 取消, then Esc: the dialog says it is stopping and stays while the work runs.
        click(child<QPushButton>(dialog, "cmd_cancel"));
        go.release();
        QTRY_VERIFY(sawCancel.load());
        QVERIFY(stepped.tryAcquire(1, 10000));
        QCOMPARE(stage->text(), QStringLiteral("正在取消…"));
        QVERIFY(!child<QPushButton>(dialog, "cmd_cancel")->isEnabled());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(!ended);
        go.release();
        QTRY_VERIFY(ended);
        QVERIFY(outcome.cancelled);
        QTRY_VERIFY(!work.dialog());
        QVERIFY(!shownWindow("dlg_progress"));

        // Work of several stages that nobody counted beforehand: each stage's own count,
        // and the bar stays where it was until the next stage passes it.
        ended = false;
        work.start(
            QStringLiteral("匯出"),
            [&](SharedProgress &progress) {
                go.acquire();
                progress.begin(u"甲", 100);
                progress.step(80);
                stepped.release();
                go.acquire();
                progress.begin(u"乙", 100);
                progress.step(10);
                stepped.release();
                go.acquire();
                progress.step(90);
                stepped.release();
                go.acquire();
            },
            [&](const BackgroundWork::Outcome &) { ended = true; });
        QTRY_VERIFY(work.dialog() && work.dialog()->isVisible());
        dialog = work.dialog();
        stage = child<QLabel>(dialog, "lab_stage");
        next();
        QTRY_COMPARE(dialog->position(), 800);
        next();
        QTRY_COMPARE(stage->text(), QStringLiteral("乙"));
        QTRY_COMPARE(child<QLabel>(dialog, "lab_count")->text(), QStringLiteral("10 / 100 筆"));
        QCOMPARE(dialog->position(), 800);
        next();
        QTRY_COMPARE(dialog->position(), 900);
        go.release();
        QTRY_VERIFY(ended);
    }

    // 異動比較 on the display: once a comparison fills its summary, the window still lies
    // whole on it (the movement's page scrolls instead), and so does every page's table.
    void compareWindowFitsTheDisplay()
    {
        QTemporaryDir dir;
        const QString older = dir.filePath("older"), newer = dir.filePath("newer");
        test::writeComparePair(older.toStdString(), newer.toStdString());
        Menu menu(newer);
        CompareWindow *window = runComparison(menu, older);
        QVERIFY(window);
        QVERIFY2(window->hasComparison(), qPrintable(child<QLabel>(window, "lab_status")->text()));
        QApplication::processEvents();
        const QRect area = window->screen()->availableGeometry();
        auto *tabs = child<QTabWidget>(window, "tab_compare");
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QApplication::processEvents();
            QVERIFY2(area.contains(window->frameGeometry()),
                     qPrintable(QStringLiteral("%1: %2,%3 %4×%5 on %6×%7")
                                    .arg(tabs->tabText(page))
                                    .arg(window->frameGeometry().x())
                                    .arg(window->frameGeometry().y())
                                    .arg(window->frameGeometry().width())
                                    .arg(window->frameGeometry().height())
                                    .arg(area.width())
                                    .arg(area.height())));
        }
    }

    // 股權統計 on the display: the whole window on it, every row of the distribution and of
    // the structure in sight without scrolling, the columns filling the tables' width, the
    // charts whole inside the window; maximised, the charts grow; Enter in 持股前 recounts.
    void statsWindowFitsTheDisplay()
    {
        QTemporaryDir dir;
        test::writeStatsDisc(dir.path().toStdString());
        Menu menu(dir.path());
        auto *window = qobject_cast<StatsWindow *>(chooseTool(menu, "act_stats", "frm_stats"));
        QVERIFY(window);
        QSignalSpy done(window, &StatsWindow::done);
        QVERIFY(window->hasStats() || done.wait(10000));
        QApplication::processEvents();
        const QRect area = window->screen()->availableGeometry();
        QVERIFY2(area.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3×%4")
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())));
        auto *tabs = child<QTabWidget>(window, "tab_stats");
        const auto checkPage = [&](int page, const char *tableName, int rows,
                                   std::vector<const char *> charts) {
            tabs->setCurrentIndex(page);
            QApplication::processEvents();
            auto *table = child<QTableWidget>(window, tableName);
            QCOMPARE(table->rowCount(), rows);
            // Every row in sight: the table itself does not scroll, nor does its page.
            QVERIFY2(table->rowViewportPosition(rows - 1) + table->rowHeight(rows - 1) <=
                         table->viewport()->height(),
                     tableName);
            QVERIFY2(table->isVisible() && wholeInSight(table), tableName);
            // The columns take the table's whole width.
            int width = 0;
            for (int c = 0; c < table->columnCount(); ++c) {
                width += table->columnWidth(c);
                QVERIFY2(table->columnWidth(c) >= table->horizontalHeader()->sectionSizeHint(c), tableName);
            }
            QVERIFY2(std::abs(width - table->viewport()->width()) <= 1,
                     qPrintable(QStringLiteral("%1: %2 of %3")
                                    .arg(tableName)
                                    .arg(width)
                                    .arg(table->viewport()->width())));
            // Nothing of the page lies beyond its sides or its foot.
            auto *scroll = qobject_cast<QScrollArea *>(tabs->currentWidget());
            QVERIFY(scroll);
            QVERIFY2(scroll->horizontalScrollBar()->maximum() == 0 &&
                         scroll->verticalScrollBar()->maximum() == 0,
                     tableName);
            for (const char *name : charts) {
                auto *chart = child<QChartView>(window, name);
                QVERIFY2(chart->isVisible(), name);
                QVERIFY2(wholeInSight(chart), name);
                QVERIFY2(chart->width() >= 250 && chart->height() >= 150, name);
            }
        };
        checkPage(0, "tbl_distribution", 16, {"chart_holders", "chart_shares"});
        checkPage(1, "tbl_structure", 12, {"chart_structure"});
        tabs->setCurrentIndex(0);
        QApplication::processEvents();

        // Maximised: the charts take the room.
        const QSize before = child<QChartView>(window, "chart_holders")->size();
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        QTRY_VERIFY(child<QChartView>(window, "chart_holders")->height() > before.height() ||
                    child<QChartView>(window, "chart_holders")->width() > before.width());
        checkPage(0, "tbl_distribution", 16, {"chart_holders", "chart_shares"});

        // Enter in 持股前 counts again with the number typed.
        auto *top = child<QSpinBox>(window, "sp_top");
        top->setFocus();
        QTRY_VERIFY(top->hasFocus());
        top->selectAll();
        QTest::keyClicks(top, QStringLiteral("2"));
        const qsizetype runs = done.size();
        QTest::keyClick(top, Qt::Key_Return);
        QTRY_VERIFY(done.size() > runs);
        QCOMPARE(child<QTableWidget>(window, "tbl_principal")->rowCount(), 2);
    }

    // Every tool window has a visible 關閉 and closes with Esc.
    void escAndCloseButton_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::newRow("全冊查詢") << "act_holder"
                                  << "frm_holder";
        QTest::newRow("批次查詢") << "act_batch"
                                  << "frm_batch";
        QTest::newRow("匯出") << "act_export"
                              << "frm_export";
        QTest::newRow("股權統計") << "act_stats"
                                  << "frm_stats";
        QTest::newRow("光碟檢查") << "act_check"
                                  << "frm_check";
        QTest::newRow("異動比較") << "act_compare"
                                  << "frm_compare";
    }

    void escAndCloseButton()
    {
        QFETCH(QString, action);
        QFETCH(QString, window);
        HolderDisc disc;
        Menu menu(disc.folder());
        QWidget *tool = chooseTool(menu, action.toLatin1().constData(), window.toLatin1().constData());
        QVERIFY(tool);
        QVERIFY(QTest::qWaitForWindowActive(tool));
        QTRY_VERIFY(!QApplication::activeModalWidget());  // 股權統計 and 光碟檢查 run as they open
        QTRY_COMPARE(QApplication::activeWindow(), tool);
        auto *close = child<QPushButton>(tool, "cmd_close");
        QVERIFY(close && close->isVisible());
        QCOMPARE(close->text(), QStringLiteral("關閉"));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : tool, Qt::Key_Escape);
        QTRY_VERIFY(!shownWindow(window));
        // Again from the menu, closed by its button.
        tool = chooseTool(menu, action.toLatin1().constData(), window.toLatin1().constData());
        QVERIFY(tool);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        click(child<QPushButton>(tool, "cmd_close"));
        QTRY_VERIFY(!shownWindow(window));
    }

    // Enter in the folder box reads the folder typed, as the folder dialog does: the
    // production date follows at once, and "檔案位置錯誤" goes as soon as a right folder is.
    void enterInTheFolderBox()
    {
        QTemporaryDir first;
        test::writeHandDisc(first.path().toStdString());
        QTemporaryDir second;
        test::writeHandDisc(second.path().toStdString(),
                            {u"T02", u"乙公司", u"114/02/03", u"Y", u"114/02/04"});
        QTemporaryDir empty;
        Menu menu(first.path());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        enterFolder(menu, second.path());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:114/02/04"));
        QVERIFY(menu.folderBox()->hasFocus());
        enterFolder(menu, empty.path());
        QCOMPARE(menu.productionDate(), QStringLiteral("檔案位置錯誤"));
        QCOMPARE(menu.desktop.messages.texts(),
                 QStringList{empty.path() + QStringLiteral("資料夾內需同時存在stk及stkidx次目錄")});
        enterFolder(menu, first.path());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
    }

    // 說明 → 關於 names every tool of the 工具 menu.
    void aboutNamesEveryTool()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        QAction *about = child<QAction>(menu.window.get(), "act_about");
        QVERIFY(about);
        const QString text = modalText([&] { about->trigger(); });
        for (const char *tool : {"全冊查詢", "批次查詢", "匯出", "股權統計", "光碟檢查"})
            QVERIFY2(text.contains(QString::fromUtf8(tool)), tool);
    }

    // 全冊查詢's columns show their values whole: each column as wide as its longest value,
    // the header's sections resizable, and every value in its tool tip.
    void holderColumnsReadInFull()
    {
        // The sample's holder A112345677 holds three accounts, each with its dates.
        SampleDisc disc(60);
        Menu menu(disc.folder());
        auto *holder = qobject_cast<HolderWindow *>(chooseTool(menu, "act_holder", "frm_holder"));
        QVERIFY(holder);
        findId(holder, QStringLiteral("A112345677"));
        auto *tree = child<QTreeWidget>(holder, "tree_results");
        QTreeWidgetItem *psm = group(tree, "psm");
        QVERIFY(psm && psm->childCount() >= 2);
        const QString dates = psm->child(0)->text(7);
        QVERIFY2(dates.contains(QStringLiteral("地址異動 0")), qPrintable(dates));
        for (int c = 0; c < tree->columnCount(); ++c) {
            QCOMPARE(tree->header()->sectionResizeMode(c), QHeaderView::Interactive);
            for (QTreeWidgetItem *item : {psm->child(0), psm->child(1)}) {
                QCOMPARE(item->toolTip(c), item->text(c));
                QVERIFY2(tree->columnWidth(c) >= tree->fontMetrics().horizontalAdvance(item->text(c)),
                         qPrintable(item->text(c)));
            }
        }
    }

    // Messages say why, in Chinese: a missing column names the list's columns; a result
    // in a folder that is not there, an output that is a folder, a list that is not there.
    void messagesSayWhyInChinese()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        auto *batch = qobject_cast<BatchWindow *>(chooseTool(menu, "act_batch", "frm_batch"));
        QVERIFY(batch);
        const QString list = disc.dir.filePath(QStringLiteral("名單.csv"));
        writeText(list, "姓名,身分證字號\r\n王大明,A123456789\r\n");
        auto *status = child<QLabel>(batch, "lab_status");
        const auto runBatch = [&](const QString &listFile, const QString &column, const QString &out) {
            child<QLineEdit>(batch, "tx_list")->setText(listFile);
            child<QLineEdit>(batch, "tx_column")->setText(column);
            child<QLineEdit>(batch, "tx_out")->setText(out);
            click(child<QPushButton>(batch, "cmd_run"));
            return status->text();
        };
        const QString out = disc.dir.filePath(QStringLiteral("結果.csv"));
        QCOMPARE(runBatch(list, QStringLiteral("ID"), out),
                 QStringLiteral("名單沒有「ID」欄；第一列的欄位是 「姓名」、「身分證字號」"));
        QCOMPARE(runBatch(disc.dir.filePath(QStringLiteral("沒有.txt")), {}, out),
                 QStringLiteral("無法讀取名單 ") +
                     QDir::toNativeSeparators(disc.dir.filePath(QStringLiteral("沒有.txt"))) +
                     QStringLiteral("：檔案不存在"));
        const QString noFolder = disc.dir.filePath(QStringLiteral("沒有這個資料夾"));
        QCOMPARE(runBatch(list, QStringLiteral("身分證字號"), noFolder + QStringLiteral("/結果.sqlite")),
                 QStringLiteral("無法寫入結果檔：資料夾不存在：") + QDir::toNativeSeparators(noFolder));
        QVERIFY(!QFile::exists(noFolder));
        // The list itself is never the result.
        const QString listCsv = disc.dir.filePath(QStringLiteral("名單2.csv"));
        writeText(listCsv, "A123456789\r\n");
        QCOMPARE(runBatch(listCsv, {}, listCsv),
                 QStringLiteral("無法寫入 ") + QDir::toNativeSeparators(listCsv) +
                     QStringLiteral("：這是輸入的檔案 ") + QDir::toNativeSeparators(listCsv) +
                     QStringLiteral("，不能寫在它上面"));
        QFile kept(listCsv);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("A123456789\r\n"));

        auto *exporter = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(exporter);
        const QString folderAsFile = disc.dir.filePath(QStringLiteral("像檔案.xlsx"));
        QVERIFY(QDir().mkpath(folderAsFile));
        child<QLineEdit>(exporter, "tx_out")->setText(folderAsFile);
        click(child<QPushButton>(exporter, "cmd_run"));
        QCOMPARE(child<QPlainTextEdit>(exporter, "tx_summary")->toPlainText(),
                 QStringLiteral("無法匯出：「") + QDir::toNativeSeparators(folderAsFile) +
                     QStringLiteral("」是資料夾，不是檔案。"));
    }

    // A writer's English error after a failed write becomes a sentence that says why.
    void outputFailuresInTheClerksWords()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("匯出.xlsx"));
        const QString shown = QDir::toNativeSeparators(file);
        const struct {
            QString error;
            std::int64_t free;
            QString expected;
        } cases[] = {
            {QStringLiteral("Error creating output xlsx file. Usually a permissions error."), 4096,
             QStringLiteral("磁碟空間不足，無法寫完 ") + shown + QStringLiteral("（") +
                 QDir::toNativeSeparators(dir.path()) + QStringLiteral(" 所在的磁碟只剩 4 KB）。")},
            {QStringLiteral("cannot write ") + file, 0,
             QStringLiteral("磁碟空間不足，無法寫完 ") + shown + QStringLiteral("（") +
                 QDir::toNativeSeparators(dir.path()) + QStringLiteral(" 所在的磁碟只剩 0 KB）。")},
            {QStringLiteral("unable to open database file"), 1ll << 40,
             QStringLiteral("無法寫入 ") + shown + QStringLiteral("：寫入時發生錯誤，檔案沒有寫完。")},
            {QStringLiteral("無法寫入 ") + shown + QStringLiteral("：磁碟已滿"), 1ll << 40,
             QStringLiteral("無法寫入 ") + shown + QStringLiteral("：磁碟已滿")},
        };
        for (const auto &c : cases)
            QCOMPARE(outputFailure(file, c.error, [&](const QString &) { return c.free; }), c.expected);
        // The folder gone meanwhile: that is the reason given.
        const QString gone = dir.filePath(QStringLiteral("走了/匯出.csv"));
        QCOMPARE(outputFailure(gone, QStringLiteral("cannot write"), [](const QString &) { return 0; }),
                 QStringLiteral("無法寫入 ") + QDir::toNativeSeparators(gone) +
                     QStringLiteral("：資料夾不存在：") +
                     QDir::toNativeSeparators(dir.filePath(QStringLiteral("走了"))));
    }

    // A new run starts clean: the last run's bar and status go, also when it then stops
    // at once.
    void statusClearedWhenARunStarts()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        auto *batch = qobject_cast<BatchWindow *>(chooseTool(menu, "act_batch", "frm_batch"));
        QVERIFY(batch);
        const QString list = disc.dir.filePath(QStringLiteral("list.txt"));
        writeText(list, "A123456789\n");
        child<QLineEdit>(batch, "tx_list")->setText(list);
        child<QLineEdit>(batch, "tx_out")->setText(disc.dir.filePath(QStringLiteral("out.csv")));
        QSignalSpy done(batch, &BatchWindow::done);
        click(child<QPushButton>(batch, "cmd_run"));
        QVERIFY(done.wait(10000));
        auto *bar = child<QProgressBar>(batch, "bar_progress");
        QCOMPARE(bar->value(), bar->maximum());
        child<QLineEdit>(batch, "tx_out")->setText(QStringLiteral("out.txt"));
        click(child<QPushButton>(batch, "cmd_run"));
        QCOMPARE(bar->value(), bar->minimum());
        QCOMPARE(child<QLabel>(batch, "lab_status")->text(),
                 QStringLiteral("請以 .csv、.xlsx 或 .sqlite 為結果檔名。"));
    }

    // Tool windows open beside the menu, as the screens do, away from each other, never
    // on one spot.
    void toolWindowsCascade()
    {
        HolderDisc disc;
        Menu menu(disc.folder());
        const QRect area = menu.window->screen()->availableGeometry();
        menu.window->move(area.topLeft());
        QTRY_COMPARE(menu.window->frameGeometry().topLeft(), area.topLeft());
        QWidget *exporter = chooseTool(menu, "act_export", "frm_export");
        QVERIFY(exporter);
        QVERIFY(area.contains(exporter->frameGeometry()));
        QVERIFY(!exporter->frameGeometry().intersects(menu.window->frameGeometry()));
        QList<QPoint> corners{exporter->frameGeometry().topLeft()};
        for (const auto &[action, name] :
             {std::pair{"act_batch", "frm_batch"}, {"act_holder", "frm_holder"}}) {
            QWidget *tool = chooseTool(menu, action, name);
            QVERIFY(tool);
            QVERIFY(area.contains(tool->frameGeometry()));
            for (const QPoint corner : corners) {
                QVERIFY2((tool->frameGeometry().topLeft() - corner).manhattanLength() > 20, name);
            }
            corners << tool->frameGeometry().topLeft();
        }
        QWidget *screen = menu.open("cmd_1");
        QVERIFY(screen);
        for (const QPoint corner : corners)
            QVERIFY((screen->frameGeometry().topLeft() - corner).manhattanLength() > 20);
    }

    // The file dialogs open where a file was last chosen, the PDF dialog of a printout too.
    void fileDialogsRememberTheFolder()
    {
        QTemporaryDir dir;
        rememberFileFolder(dir.filePath(QStringLiteral("上次.csv")));
        QCOMPARE(lastFileFolder(), QDir(dir.path()).absolutePath());
        QCOMPARE(fileDialogStart({}, QStringLiteral("匯出.xlsx")), dir.filePath(QStringLiteral("匯出.xlsx")));
        // A file the window names keeps its own folder.
        QCOMPARE(fileDialogStart(dir.filePath(QStringLiteral("x.csv")), QStringLiteral("匯出.xlsx")),
                 dir.filePath(QStringLiteral("x.csv")));

        QTemporaryDir folder;
        test::writeHandDisc(folder.path().toStdString());
        Menu menu(folder.path());
        QWidget *screen = menu.open("cmd_5");
        QVERIFY(screen);
        menu.desktop.printDialogs.fileName.clear();  // the clerk cancels
        click(child<QPushButton>(screen, "cmd_1"));
        QCOMPARE(menu.desktop.printDialogs.suggestions.size(), 1);
        QCOMPARE(QFileInfo(menu.desktop.printDialogs.suggestions.front()).absolutePath(),
                 QDir(dir.path()).absolutePath());
    }

    // 光碟檢查 names the folder and production date it checked, formats its counts, shows a
    // defect in the file as a whole as such, says what the defects mean and which screens
    // they touch, and saves its report as a PDF file.
    void checkReportForTheClerk()
    {
        SampleDisc disc(1200);
        const QString folder = QDir::toNativeSeparators(QDir(disc.folder()).canonicalPath());
        Menu menu(disc.folder());
        auto *check = qobject_cast<CheckWindow *>(chooseTool(menu, "act_check", "frm_check"));
        QVERIFY(check);
        QSignalSpy done(check, &CheckWindow::done);
        QVERIFY(done.size() > 0 || done.wait(20000));
        const QString checked = child<QLabel>(check, "lab_checked")->text();
        QVERIFY2(checked.startsWith(QStringLiteral("檢查的光碟：") + folder +
                                    QStringLiteral("　製作日期:113/12/09")),
                 qPrintable(checked));
        auto *tree = child<QTreeWidget>(check, "tree_report");
        QCOMPARE(group(tree, "psm")->text(1), QStringLiteral("1,200"));
        QVERIFY(child<QTextBrowser>(check, "tx_meaning")
                    ->toPlainText()
                    .contains(QStringLiteral("所有名冊都可以照常查詢")));

        // A DataFile one byte too long: the whole file is at fault, not record 0.
        QFile data(disc.path(QStringLiteral("stk/X001.psm")));
        QVERIFY(data.open(QIODevice::Append));
        data.write(" ");
        data.close();
        click(child<QPushButton>(check, "cmd_run"));
        QVERIFY(done.wait(20000));
        QTreeWidgetItem *psm = group(tree, "psm");
        QCOMPARE(psm->text(2), QStringLiteral("有瑕疵"));
        QTreeWidgetItem *length = nullptr;
        for (int i = 0; i < psm->childCount(); ++i)
            if (psm->child(i)->text(0) == QStringLiteral("檔案長度不是整數筆"))
                length = psm->child(i);
        QVERIFY(length);
        // The record that is cut short, and how much of it there is.
        QCOMPARE(length->text(3), QStringLiteral("1,201；最後 1 位元組不足一筆（每筆 494 位元組）"));
        QVERIFY(!length->toolTip(0).isEmpty());
        const QString meaning = child<QTextBrowser>(check, "tx_meaning")->toPlainText();
        QVERIFY2(meaning.contains(QStringLiteral("影響「證券所有人名冊查詢」畫面")), qPrintable(meaning));
        QVERIFY2(meaning.contains(QStringLiteral("沒有燒錄完整")), qPrintable(meaning));
        QVERIFY(child<QLabel>(check, "lab_verdict")->text().startsWith(QStringLiteral("發現瑕疵")));

        // The folder box names another disc now: the window says which one 重新檢查 reads.
        QTemporaryDir other;
        test::writeHandDisc(other.path().toStdString());
        enterFolder(menu, other.path());
        QTRY_VERIFY(child<QLabel>(check, "lab_checked")
                        ->text()
                        .contains(QStringLiteral("按「重新檢查」會檢查主選單目前的光碟")));

        // 存成 PDF….
        const QString pdf = other.filePath(QStringLiteral("光碟檢查.pdf"));
        menu.desktop.printDialogs.fileName = pdf;
        click(child<QPushButton>(check, "cmd_pdf"));
        QVERIFY(QFile::exists(pdf));
        const QString text = pdfText(pdf);
        for (const QString &expected : {QStringLiteral("光碟檢查報告"), QStringLiteral("製作日期:113/12/09"),
                                        QStringLiteral("檔案長度不是整數筆"), QStringLiteral("沒有燒錄完整")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QVERIFY2(
            text.simplified().remove(QLatin1Char(' ')).contains(QString(folder).remove(QLatin1Char(' '))),
            qPrintable(text));
    }
};

// The display the clerk has: 1366 × 768 unless REGDISC_TEST_DISPLAY names another
// ("1920x1080").
int main(int argc, char *argv[])
{
    QByteArray size = qgetenv("REGDISC_TEST_DISPLAY");
    if (size.isEmpty())
        size = "1366x768";
    const QList<QByteArray> wh = size.split('x');
    const QString config = QDir::temp().filePath(
        QStringLiteral("regdisc-clerk-test-%1.json").arg(QCoreApplication::applicationPid()));
    {
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) || wh.size() != 2)
            return 1;
        file.write(R"({"screens": [{"name": "clerk", "x": 0, "y": 0, "width": )" + wh[0] + R"(, "height": )" +
                   wh[1] + R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    int status = 0;
    {
        QApplication app(argc, argv);
        ClerkDesktopTest test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    QFile::remove(config);
    return status;
}

#include "clerk_desktop_test.moc"
