// Record text with control characters (a terminal's escape sequences, BEL, a C1 character)
// on the desktop: the box keeps the exact text and paints it harmlessly, and the printout
// prints the line around it.
#include "gui_support.h"

#include "views/query_screen_window.h"
#include "writer/disc_writer.h"

#include <QFile>
#include <QPixmap>

using namespace regdisc;
using namespace regdisc::guitest;

class HostileDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        const std::filesystem::path folder = dir_.path().toStdString();
        writeDiscInfo(folder, {u"T01", u"測試公司", u"113/12/06", u"N", u"113/12/09"});
        // The telephone (characters 185 to 204 of the holder record); the disc writer keeps
        // control characters out, so they are put into the file's bytes afterwards.
        RecordBuilder record(psmDataSet().dataN);
        for (const FieldSpec &f : psmDataSet().fields)
            record.put(f.pos, f.width, u"", f.doubleByte);
        record.put(1, 11, u"11110000001").put(31, 10, u"A123456789").put(185, 20, u"XXXXXXXXXXXXXXX");
        writeDataSet(folder, u"T01", psmDataSet(), {record.text()});
        QFile data(dir_.filePath(QStringLiteral("stk/T01.psm")));
        QVERIFY(data.open(QIODevice::ReadWrite));
        QByteArray bytes = data.readAll();
        const qsizetype at = bytes.indexOf("XXXXXXXXXXXXXXX");
        QVERIFY(at > 0);
        bytes.replace(at, 15, "\x1b]0;pwned\x07\x1b[2J\x80");
        data.seek(0);
        data.write(bytes);
    }

    void boxAndPrintout()
    {
        Menu menu(dir_.path());
        auto *screen = qobject_cast<QueryScreenWindow *>(menu.open("cmd_1"));
        QVERIFY(screen);
        click(child<QPushButton>(screen, "cmd_1"));
        QVERIFY(menu.desktop.messages.shown.empty());
        const auto *telephone = child<QLineEdit>(screen, "tx_o_14");
        QCOMPARE(telephone->text(), QString::fromUtf16(u"\x1b]0;pwned\x07\x1b[2J\x80     "));
        QVERIFY(!screen->grab().isNull());

        const QString pdf = out_.filePath(QStringLiteral("hostile.pdf"));
        menu.desktop.printDialogs.fileName = pdf;
        click(child<QPushButton>(screen, "cmd_4"));
        QCOMPARE(menu.desktop.printDialogs.failures, QStringList());
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("電話號碼")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("pwned")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("A123456789")), qPrintable(text));
    }

private:
    QTemporaryDir dir_;
    QTemporaryDir out_;
};

QTEST_MAIN(HostileDisplayTest)
#include "hostile_display_test.moc"
