#include "gui_support.h"

#include "writer/sample_disc.h"

#include "printing/document_renderer.h"
#include "views/compare_window.h"
#include "views/holder_window.h"

#include <QHash>
#include <QInputMethodEvent>
#include <QMenu>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QSignalSpy>

namespace regdisc::guitest {

QStringList RecordedMessages::texts() const
{
    QStringList list;
    for (const Message &message : shown)
        list.push_back(qs(message.text));
    return list;
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("regdisc"));
    QApplication::setQuitOnLastWindowClosed(false);
    useScreenFont(*qApp);
}

SampleDisc::SampleDisc(int records)
{
    SampleOptions options;
    options.records = records;
    writeSampleDisc(dir_.path().toStdString(), options);
}

Menu::Menu(const QString &folder) : window(std::make_unique<MainMenuWindow>(desktop.services(), tx(folder)))
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main menu did not become active");
}

Menu::~Menu()
{
    window.reset();
}

QPushButton *Menu::button(const char *name) const
{
    return child<QPushButton>(window.get(), name);
}

QLineEdit *Menu::folderBox() const
{
    return child<QLineEdit>(window.get(), "tx_i_01");
}

QString Menu::productionDate() const
{
    return child<QLineEdit>(window.get(), "tx_o_01")->text();
}

QWidget *Menu::open(const char *name)
{
    QWidget *opened = nullptr;
    const auto connection = QObject::connect(window.get(), &MainMenuWindow::screenOpened,
                                             [&](QWidget *screen) { opened = screen; });
    click(button(name));
    QObject::disconnect(connection);
    if (opened && !QTest::qWaitForWindowExposed(opened))
        qWarning("the screen was not shown");
    return opened;
}

QWidget *chooseTool(Menu &menu, const char *action, const char *window)
{
    auto *tools = menu.window->findChild<QMenu *>(QStringLiteral("menu_tools"));
    if (!tools)
        return nullptr;
    for (QAction *a : tools->actions())
        if (a->objectName() == QLatin1String(action))
            a->trigger();
    return shownWindow(QString::fromLatin1(window));
}

CompareWindow *runComparison(Menu &menu, const QString &older)
{
    auto *window = qobject_cast<CompareWindow *>(chooseTool(menu, "act_compare", "frm_compare"));
    if (!window)
        return nullptr;
    window->findChild<QLineEdit *>(QStringLiteral("tx_old"))->setText(older);
    QSignalSpy done(window, &CompareWindow::done);
    click(window->findChild<QPushButton *>(QStringLiteral("cmd_run")));
    return done.count() > 0 || done.wait(10000) ? window : nullptr;
}

QWidget *shownWindow(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

QString captionOf(const QWidget *control)
{
    const QVariant caption = control->property(kCaptionProperty);
    if (caption.isValid())
        return caption.toString();
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    return {};
}

void click(QWidget *button)
{
    QVERIFY2(button, "no such button");
    QTest::mouseClick(button, Qt::LeftButton);
}

namespace {

// The PDF names a glyph by the lowest code point the font maps to it, so a character
// whose glyph a CJK radical shares comes back as the radical (長 as U+2ED1). The font
// itself says which ideograph a radical's glyph draws.
const QHash<char32_t, char32_t> &radicalIdeographs()
{
    static const QHash<char32_t, char32_t> table = [] {
        QHash<char32_t, char32_t> map;
        const QRawFont font = QRawFont::fromFont(QFont(QString::fromLatin1(kStandInFontFamily)));
        if (!font.isValid())
            return map;
        const auto glyphOf = [&](char32_t c) {
            const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
            return glyphs.isEmpty() ? 0u : glyphs.front();
        };
        QHash<quint32, char32_t> ideographOfGlyph;
        for (char32_t c = 0x4E00; c <= 0x9FFF; ++c)
            if (const quint32 g = glyphOf(c); g && !ideographOfGlyph.contains(g))
                ideographOfGlyph.insert(g, c);
        for (char32_t c = 0x2E80; c <= 0x2FDF; ++c)
            if (const quint32 g = glyphOf(c); g && ideographOfGlyph.contains(g))
                map.insert(c, ideographOfGlyph.value(g));
        return map;
    }();
    return table;
}

}  // namespace

void typeText(QWidget *box, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClick(box, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(box, &commit);
        }
    }
}

QString nfkc(const QString &text)
{
    QList<uint> characters = text.toUcs4();
    for (uint &c : characters)
        c = radicalIdeographs().value(c, c);
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData()), characters.size())
        .normalized(QString::NormalizationForm_KC);
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return nfkc(QString::fromUtf8(process.readAllStandardOutput()));
}

std::vector<PdfWord> pdfWords(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    std::vector<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(3);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        words.push_back({nfkc(text), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

int pdfPages(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(30000);
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const QRegularExpressionMatch match = pages.match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace regdisc::guitest
