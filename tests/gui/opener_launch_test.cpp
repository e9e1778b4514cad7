// PDF 格式 when the desktop's PDF application cannot run: the real xdg-open with a
// temporary application/pdf handler whose program is missing, fails at once, or starts
// and stays open. A launch that fails is reported with the opener's texts while the
// screen stays usable; a handler that starts is success and shows nothing.
#include "gui_support.h"

#include "views/desktop_opener.h"
#include "views/query_screen_window.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

using namespace regdisc;
using namespace regdisc::guitest;
using namespace std::chrono_literals;

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

class OpenerLaunchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty(),
                 "xdg-utils is not installed (scripts/install-deps.sh installs it)");
        // A desktop of our own: no desktop environment, every XDG folder in a temporary
        // folder, and a display for xdg-open to believe in.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP", "BROWSER"})
            qunsetenv(name);
        qputenv("XDG_DATA_HOME", desktop_.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", desktop_.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_DIRS", desktop_.filePath(QStringLiteral("none")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", desktop_.filePath(QStringLiteral("none")).toUtf8());
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":93");
        disc_ = std::make_unique<SampleDisc>(30);
        writeFile(disc_->path(QStringLiteral("stkidx/X001_pla.pdf")), "%PDF-1.4\n");
    }

    void failedLaunchIsReported_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("message");
        QTest::newRow("handler program missing") << QStringLiteral("/nonexistent/regdisc-no-viewer %f")
                                                 << QStringLiteral("未使用正確的PDF瀏覽器開啟PDF檔 !!");
        QTest::newRow("handler fails at once")
            << QStringLiteral("/bin/false %f") << QStringLiteral("未使用正確的PDF瀏覽器開啟PDF檔 !!");
    }

    void failedLaunchIsReported()
    {
        QFETCH(QString, exec);
        QFETCH(QString, message);
        useHandler(exec);
        ScriptedDesktop scripted;
        DesktopDocumentOpener opener(&scripted.messages);
        MainMenuWindow menu({scripted.messages, scripted.chooser, opener, scripted.printer},
                            disc_->folderText());
        menu.show();
        QWidget *screen = openPledgeScreen(menu);
        QVERIFY(screen);
        click(child<QPushButton>(screen, "cmd_1"));
        const QString counters = child<QLineEdit>(screen, "tx_o_pnt")->text();
        const QString account = child<QLineEdit>(screen, "tx_o_01")->text();

        // The button returns at once: the window goes on while xdg-open runs.
        click(child<QPushButton>(screen, "cmd_7"));
        QVERIFY(scripted.messages.shown.empty());
        QTRY_COMPARE_WITH_TIMEOUT(scripted.messages.texts(), QStringList{message}, 20000);
        QCOMPARE(scripted.messages.shown.front().kind, MessageKind::Plain);
        // The screen is as it was.
        QCOMPARE(child<QLineEdit>(screen, "tx_o_pnt")->text(), counters);
        QCOMPARE(child<QLineEdit>(screen, "tx_o_01")->text(), account);
        QVERIFY(screen->isVisible());
    }

    // A viewer that starts and stays open: nothing is shown.
    void startedViewerShowsNothing()
    {
        const QString marker = desktop_.filePath(QStringLiteral("started.txt"));
        const QString viewer = desktop_.filePath(QStringLiteral("staying-viewer.sh"));
        writeFile(viewer,
                  QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexec sleep 5\n").arg(marker).toUtf8(),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        useHandler(viewer + QStringLiteral(" %f"));
        ScriptedDesktop scripted;
        DesktopDocumentOpener opener(&scripted.messages);
        MainMenuWindow menu({scripted.messages, scripted.chooser, opener, scripted.printer},
                            disc_->folderText());
        menu.show();
        QWidget *screen = openPledgeScreen(menu);
        QVERIFY(screen);
        click(child<QPushButton>(screen, "cmd_7"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
        QTest::qWait(500);
        QVERIFY(scripted.messages.shown.empty());
    }

    // An application that ends in failure after the opener stopped waiting had started:
    // its end shows nothing.
    void failureAfterTheWaitShowsNothing()
    {
        const QString marker = desktop_.filePath(QStringLiteral("failed.txt"));
        const QString viewer = desktop_.filePath(QStringLiteral("failing-viewer.sh"));
        writeFile(viewer,
                  QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit 1\n").arg(marker).toUtf8(),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        useHandler(viewer + QStringLiteral(" %f"));
        ScriptedDesktop scripted;
        DesktopDocumentOpener opener(&scripted.messages, 1ms);
        QCOMPARE(opener.open(tx(disc_->path(QStringLiteral("stkidx/X001_pla.pdf")))),
                 DesktopDocumentOpener::kSuccess);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
        // xdg-open ends with the application's failure right after it.
        QTRY_COMPARE_WITH_TIMEOUT(opener.launchesRunning(), 0, 20000);
        QVERIFY(scripted.messages.shown.empty());
    }

    // The exit status of xdg-open as the opener's result code.
    void launchResults()
    {
        const std::pair<int, int> cases[] = {
            {0, 42},  // handed over
            {1, 0},  // a usage error of xdg-open: "Unknown error"
            {2, 2},  // the file went away
            {3, 31},  // no tool to open it with
            {4, 27},  // the application could not run
            {5, 5},  // no permission to read the file
            {9, 0},
        };
        for (const auto &[status, code] : cases)
            QCOMPARE(DesktopDocumentOpener::launchResult(status, false), code);
        QCOMPARE(DesktopDocumentOpener::launchResult(0, true), 0);
    }

private:
    void useHandler(const QString &exec)
    {
        writeFile(desktop_.filePath(QStringLiteral("data/applications/regdisc-test-handler.desktop")),
                  QStringLiteral("[Desktop Entry]\nType=Application\nName=Test handler\nExec=%1\n"
                                 "MimeType=application/pdf;\n")
                      .arg(exec)
                      .toUtf8());
        writeFile(desktop_.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\napplication/pdf=regdisc-test-handler.desktop\n");
    }

    QWidget *openPledgeScreen(MainMenuWindow &menu)
    {
        QWidget *opened = nullptr;
        const auto connection =
            connect(&menu, &MainMenuWindow::screenOpened, this, [&](QWidget *screen) { opened = screen; });
        click(child<QPushButton>(&menu, "cmd_2"));
        disconnect(connection);
        return opened;
    }

    std::unique_ptr<SampleDisc> disc_;
    QTemporaryDir desktop_;
};

QTEST_MAIN(OpenerLaunchTest)
#include "opener_launch_test.moc"
