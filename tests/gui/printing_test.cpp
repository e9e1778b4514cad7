// 列印 on the screens, through the printer layer, into a PDF file that is read back with
// pdftotext: the title, every line, the " : " column, the pledge-number and agreement
// lines, the long name's continuation line, the listings; and the sample disc's PDF
// copies.
#include "gui_support.h"

#include "pdfcopy/pdf_copies.h"
#include "printing/document_renderer.h"
#include "views/listing_window.h"
#include "views/query_screen_window.h"

#include <QFile>

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

QString collapsed(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return nfkc(text).replace(blanks, QStringLiteral(" ")).trimmed();
}

// The printed line as plain text, the way to find it in the PDF's text.
QString expectedLine(const PrintedLine &line)
{
    return collapsed(qs(plainText(line)));
}

// The line of the PDF's text that holds `text` (blanks collapsed).
QString lineWith(const QStringList &lines, const QString &text)
{
    for (const QString &line : lines)
        if (collapsed(line).contains(text))
            return line;
    return {};
}

struct Printed {
    QString path;
    QString text;
    QStringList lines;
};

// Where a 1-based print column of the body font (12 points: a half-width character is
// 6 points wide) begins on the page: the PDF's left margin is 6 mm.
double columnX(int column)
{
    return 6 / 25.4 * 72 + (column - 1) * 6.0;
}

