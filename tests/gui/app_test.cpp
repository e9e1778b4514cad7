// The two binaries as a user starts them: regdisc-cli sample writes the disc with its PDF
// copies, and the desktop application starts on it (the screenshot tour opens every
// screen and ends the run); a second folder argument is a usage error.
#include "gui_support.h"

#include <QDir>
#include <QFile>
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
    // The sample disc every test starts the programs on, written once, so that each test
    // can also run on its own (app_test <function>).
    void initTestCase()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command needs no display
        env.remove(QStringLiteral("DISPLAY"));
        sample_ = run(QStringLiteral(REGDISC_CLI), {QStringLiteral("sample"), disc_.path()}, env);
    }

    void sampleDiscCarriesItsPdfCopies()
    {
        QVERIFY2(sample_.status == 0, qPrintable(sample_.err));
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

    // The shipped application reads no environment variable of its own: the program holds
    // no name of one (such as the old screenshot variable REGDISC_SCREENSHOT_DIR), so none
    // can take pictures or end the run.
    void noScreenshotTourInTheApplication()
    {
        QFile program(QStringLiteral(REGDISC_APP));
        QVERIFY(program.open(QIODevice::ReadOnly));
        const QByteArray bytes = program.readAll();
        QVERIFY(bytes.size() > 100000);
        QVERIFY(!bytes.contains("REGDISC_"));
        QVERIFY(!bytes.contains("SCREENSHOT"));
    }

    // On a folder that is not a disc the tour meets message boxes: it closes them and ends
    // in failure instead of waiting for a click.
    void tourEndsOnAFolderThatIsNotADisc()
    {
        QTemporaryDir pictures;
        QTemporaryDir notADisc;
        const Run tour = run(QStringLiteral(REGDISC_TOUR), {pictures.path(), notADisc.path()}, offscreen());
        QCOMPARE(tour.status, 1);
        QVERIFY2(tour.err.contains(QStringLiteral("message: ")), qPrintable(tour.err));
    }

    void oneFolderAtMost()
    {
        const Run app = run(QStringLiteral(REGDISC_APP), {disc_.path(), disc_.path()}, offscreen());
        QCOMPARE(app.status, 2);
    }

private:
    QTemporaryDir disc_;
    Run sample_;
};

QTEST_MAIN(AppTest)
#include "app_test.moc"
