// The 工具 windows' files: 取消 leaves the previous file byte for byte and no temporary
// file; the result box naming the list, or a file the save dialog was not asked about, is
// refused with the reason before any work.
#include "gui_support.h"

#include "../tools_support.h"
#include "views/batch_window.h"
#include "views/export_window.h"
#include "views/main_menu_window.h"
#include "writer/sample_disc.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTimer>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class OutputWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    // 取消 while a whole disc is exported: the file that was there stays, nothing beside it.
    void cancelLeavesThePreviousFile()
    {
        QTemporaryDir disc;
        writeSampleDisc(disc.path().toStdString(), {.records = 20000});
        QTemporaryDir dir;
        const QString out = dir.filePath("匯出.xlsx");
        writeBytes(out, "the clerk's own\n");
        Menu menu(disc.path());
        auto *window = qobject_cast<ExportWindow *>(chooseTool(menu, "act_export", "frm_export"));
        QVERIFY(window);
        child<QLineEdit>(window, "tx_out")->setText(out);
        // The typed name is not replaced without the save dialog: refused, nothing runs.
        QSignalSpy done(window, &ExportWindow::done);
        click(child<QPushButton>(window, "cmd_run"));
        QCOMPARE(child<QPlainTextEdit>(window, "tx_summary")->toPlainText(),
                 "無法寫入 " + out + "：檔案已存在（要取代它，請按「選擇…」選它）");
        QCOMPARE(done.count(), 0);

        // Chosen with 選擇…, whose save dialog asks before the file is replaced (answered
        // yes), then cancelled at once.
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->selectFile(out);
                // Queued: the question the dialog asks next comes while this has returned.
                QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                box->button(QMessageBox::Yes)->click();
            }
        });
        answer.start();
        click(child<QPushButton>(window, "cmd_out"));
        answer.stop();
        QCOMPARE(child<QLineEdit>(window, "tx_out")->text(), out);
        click(child<QPushButton>(window, "cmd_run"));
        // The progress dialog shows once the work has run for a moment.
        QDialog *dialog = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = window->findChild<QDialog *>("dlg_progress")) != nullptr, 20000);
        QPushButton *cancel = dialog->findChild<QPushButton *>("cmd_cancel");
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QString("取消"));
        cancel->click();
        QVERIFY(done.count() > 0 || done.wait(60000));
        QCOMPARE(child<QPlainTextEdit>(window, "tx_summary")->toPlainText().section('\n', 0, 0),
                 QString("已取消；沒有寫出檔案。"));
        QCOMPARE(namesIn(dir.path()), QStringList{"匯出.xlsx"});
        QCOMPARE(bytesOf(out), QByteArray("the clerk's own\n"));
    }

    // The result box naming the list, even through a link, is refused; the list stays.
    void batchNeverWritesOverItsList()
    {
        QTemporaryDir dir;
        test::writeHolderDisc(dir.path().toStdString());
        const QString list = dir.filePath("名單.csv");
        writeBytes(list, "統一編號\r\nA123456789\r\n");
        QVERIFY(QFile::link(list, dir.filePath("link.csv")));
        Menu menu(dir.path());
        auto *window = qobject_cast<BatchWindow *>(chooseTool(menu, "act_batch", "frm_batch"));
        QVERIFY(window);
        QSignalSpy done(window, &BatchWindow::done);
        child<QLineEdit>(window, "tx_list")->setText(list);
        for (const QString &out : {list, dir.filePath("link.csv")}) {
            child<QLineEdit>(window, "tx_out")->setText(out);
            click(child<QPushButton>(window, "cmd_run"));
            QCOMPARE(child<QLabel>(window, "lab_status")->text(),
                     "無法寫入 " + out + "：這是輸入的檔案 " + list + "，不能寫在它上面");
        }
        child<QLineEdit>(window, "tx_out")->setText(dir.filePath("stk/結果.csv"));
        click(child<QPushButton>(window, "cmd_run"));
        QCOMPARE(child<QLabel>(window, "lab_status")->text(), "無法寫入 " + dir.filePath("stk/結果.csv") +
                                                                  "：這在光碟的資料夾 " +
                                                                  dir.filePath("stk") + " 內，不能寫在那裡");
        QCOMPARE(done.count(), 0);
        QCOMPARE(bytesOf(list), QByteArray("統一編號\r\nA123456789\r\n"));
    }
};

QTEST_MAIN(OutputWindowTest)
#include "output_window_test.moc"
