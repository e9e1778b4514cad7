// The Linux document opener against the real xdg-mime and xdg-open, with a temporary
// application/pdf handler that writes a marker file, and its result codes for a missing
// folder, a missing file, a file that cannot be read and a desktop without a PDF
// application.
#include "gui_support.h"

#include "views/desktop_opener.h"
#include "views/main_menu_window.h"
#include "views/query_screen_window.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

void writeFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

}  // namespace

class OpenerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty(),
                 "xdg-utils is not installed (scripts/install-deps.sh installs it)");
        disc_ = std::make_unique<SampleDisc>(50);
        writeFile(disc_->path(QStringLiteral("stkidx/X001_pla.pdf")), "%PDF-1.4\n");

        // A desktop of our own: no desktop environment, every XDG folder in a temporary
        // folder, and a display for xdg-open to believe in.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
            qunsetenv(name);
        qputenv("XDG_DATA_HOME", desktop_.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", desktop_.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_DIRS", desktop_.filePath(QStringLiteral("none")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", desktop_.filePath(QStringLiteral("none")).toUtf8());
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":93");
    }

    // Paths under the sample disc, which exists only once initTestCase ran.
    void resultCodes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::newRow("missing folder") << "nowhere/X001_pla.pdf" << 3;
        QTest::newRow("missing file") << "stkidx/X001_xxx.pdf" << 2;
        QTest::newRow("a folder in its place") << "stkidx" << 5;
        QTest::newRow("no PDF application") << "stkidx/X001_pla.pdf" << 31;
    }

    void resultCodes()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        QCOMPARE(DesktopDocumentOpener().open(tx(disc_->path(path))), code);
    }

    void unreadableFile()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every file");
        const QString path = disc_->path(QStringLiteral("stkidx/X001_psl.pdf"));
        writeFile(path, "%PDF-1.4\n", QFileDevice::WriteOwner);
        QCOMPARE(DesktopDocumentOpener().open(tx(path)), 5);
    }

    void pdfButtonOpensTheViewer()
    {
        // The handler: a desktop entry for application/pdf whose program writes the path
        // it was given into a marker file.
        const QString marker = desktop_.filePath(QStringLiteral("opened.txt"));
        const QString viewer = desktop_.filePath(QStringLiteral("viewer.sh"));
        writeFile(viewer, QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(marker).toUtf8(),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        writeFile(desktop_.filePath(QStringLiteral("data/applications/regdisc-test-viewer.desktop")),
                  QStringLiteral("[Desktop Entry]\nType=Application\nName=Test viewer\nExec=%1 %f\n"
                                 "MimeType=application/pdf;\n")
                      .arg(viewer)
                      .toUtf8());
        writeFile(desktop_.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\napplication/pdf=regdisc-test-viewer.desktop\n");

        // The real opener behind the screen's PDF 格式.
        ScriptedDesktop scripted;
        DesktopDocumentOpener opener;
        MainMenuWindow menu({scripted.messages, scripted.chooser, opener, scripted.printer},
                            disc_->folderText());
        menu.show();
        QWidget *opened = nullptr;
        connect(&menu, &MainMenuWindow::screenOpened, this, [&](QWidget *screen) { opened = screen; });
        click(child<QPushButton>(&menu, "cmd_2"));
        auto *screen = qobject_cast<QueryScreenWindow *>(opened);
        QVERIFY(screen);
        click(child<QPushButton>(screen, "cmd_1"));
        const QString counters = child<QLineEdit>(screen, "tx_o_pnt")->text();
        click(child<QPushButton>(screen, "cmd_7"));
        const auto openedPath = [&] {
            QFile written(marker);
            return written.open(QIODevice::ReadOnly) ? QString::fromUtf8(written.readAll()) : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(openedPath(), disc_->path(QStringLiteral("stkidx/X001_pla.pdf")), 10000);
        QVERIFY(scripted.messages.shown.empty());  // success shows nothing
        QCOMPARE(child<QLineEdit>(screen, "tx_o_pnt")->text(), counters);

        // The same screen on a file that is not there: the message of code 2.
        QFile::remove(disc_->path(QStringLiteral("stkidx/X001_pla.pdf")));
        click(child<QPushButton>(screen, "cmd_7"));
        QCOMPARE(scripted.messages.texts(), QStringList{QStringLiteral("File not found")});
    }

private:
    std::unique_ptr<SampleDisc> disc_;
    QTemporaryDir desktop_;
};

QTEST_MAIN(OpenerTest)
#include "opener_test.moc"
