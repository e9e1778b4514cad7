// The two binaries as a user starts them: regdisc-cli sample writes the disc with its PDF
// copies, and the desktop application starts on it (the screenshot tour opens every
// screen and ends the run); a second folder argument is a usage error.
#include "gui_support.h"

#include <QDir>
#include <QImage>
#include <QProcess>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

struct Run {
    int status = -1;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(120000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

QProcessEnvironment offscreen()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

private slots:
    void sampleDiscCarriesItsPdfCopies()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command needs no display
        env.remove(QStringLiteral("DISPLAY"));
        const Run sample = run(QStringLiteral(REGDISC_CLI), {QStringLiteral("sample"), disc_.path()}, env);
        QCOMPARE(sample.status, 0);
        const QStringList copies = QDir(disc_.filePath(QStringLiteral("stkidx")))
                                       .entryList({QStringLiteral("X001_*.pdf")}, QDir::Files);
        QCOMPARE(copies.size(), 12);
        QVERIFY(!copies.contains(QStringLiteral("X001_psm.pdf")) &&
                !copies.contains(QStringLiteral("X001_pid.pdf")));
        QVERIFY(pdfText(disc_.filePath(QStringLiteral("stkidx/X001_pla.pdf")))
                    .contains(nfkc(QStringLiteral("設質資料查詢"))));
    }

    void startsOnTheFolderAndShowsEveryScreen()
    {
        QTemporaryDir pictures;
        const Run app = run(QStringLiteral(REGDISC_TOUR), {pictures.path(), disc_.path()}, offscreen());
        QVERIFY2(app.status == 0, qPrintable(app.err));
        const QStringList shots = QDir(pictures.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
        QCOMPARE(shots.size(), 17);  // the main menu and its sixteen screens
        for (const QString &shot : shots) {
            const QImage image(pictures.filePath(shot));
            QVERIFY2(image.width() > 300 && image.height() > 200, qPrintable(shot));
        }
    }

    // The shipped application reads no environment variable of its own: the old
    // screenshot variable neither takes pictures nor ends the run.
    void noScreenshotTourInTheApplication()
    {
        QTemporaryDir pictures;
        QProcessEnvironment env = offscreen();
        env.insert(QStringLiteral("REGDISC_SCREENSHOT_DIR"), pictures.path());
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(QStringLiteral(REGDISC_APP), {disc_.path()});
        QVERIFY(app.waitForStarted());
        QVERIFY2(!app.waitForFinished(4000), "regdisc ended by itself");
        app.kill();
        app.waitForFinished();
        QVERIFY(QDir(pictures.path()).entryList(QDir::Files).isEmpty());
    }

    void oneFolderAtMost()
    {
        const Run app = run(QStringLiteral(REGDISC_APP), {disc_.path(), disc_.path()}, offscreen());
        QCOMPARE(app.status, 2);
    }

private:
    QTemporaryDir disc_;
};

QTEST_MAIN(AppTest)
#include "app_test.moc"