bool near(double a, double b)
{
    return std::abs(a - b) < 0.6;
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        disc_ = std::make_unique<SampleDisc>();
    }

    void holderRegisterPrintout()
    {
        Menu menu(disc_->folder());
        auto *screen = qobject_cast<QueryScreenWindow *>(menu.open("cmd_1"));
        click(child<QPushButton>(screen, "cmd_1"));
        const Printed page = print(menu, screen, "cmd_4");
        QVERIFY(page.text.contains(nfkc(QStringLiteral("鼎岳有價證券登錄社-證券所有人名冊查詢"))));

        // Every line of the printout, and every " : " in one column.
        const PrintedDocument doc = screen->model().printout();
        QSet<qsizetype> colons;
        for (size_t i = 2 + psmDataSet().print.titles.size(); i < doc.lines.size(); ++i) {
            const QString line = lineWith(page.lines, expectedLine(doc.lines[i]));
            QVERIFY2(!line.isEmpty(), qPrintable(expectedLine(doc.lines[i])));
            colons.insert(line.indexOf(QLatin1Char(':')));
        }
        QCOMPARE(colons.size(), 1);
        // On the page: every " : " at the tab column 15, its colon in column 16.
        int colonWords = 0;
        for (const PdfWord &word : pdfWords(page.path)) {
            if (word.text != QLatin1String(":"))
                continue;
            ++colonWords;
            QVERIFY2(near(word.x, columnX(16)), qPrintable(QString::number(word.x)));
        }
        QCOMPARE(colonWords, static_cast<int>(psmDataSet().print.lines.size()));
        QVERIFY(lineWith(page.lines, QStringLiteral("信用別 :")).size() > 0);
        QVERIFY(
            lineWith(page.lines, collapsed(QStringLiteral("帳號 : ") + qs(screen->model().box("tx_o_01"))))
                .size());
    }

    void pledgePrintout()
    {
        Menu menu(disc_->folder());
        auto *screen = qobject_cast<QueryScreenWindow *>(menu.open("cmd_2"));
        click(child<QPushButton>(screen, "cmd_1"));
        // A pledge whose number carries its mark.
        while (qs(screen->model().box("tx_o_15")).trimmed().isEmpty() && screen->model().nextEnabled())
            click(child<QPushButton>(screen, "cmd_2"));
        const QString mark = qs(screen->model().box("tx_o_15"));
        QVERIFY(!mark.trimmed().isEmpty());
        const Printed page = print(menu, screen, "cmd_4");
        QVERIFY(page.text.contains(nfkc(QStringLiteral("鼎岳有價證券登錄社-設質資料查詢"))));
        QVERIFY(!lineWith(page.lines, QStringLiteral("出質人")).isEmpty());
        QVERIFY(!lineWith(page.lines, QStringLiteral("質權人")).isEmpty());

        // The pledge-number line: the mark directly followed by the number.
        const QString number = mark + qs(screen->model().box("tx_o_14"));
        const QString pledge = lineWith(page.lines, collapsed(QStringLiteral("設質編號 : ") + number));
        QVERIFY2(!pledge.isEmpty(), qPrintable(number));
        // The agreement line: its own label width, no move to the tab column.
        const QString agreement =
            lineWith(page.lines, collapsed(QStringLiteral("減資/併購/收回/還本之款項歸屬約定 : ") +
                                           qs(screen->model().box("tx_o_18"))));
        QVERIFY(!agreement.isEmpty());
        QVERIFY(agreement.indexOf(QLatin1Char(':')) > pledge.indexOf(QLatin1Char(':')));
        // On the page: the label lines' colons in column 16 (tab column 15); the
        // agreement line's right after its label block (one ideographic space, the
        // caption of fifteen Chinese characters and three half-width slashes, a blank):
        // column 37.
        std::vector<double> colons;
        for (const PdfWord &word : pdfWords(page.path))
            if (word.text == QLatin1String(":"))
                colons.push_back(word.x);
        QCOMPARE(std::count_if(colons.begin(), colons.end(), [](double x) { return near(x, columnX(37)); }),
                 1);
        QCOMPARE(std::count_if(colons.begin(), colons.end(), [](double x) { return near(x, columnX(16)); }),
                 static_cast<long>(colons.size() - 1));
        // The label lines keep one column.
        QCOMPARE(lineWith(page.lines, QStringLiteral("交付股數 :")).indexOf(QLatin1Char(':')),
                 pledge.indexOf(QLatin1Char(':')));
    }

    void longNamePrintout()
    {
        Menu menu(disc_->folder());
        auto *screen = qobject_cast<QueryScreenWindow *>(menu.open("cmd_3"));
        click(child<QPushButton>(screen, "cmd_1"));
        while (qs(screen->model().box("tx_o_03_2")).trimmed().isEmpty() && screen->model().nextEnabled())
            click(child<QPushButton>(screen, "cmd_2"));
        const QString first = qs(screen->model().box("tx_o_03_1")).trimmed();
        const QString second = qs(screen->model().box("tx_o_03_2")).trimmed();
        QVERIFY(!second.isEmpty());
        const Printed page = print(menu, screen, "cmd_4");
        const QString nameLine = lineWith(page.lines, collapsed(first));
        const QString continuation = lineWith(page.lines, collapsed(second));
        QVERIFY(!nameLine.isEmpty() && !continuation.isEmpty());
        QVERIFY(page.lines.indexOf(continuation) == page.lines.indexOf(nameLine) + 1);
        // The second part stands under the first.
        const qsizetype valueStart =
            nameLine.indexOf(nfkc(first).left(1), nameLine.indexOf(QLatin1Char(':')));
        QCOMPARE(continuation.indexOf(QRegularExpression(QStringLiteral("\\S"))), valueStart);
        // On the page both parts begin in column 14.
        const std::vector<PdfWord> words = pdfWords(page.path);
        const auto at = [&](const QString &text) {
            for (const PdfWord &word : words)
                if (word.text.startsWith(text))
                    return word.x;
            return -1.0;
        };
        QVERIFY(near(at(nfkc(first).left(3)), columnX(14)));
        QVERIFY(near(at(nfkc(second).left(3)), columnX(14)));
    }

    void listingPrintout()
    {
        Menu menu(disc_->folder());
        auto *screen = qobject_cast<ListingWindow *>(menu.open("cmd_5"));
        QVERIFY(screen);
        const Printed page = print(menu, screen, "cmd_1");
        QVERIFY(page.text.contains(nfkc(QStringLiteral("鼎岳有價證券登錄社-股東名冊筆數查詢"))));
        for (const QString &line :
             qs(screen->model().text()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            QVERIFY2(!lineWith(page.lines, collapsed(line)).isEmpty(), qPrintable(line));
    }

    void noPrinterAndNoPdf()
    {
        Menu menu(disc_->folder());
        auto *screen = menu.open("cmd_18");
        const QString file = out_.filePath(QStringLiteral("declined.pdf"));
        menu.desktop.printDialogs.fileName = file;
        menu.desktop.printDialogs.saveAsPdf = false;
        click(child<QPushButton>(screen, "cmd_4"));
        QCOMPARE(menu.desktop.printDialogs.offers, 1);
        QVERIFY(menu.desktop.printDialogs.suggestions.isEmpty());
        // Said yes, then cancelled the file dialog.
        menu.desktop.printDialogs.saveAsPdf = true;
        menu.desktop.printDialogs.fileName.clear();
        click(child<QPushButton>(screen, "cmd_4"));
        QCOMPARE(menu.desktop.printDialogs.suggestions.size(), 1);
        QVERIFY(!QFile::exists(file));
        // A file that cannot be written is reported.
        menu.desktop.printDialogs.fileName = out_.filePath(QStringLiteral("no/such/folder/x.pdf"));
        click(child<QPushButton>(screen, "cmd_4"));
        QCOMPARE(menu.desktop.printDialogs.failures.size(), 1);
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    void longDocumentsBreakIntoPages()
    {
        PrintedDocument doc;
        doc.lines.push_back({20, {{u"Title", 0}}});
        for (int i = 1; i <= 150; ++i)
            doc.lines.push_back({12, {{u"line " + fromAscii(std::to_string(i)), 0}, {u" : 值", 15}}});
        // A line wider than the page goes on below.
        Text wide;
        for (int i = 0; i < 40; ++i)
            wide += u"WORD" + fromAscii(std::to_string(i)) + u" ";
        doc.lines.push_back({12, {{u"名", 0}, {u" : " + wide, 11}}});
        const QString path = out_.filePath(QStringLiteral("long.pdf"));
        QVERIFY(renderToPdf(doc, path));
        QVERIFY(pdfPages(path) >= 3);
        QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("line 1 ")) && text.contains(QStringLiteral("line 150")));
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        QVERIFY(text.contains(qs(wide).remove(QLatin1Char(' '))));
        QVERIFY(!renderToPdf(doc, out_.filePath(QStringLiteral("missing/folder/x.pdf"))));
    }

    void samplePdfCopies()
    {
        const std::vector<std::filesystem::path> copies = writePdfCopies(disc_->folder().toStdString(), 40);
        QCOMPARE(copies.size(), size_t(12));
        Menu menu(disc_->folder());
        for (const DataSetSpec *spec : allDataSets()) {
            const QString path =
                disc_->path(QStringLiteral("stkidx/X001_%1.pdf")
                                .arg(QString::fromLatin1(spec->ext.data(), spec->ext.size())));
            QCOMPARE(QFile::exists(path), spec->hasPdf);
            if (!spec->hasPdf)
                continue;
            // The copy lists the records in the screen's order: the first one's values.
            const QString text = pdfText(path);
            QVERIFY(text.contains(nfkc(qs(spec->title))));
            auto *screen = qobject_cast<QueryScreenWindow *>(menu.open(std::string(spec->button).c_str()));
            click(child<QPushButton>(screen, "cmd_1"));
            const PrintedDocument record = screen->model().printout();
            const QString line = expectedLine(record.lines.at(2 + spec->print.titles.size()));
            QVERIFY2(collapsed(text).contains(line), qPrintable(line));
            screen->close();
        }
        QVERIFY(menu.desktop.messages.shown.empty());
    }

private:
    Printed print(Menu &menu, QWidget *screen, const char *button)
    {
        const QString path = out_.filePath(screen->objectName() + QStringLiteral(".pdf"));
        menu.desktop.printDialogs.fileName = path;
        const int offers = menu.desktop.printDialogs.offers;
        click(child<QPushButton>(screen, button));
        [&] { QCOMPARE(menu.desktop.printDialogs.offers, offers + 1); }();
        const QString text = pdfText(path);
        return {path, text, text.split(QLatin1Char('\n'))};
    }

    std::unique_ptr<SampleDisc> disc_;
    QTemporaryDir out_;
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
