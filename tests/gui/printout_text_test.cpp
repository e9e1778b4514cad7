// The text of a saved printout as a clerk's search finds it: pdftotext of every screen's
// printout and of the sample disc's PDF copies carries the very characters on screen
// (no CJK radical stands in for an ideograph), and a value too long for the page breaks
// between words and goes on under its own first column.
#include "gui_support.h"

#include "pdfcopy/pdf_copies.h"
#include "views/query_screen_window.h"
#include "writer/disc_writer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

// The PDF's text exactly as pdftotext gives it: nothing mapped back.
QString rawPdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The code points of the CJK Radicals Supplement and the Kangxi Radicals in a text.
QStringList radicalsIn(const QString &text)
{
    QStringList found;
    for (const uint c : text.toUcs4())
        if (c >= 0x2E80 && c <= 0x2FDF)
            found.push_back(QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper());
    return found;
}

// The PDF's words with their places (pdftotext -bbox), as pdftotext gives them.
struct Word {
    QString text;
    double x = 0;
    double y = 0;
};

std::vector<Word> rawPdfWords(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    std::vector<Word> words;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

// Where a 1-based print column of a 12-point line begins on the page: a half-width
// character is 6 points wide, and the page's left margin is 6 mm.
double columnX(int column)
{
    return 6 / 25.4 * 72 + (column - 1) * 6.0;
}

struct Expected {
    const char *button;
    const char *title;  // the title line without its leading blanks
};

// Every printout of the desktop: the fourteen query screens and the two listings.
const Expected kPrintouts[] = {
    {"cmd_1", "鼎岳有價證券登錄社-證券所有人名冊查詢"},
    {"cmd_2", "鼎岳有價證券登錄社-設質資料查詢"},
    {"cmd_3", "鼎岳有價證券登錄社-長戶名資料查詢"},
    {"cmd_4", "鼎岳有價證券登錄社-無實體登錄資料查詢"},
    {"cmd_5", "鼎岳有價證券登錄社-股東名冊筆數查詢"},
    {"cmd_7", "鼎岳有價證券登錄社-證券所有人名冊"},
    {"cmd_8", "鼎岳有價證券登錄社-證券所有人名冊查詢(私募有價證券)"},
    {"cmd_9", "鼎岳有價證券登錄社-股票號碼檔筆數查詢"},
    {"cmd_10", "鼎岳有價證券登錄社-全權委託資料查詢"},
    {"cmd_11", "鼎岳有價證券登錄社-信託資料查詢"},
    {"cmd_12", "鼎岳有價證券登錄社-限制上市櫃證券所有人名冊查詢"},
    {"cmd_14", "鼎岳有價證券登錄社-名冊罕用字檔查詢"},
    {"cmd_15", "鼎岳有價證券登錄社-英文長戶名資料查詢"},
    {"cmd_16", "鼎岳有價證券登錄社-法院提存資料查詢"},
    {"cmd_17", "鼎岳有價證券登錄社-法拍專戶明細查詢"},
    {"cmd_18", "鼎岳有價證券登錄社-限制員工權利新股查詢"},
};

// The captions of the holder register's printout, in its order.
const char *const kHolderRegisterLabels[] = {
    "帳號",     "中文戶名", "統一編號", "戶籍地址",     "通訊地址",     "各筆股數", "歸戶股數",
    "出生日期", "法定代理", "開戶日期", "證券代號",     "信用別",       "地址異動", "電話號碼",
    "統編錯誤", "戶別",     "設質註記", "郵遞區號",     "劃撥帳號",     "外資編號", "全權委託",
    "零股待領", "分戶編號", "國籍資料", "法院提存註記", "法拍餘額註記", "資料日期", "製作日期",
};

// The PDF copies and the titles they carry.
const std::pair<const char *, const char *> kCopies[] = {
    {"pla", "鼎岳有價證券登錄社-設質資料查詢"},
    {"psl", "鼎岳有價證券登錄社-長戶名資料查詢"},
    {"psr", "鼎岳有價證券登錄社-無實體登錄資料查詢"},
    {"pco", "鼎岳有價證券登錄社-證券所有人名冊查詢(私募有價證券明細)"},
    {"pru", "鼎岳有價證券登錄社-全權委託資料查詢"},
    {"tru", "鼎岳有價證券登錄社-信託資料查詢"},
    {"lmk", "鼎岳有價證券登錄社-限制上市櫃證券所有人名冊查詢"},
    {"rae", "鼎岳有價證券登錄社-名冊罕用字檔查詢"},
    {"pel", "鼎岳有價證券登錄社-英文長戶名資料查詢"},
    {"drf", "鼎岳有價證券登錄社-法院提存資料查詢"},
    {"cpm", "鼎岳有價證券登錄社-法拍專戶明細查詢"},
    {"rsa", "鼎岳有價證券登錄社-限制員工權利新股查詢"},
};

// Printed labels are the first text of their line, behind ideographic-space padding.
QString printedCaption(const PrintedLine &line)
{
    if (line.segments.empty())
        return {};
    QString caption = qs(line.segments.front().text);
    caption.remove(QChar(0x3000));
    return caption.trimmed();
}

}  // namespace

class PrintoutTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        disc_ = std::make_unique<SampleDisc>(60);
    }

    // What the clerk searches for in a saved printout is there, character for character.
    void everyPrintoutCarriesItsTitleAndLabels()
    {
        Menu menu(disc_->folder());
        for (const Expected &expected : kPrintouts) {
            QWidget *screen = menu.open(expected.button);
            QVERIFY2(screen, expected.button);
            auto *query = qobject_cast<QueryScreenWindow *>(screen);
            if (query)
                click(child<QPushButton>(screen, "cmd_1"));
            const QString path = out_.filePath(screen->objectName() + QStringLiteral(".pdf"));
            menu.desktop.printDialogs.fileName = path;
            // 列印 is cmd_4 on a query screen and cmd_1 on a listing.
            click(child<QPushButton>(screen, query ? "cmd_4" : "cmd_1"));
            QVERIFY2(QFile::exists(path), expected.button);

            const QString text = rawPdfText(path);
            QVERIFY2(
                text.contains(QString::fromUtf8(expected.title)),
                qPrintable(QStringLiteral("%1: %2").arg(QString::fromUtf8(expected.title), text.left(300))));
            QVERIFY2(radicalsIn(text).isEmpty(), qPrintable(radicalsIn(text).join(QLatin1Char(' '))));
            // Every caption on the page as the screen shows it.
            if (query) {
                const PrintedDocument doc = query->model().printout();
                for (const PrintedLine &line : doc.lines) {
                    const QString caption = printedCaption(line);
                    if (!caption.isEmpty())
                        QVERIFY2(text.contains(caption), qPrintable(caption));
                }
            }
            if (QString::fromLatin1(expected.button) == QLatin1String("cmd_1"))
                for (const char *label : kHolderRegisterLabels)
                    QVERIFY2(text.contains(QString::fromUtf8(label) + QStringLiteral(" :")), label);
            screen->close();
        }
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    void samplePdfCopiesAreSearchable()
    {
        writePdfCopies(disc_->folder().toStdString(), 20);
        for (const auto &[ext, title] : kCopies) {
            const QString path = disc_->path(QStringLiteral("stkidx/X001_%1.pdf").arg(QLatin1String(ext)));
            const QString text = rawPdfText(path);
            QVERIFY2(text.contains(QString::fromUtf8(title)), ext);
            QVERIFY2(text.contains(QStringLiteral("資料日期：")) &&
                         text.contains(QStringLiteral("製作日期：")),
                     ext);
            QVERIFY2(text.contains(QStringLiteral("證券代號：X001")) &&
                         text.contains(QStringLiteral("資料筆數：")),
                     ext);
            QVERIFY2(radicalsIn(text).isEmpty(), qPrintable(QLatin1String(ext) + QLatin1Char(' ') +
                                                            radicalsIn(text).join(QLatin1Char(' '))));
        }
    }

    // A 300-character English name on a page of 93 columns: the lines break between
    // words, and every line of the name starts in column 14, where the value starts
    // after "英文戶名 : " (tab column 11).
    void longValueBreaksBetweenWordsUnderItsFirstColumn()
    {
        QTemporaryDir folder;
        const std::filesystem::path root = folder.path().toStdString();
        writeDiscInfo(root, {u"2330", u"台積電", u"113/12/06", u"N", u"113/12/09"});
        // Words of three to eleven letters, numbered, with one blank between them.
        QStringList words;
        QString name;
        for (int i = 1; name.size() < 290; ++i) {
            const QString word = QStringLiteral("W%1").arg(i, 2, 10, QLatin1Char('0')) +
                                 QString(i % 9, QChar(QLatin1Char('A' + i % 26)));
            words.push_back(word);
            name += (name.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        QVERIFY(name.size() <= 300);
        // The record as laid out on the disc: account 1-11, ID number 12-21, English
        // name 22-321, security code 322-327, 342 characters.
        RecordBuilder record(342);
        record.put(1, 11, u"92200001234")
            .put(12, 10, u"A123456789")
            .put(22, 300, tx(name))
            .put(322, 6, u"2330");
        writeDataSet(root, u"2330", pelDataSet(), {record.text()});

        Menu menu(folder.path());
        QWidget *screen = menu.open("cmd_15");
        QVERIFY(screen);
        click(child<QPushButton>(screen, "cmd_1"));
        QVERIFY(menu.desktop.messages.shown.empty());
        const QString path = out_.filePath(QStringLiteral("long-name.pdf"));
        menu.desktop.printDialogs.fileName = path;
        click(child<QPushButton>(screen, "cmd_4"));

        // The name's words in the PDF: whole, in order, on more than one line.
        std::vector<Word> nameWords;
        for (const Word &word : rawPdfWords(path))
            if (word.text.startsWith(QLatin1Char('W')) && word.text.size() >= 3 && word.text.at(1).isDigit())
                nameWords.push_back(word);
        QStringList found;
        for (const Word &word : nameWords)
            found.push_back(word.text);
        QCOMPARE(found, words);
        // Each line of the name begins at column 14.
        int lines = 0;
        for (size_t i = 0; i < nameWords.size(); ++i) {
            if (i > 0 && std::abs(nameWords[i].y - nameWords[i - 1].y) < 1)
                continue;
            ++lines;
            QVERIFY2(std::abs(nameWords[i].x - columnX(14)) < 0.6,
                     qPrintable(QStringLiteral("%1 at %2").arg(nameWords[i].text).arg(nameWords[i].x)));
        }
        QVERIFY2(lines >= 4, qPrintable(QString::number(lines)));
    }

private:
    std::unique_ptr<SampleDisc> disc_;
    QTemporaryDir out_;
};

QTEST_MAIN(PrintoutTextTest)
#include "printout_text_test.moc"
