// A few printouts through 列印 on the screens into a PDF file, read back with pdftotext and
// held against the lines written out in tests/expected/printout_<ext>.txt: every line in
// its order, and every " : " on the page in the column of its line's move.
#include "gui_support.h"

#include "expected_printout.h"
#include "hand_built_disc.h"

#include <QRegularExpression>

#include <cmath>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

struct ExpectedLine {
    int size = 0;
    QString text;  // as printed, a move to a column made of blanks
    int tabColumn = 0;  // where " : " begins after a move, or 0
};

// "12|　　　　　帳號<tab 15> : 12345678901|" -> its size, text and column.
ExpectedLine parse(const std::string &line)
{
    ExpectedLine out;
    const QString text = QString::fromStdString(line);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    out.size = text.left(bar).toInt();
    QString body = text.mid(bar + 1);
    body.chop(1);
    static const QRegularExpression tab(QStringLiteral("<tab (\\d+)>"));
    const QRegularExpressionMatch m = tab.match(body);
    if (m.hasMatch()) {
        out.tabColumn = m.captured(1).toInt();
        int columns = 0;
        for (const QChar c : body.left(m.capturedStart()))
            columns += c.unicode() < 0x80 ? 1 : 2;
        body.replace(m.capturedStart(), m.capturedLength(),
                     QString(std::max(0, out.tabColumn - 1 - columns), QLatin1Char(' ')));
    }
    out.text = body;
    return out;
}

// Without blanks: a line wider than the page goes on below, and the columns are checked on
// the page by position.
QString withoutBlanks(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
    return nfkc(text).remove(blanks);
}

// Where a 1-based print column begins on the page: the left margin is 6 mm, a column is
// half the font size wide.
double columnX(int column, int size)
{
    return 6 / 25.4 * 72 + (column - 1) * size / 2.0;
}

}  // namespace

class PrintedPagesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        test::writeHandDisc(disc_.path().toStdString());
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("frm_")) &&
                w->objectName() != QLatin1String("frm_0"))
                delete w;
    }

    void printedAsWritten_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("button");
        for (const auto &[ext, button] :
             {std::pair{"psm", "cmd_1"}, std::pair{"pla", "cmd_2"}, std::pair{"psl", "cmd_3"},
              std::pair{"psr", "cmd_4"}, std::pair{"cpm", "cmd_17"}, std::pair{"ptr", "cmd_5"}})
            QTest::newRow(ext) << QString::fromLatin1(ext) << QString::fromLatin1(button);
    }

    void printedAsWritten()
    {
        QFETCH(QString, ext);
        QFETCH(QString, button);
        Menu menu(disc_.path());
        QWidget *screen = menu.open(button.toLatin1().constData());
        QVERIFY(screen);
        const bool listing = ext == QLatin1String("ptr");
        if (!listing)
            click(child<QPushButton>(screen, "cmd_1"));
        const QString pdf = out_.filePath(ext + QStringLiteral(".pdf"));
        menu.desktop.printDialogs.fileName = pdf;
        click(child<QPushButton>(screen, listing ? "cmd_1" : "cmd_4"));
        QVERIFY(menu.desktop.messages.shown.empty());

        const QString page = withoutBlanks(pdfText(pdf));
        const std::vector<std::string> lines = test::expectedPrintout(ext.toStdString());
        QVERIFY(lines.size() > 4);
        QCOMPARE(QString::fromStdString(lines.front()), QStringLiteral("font 細明體"));
        qsizetype at = 0;
        std::vector<ExpectedLine> tabbed;
        int untabbed = 0;  // label lines of their own width
        for (size_t i = 1; i < lines.size(); ++i) {
            const ExpectedLine line = parse(lines[i]);
            if (line.text.contains(QStringLiteral(" : "))) {
                if (line.tabColumn > 0)
                    tabbed.push_back(line);
                else
                    ++untabbed;
            }
            const QString wanted = withoutBlanks(line.text);
            if (wanted.isEmpty())
                continue;
            const qsizetype found = page.indexOf(wanted, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("not printed in order: ") + line.text));
            at = found + wanted.size();
        }
        // On the page: the colons of the lines that move to the tab column stand in the
        // column after it.
        int inColumn = 0;
        int colons = 0;
        for (const PdfWord &word : pdfWords(pdf)) {
            if (word.text != QLatin1String(":"))
                continue;
            ++colons;
            for (const ExpectedLine &line : tabbed)
                if (std::abs(word.x - columnX(line.tabColumn + 1, line.size)) < 0.6) {
                    ++inColumn;
                    break;
                }
        }
        QCOMPARE(inColumn, static_cast<int>(tabbed.size()));
        QCOMPARE(colons, static_cast<int>(tabbed.size()) + untabbed);
    }

private:
    QTemporaryDir disc_;
    QTemporaryDir out_;
};

QTEST_MAIN(PrintedPagesTest)
#include "printed_pages_test.moc"
