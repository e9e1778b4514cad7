// The generic query screen as the clerk uses it, on every data set: its controls, a
// query, 次筆, 前一畫面 and 下一畫面 with the enabling table after each action, the combo
// and the input box, bad input, PDF 格式 with a scripted opener, and closing it.
#include "gui_support.h"

#include "views/query_screen_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>

#include <map>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

using Boxes = std::map<QString, QString>;

// A data set's screen opened from the main menu.
struct Screen {
    Screen(const QString &folder, const DataSetSpec &spec) : menu(folder)
    {
        window = qobject_cast<QueryScreenWindow *>(menu.open(std::string(spec.button).c_str()));
    }
    QPushButton *button(const char *name) const { return child<QPushButton>(window, name); }
    QComboBox *combo() const { return child<QComboBox>(window, "comb_1"); }
    QLineEdit *input() const { return child<QLineEdit>(window, "tx_i_01"); }
    QString box(const char *name) const
    {
        if (auto *line = child<QLineEdit>(window, name))
            return line->text();
        return child<QPlainTextEdit>(window, name)->toPlainText();
    }
    Boxes boxes() const
    {
        Boxes all;
        for (const std::string &name : window->model().boxNames())
            all[QString::fromStdString(name)] = box(name.c_str());
        return all;
    }
    // 次筆, 前一畫面, 下一畫面
    std::tuple<bool, bool, bool> stepping() const
    {
        return {button("cmd_2")->isEnabled(), button("cmd_5")->isEnabled(), button("cmd_6")->isEnabled()};
    }
    // Picks a caption from the combo's drop-down list with the mouse.
    void chooseFromList(const QString &caption)
    {
        QComboBox *c = combo();
        const int index = c->findText(caption);
        QVERIFY(index >= 0);
        c->showPopup();
        QAbstractItemView *list = c->view();
        QTRY_VERIFY(list->isVisible());
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_VERIFY(!list->isVisible());
    }
    void typeInput(const QString &text)
    {
        input()->setFocus();
        input()->clear();
        typeText(input(), text);
    }

    Menu menu;
    QueryScreenWindow *window = nullptr;
};

std::vector<const DataSetSpec *> pdfDataSets()
{
    std::vector<const DataSetSpec *> sets;
    for (const DataSetSpec *d : allDataSets())
        if (d->hasPdf)
            sets.push_back(d);
    return sets;
}

}  // namespace

class QueryScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        disc_ = std::make_unique<SampleDisc>();
    }

    void everyScreenHasItsControls_data()
    {
        QTest::addColumn<QString>("ext");
        for (const DataSetSpec *d : allDataSets())
            QTest::newRow(std::string(d->screen).c_str())
                << QString::fromLatin1(d->ext.data(), d->ext.size());
    }

    void everyScreenHasItsControls()
    {
        QFETCH(QString, ext);
        const DataSetSpec &spec = *findDataSet(ext.toStdString());
        Screen s(disc_->folder(), spec);
        QVERIFY(s.window);
        QVERIFY(!child<QLabel>(s.window, "Image1")->pixmap().isNull());
        QStringList queryLabels;
        for (QLabel *label : s.window->findChildren<QLabel *>(QStringLiteral("Label2")))
            queryLabels.push_back(label->text());
        QVERIFY(queryLabels.contains(QStringLiteral("查詢條件")) &&
                queryLabels.contains(QStringLiteral("查詢資料")));

        // The combo is editable (its list and initial caption: screen_texts_test).
        QVERIFY(s.combo()->isEditable());
        QCOMPARE(s.input()->text(), QString());
        QCOMPARE(s.input()->maxLength(), 12);

        const std::map<const char *, QString> captions{{"cmd_1", QStringLiteral("查詢")},
                                                       {"cmd_2", QStringLiteral("次筆")},
                                                       {"cmd_4", QStringLiteral("列印")},
                                                       {"cmd_3", QStringLiteral("結束")},
                                                       {"cmd_5", QString()},
                                                       {"cmd_6", QString()}};
        for (const auto &[name, caption] : captions)
            QCOMPARE(s.button(name)->text(), caption);
        QCOMPARE(s.button("cmd_5")->toolTip(), QStringLiteral("前一畫面"));
        QCOMPARE(s.button("cmd_6")->toolTip(), QStringLiteral("下一畫面"));
        QVERIFY(!s.button("cmd_5")->icon().isNull() && !s.button("cmd_6")->icon().isNull());
        if (QPushButton *pdf = s.button("cmd_7"))
            QCOMPARE(pdf->text(), QStringLiteral("PDF 格式"));

        // Every output box is read-only (which boxes, labels and legends a screen has:
        // screen_texts_test).
        int outputBoxes = 0;
        for (QWidget *box : s.window->findChildren<QWidget *>()) {
            if (!box->objectName().startsWith(QLatin1String("tx_o_")))
                continue;
            ++outputBoxes;
            auto *line = qobject_cast<QLineEdit *>(box);
            auto *lines = qobject_cast<QPlainTextEdit *>(box);
            QVERIFY2((line && line->isReadOnly()) || (lines && lines->isReadOnly()),
                     qPrintable(box->objectName()));
        }
        QVERIFY(outputBoxes > 3);
        // LoadScreen: the production date, an empty history, the stepping buttons disabled.
        QCOMPARE(s.box("tx_o_25"), QStringLiteral("113/12/09"));
        QCOMPARE(s.box("tx_o_pnt"), QString());
        QCOMPARE(s.stepping(), std::make_tuple(false, false, false));

        // A query shows the first record of the initial key, as the model has it.
        click(s.button("cmd_1"));
        QVERIFY(s.menu.desktop.messages.shown.empty());
        QCOMPARE(s.box("tx_o_pnt"), QStringLiteral("0001 0001 0001 "));
        for (const auto &[name, text] : s.boxes())
            QCOMPARE(text, qs(s.window->model().box(name.toStdString())));
    }

    void boxWidths()
    {
        // One-character boxes are narrow, a full-width box reaches the right of the
        // output area, the English name is a multi-line box.
        Screen psm(disc_->folder(), psmDataSet());
        QWidget *oneChar = child<QWidget>(psm.window, "tx_o_15");
        QWidget *normal = child<QWidget>(psm.window, "tx_o_01");
        QWidget *full = child<QWidget>(psm.window, "tx_o_04");
        QVERIFY(oneChar->width() * 3 < normal->width());
        QVERIFY(full->width() > normal->width() * 3);
        const QPoint fullRight = full->mapTo(psm.window, QPoint(full->width(), 0));
        const QWidget *area = full->parentWidget()->parentWidget();
        QVERIFY(area->mapTo(psm.window, QPoint(area->width(), 0)).x() - fullRight.x() <
                3 * full->fontMetrics().height());

        Screen pel(disc_->folder(), pelDataSet());
        auto *name = child<QPlainTextEdit>(pel.window, "tx_o_03");
        QVERIFY(name->height() > 3 * name->fontMetrics().lineSpacing());
    }

    void steppingThroughTheHistory()
    {
        Screen s(disc_->folder(), psmDataSet());
        struct Step {
            const char *button;
            bool next, previous, following;
            const char *counters;
            int showsStep;  // the step whose record is on display
        };
        const Step steps[] = {
            {"cmd_1", true, false, false, "0001 0001 0001 ", 0},  // 查詢
            {"cmd_2", true, true, false, "0001 0002 0002 ", 1},  // 次筆
            {"cmd_2", true, true, false, "0001 0003 0003 ", 2},  // 次筆
            {"cmd_5", true, true, true, "0001 0002 0003 ", 1},  // 前一畫面
            {"cmd_5", true, false, true, "0001 0001 0003 ", 0},  // 前一畫面: the oldest
            {"cmd_6", true, true, true, "0001 0002 0003 ", 1},  // 下一畫面
            {"cmd_6", true, true, false, "0001 0003 0003 ", 2},  // 下一畫面: the newest
            {"cmd_2", true, true, false, "0001 0004 0004 ", 3},  // 次筆 goes on along the chain
        };
        std::vector<Boxes> shown;
        for (size_t i = 0; i < std::size(steps); ++i) {
            const Step &step = steps[i];
            click(s.button(step.button));
            QCOMPARE(s.stepping(), std::make_tuple(step.next, step.previous, step.following));
            QCOMPARE(s.box("tx_o_pnt"), QString::fromLatin1(step.counters));
            Boxes now = s.boxes();
            now.erase(QStringLiteral("tx_o_pnt"));
            if (step.showsStep == static_cast<int>(shown.size()))
                shown.push_back(now);
            QVERIFY2(now == shown.at(step.showsStep), qPrintable(QString::number(i)));
        }
        QCOMPARE(shown.size(), size_t(4));
        QVERIFY(shown[0] != shown[1] && shown[1] != shown[2]);
        QVERIFY(s.menu.desktop.messages.shown.empty());
    }

    void choosingFromTheComboListDisablesNext()
    {
        Screen s(disc_->folder(), psmDataSet());
        click(s.button("cmd_1"));
        const Boxes before = s.boxes();
        // Typing into the combo is no choice from its list.
        s.combo()->setFocus();
        s.combo()->lineEdit()->selectAll();
        typeText(s.combo()->lineEdit(), QStringLiteral("依 帳號"));
        QCOMPARE(s.window->model().comboText(), u"依 帳號");
        QVERIFY(s.button("cmd_2")->isEnabled());
        // Nor is leaving the combo with a caption typed into it: 次筆 goes on with the running
        // query and puts its caption back.
        click(s.button("cmd_2"));
        QCOMPARE(s.box("tx_o_pnt"), QStringLiteral("0001 0002 0002 "));
        QCOMPARE(s.combo()->currentText(), QStringLiteral("依 中文戶名"));
        s.combo()->setFocus();
        s.combo()->lineEdit()->selectAll();
        typeText(s.combo()->lineEdit(), QStringLiteral("依 帳號"));
        QTest::keyClick(s.combo()->lineEdit(), Qt::Key_Tab);
        QVERIFY(s.button("cmd_2")->isEnabled());
        click(s.button("cmd_5"));
        const Boxes shown = s.boxes();
        QCOMPARE(shown.at(QStringLiteral("tx_o_02")), before.at(QStringLiteral("tx_o_02")));
        s.chooseFromList(QStringLiteral("依 統一編號"));
        QCOMPARE(s.combo()->currentText(), QStringLiteral("依 統一編號"));
        QCOMPARE(s.stepping(), std::make_tuple(false, false, true));
        QCOMPARE(s.boxes(), shown);  // the record stays
    }

    void pressInTheInputBoxDisablesNext()
    {
        Screen s(disc_->folder(), psmDataSet());
        click(s.button("cmd_1"));
        // Reaching the box with Tab leaves 次筆 alone; a mouse press disables it.
        s.combo()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(s.input()->hasFocus());
        QVERIFY(s.button("cmd_2")->isEnabled());
        QTest::mouseClick(s.input(), Qt::LeftButton);
        QVERIFY(!s.button("cmd_2")->isEnabled());
    }

    void enterRunsTheQuery()
    {
        Screen s(disc_->folder(), psmDataSet());
        s.chooseFromList(QStringLiteral("依 統一編號"));
        s.typeInput(QStringLiteral("a"));
        QTest::keyClick(s.input(), Qt::Key_Return);
        QCOMPARE(s.input()->text(), QStringLiteral("A"));
        const QString id = s.box("tx_o_03").left(4);
        QVERIFY(id.size() == 4 && id.startsWith(QLatin1Char('A')));

        // Another holder first, then the ID typed in lower case and Enter.
        s.chooseFromList(QStringLiteral("依 帳號"));
        s.typeInput(QString());
        click(s.button("cmd_1"));
        s.chooseFromList(QStringLiteral("依 統一編號"));
        s.typeInput(id.toLower());
        QTest::keyClick(s.input(), Qt::Key_Return);
        QCOMPARE(s.input()->text(), id);  // upper-cased
        QVERIFY(s.box("tx_o_03").startsWith(id));
        QVERIFY(s.menu.desktop.messages.shown.empty());
    }

    void inputTakesTwelveCharacters()
    {
        Screen s(disc_->folder(), psmDataSet());
        s.typeInput(QStringLiteral("陳林黃張李王吳劉蔡楊許鄭謝郭洪"));
        QCOMPARE(s.input()->text(), QStringLiteral("陳林黃張李王吳劉蔡楊許鄭"));
        QCOMPARE(s.window->model().inputText(), u"陳林黃張李王吳劉蔡楊許鄭");
    }

    void badInputKeepsTheScreen_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>(
            "nextAfter");  // 次筆: kept by a combo or top-scan message, off after a prefix test
        QTest::newRow("combo text none of the captions") << "依 身高"
                                                         << ""
                                                         << "MSG_1_01:查詢條件 不在範圍內 !" << true;
        QTest::newRow("ID greater than every key") << "依 統一編號"
                                                   << "~"
                                                   << "MSG_1_02:無符合資料 !" << true;
        QTest::newRow("account greater than every key") << "依 帳號"
                                                        << "~"
                                                        << "MSG_1_02:無符合資料 !" << true;
        QTest::newRow("name greater than every key") << "依 中文戶名"
                                                     << "龘龘龘"
                                                     << "MSG_1_03:無符合資料 !" << true;
        QTest::newRow("no ID begins so") << "依 統一編號"
                                         << "!"
                                         << "MSG_1_04:無符合資料 !" << false;
        QTest::newRow("no account begins so") << "依 帳號"
                                              << "!"
                                              << "MSG_1_05:無符合資料 !" << false;
        QTest::newRow("name longer than its key") << "依 中文戶名"
                                                  << "陳陳陳陳陳陳陳"
                                                  << "MSG_1_06:無符合資料 !" << false;
    }

    void badInputKeepsTheScreen()
    {
        QFETCH(QString, combo);
        QFETCH(QString, input);
        QFETCH(QString, message);
        QFETCH(bool, nextAfter);
        Screen s(disc_->folder(), psmDataSet());
        click(s.button("cmd_1"));
        click(s.button("cmd_2"));
        const Boxes before = s.boxes();
        QCOMPARE(s.stepping(), std::make_tuple(true, true, false));
        // Typed into the combo's text and the input box, neither clicked: 次筆 stays.
        s.combo()->setFocus();
        s.combo()->lineEdit()->selectAll();
        typeText(s.combo()->lineEdit(), combo);
        s.typeInput(input);
        QVERIFY(s.button("cmd_2")->isEnabled());
        click(s.button("cmd_1"));
        QCOMPARE(s.menu.desktop.messages.texts(), QStringList{message});
        QCOMPARE(s.boxes(), before);
        QCOMPARE(s.stepping(), std::make_tuple(nextAfter, true, false));  // 前一畫面, 下一畫面 as they were
        QVERIFY(s.window->isVisible());
    }

    void pdfButtonWithAScriptedOpener_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("opened") << 42 << QStringList();
        QTest::newRow("file missing") << 2 << QStringList{QStringLiteral("File not found")};
        QTest::newRow("folder missing") << 3 << QStringList{QStringLiteral("Path not found")};
        QTest::newRow("no PDF application") << 31 << QStringList{QStringLiteral("系統未安裝 PDF Reader !!")};
        QTest::newRow("code 0") << 0 << QStringList{QStringLiteral("Unknown error")};
    }

    void pdfButtonWithAScriptedOpener()
    {
        QFETCH(int, result);
        QFETCH(QStringList, messages);
        for (const DataSetSpec *spec : pdfDataSets()) {
            Screen s(disc_->folder(), *spec);
            click(s.button("cmd_1"));
            const Boxes before = s.boxes();
            const auto stepping = s.stepping();
            s.menu.desktop.opener.result = result;
            click(s.button("cmd_7"));
            const QString ext = QString::fromLatin1(spec->ext.data(), spec->ext.size());
            QCOMPARE(s.menu.desktop.opener.paths,
                     QStringList{disc_->folder() + QStringLiteral("/stkidx/X001_") + ext +
                                 QStringLiteral(".pdf")});
            QCOMPARE(s.menu.desktop.messages.texts(), messages);
            QCOMPARE(s.boxes(), before);
            QCOMPARE(s.stepping(), stepping);
        }
    }

    void closing_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("結束") << false;
        QTest::newRow("close box") << true;
    }

    void closing()
    {
        QFETCH(bool, byCloseBox);
        Screen s(disc_->folder(), pruDataSet());
        click(s.button("cmd_1"));
        click(s.button("cmd_2"));
        QVERIFY(!s.menu.button("cmd_10")->isEnabled());
        if (byCloseBox)
            QVERIFY(s.window->close());
        else
            click(s.button("cmd_3"));
        QTRY_VERIFY(!shownWindow(QStringLiteral("frm_10")));
        QVERIFY(s.menu.button("cmd_10")->isEnabled());
        for (int slot : {23, 24, 25})
            QVERIFY(!s.menu.window->model().slot(slot).isOpen());
        QVERIFY(s.menu.desktop.messages.shown.empty());

        // Opened again: an empty history.
        auto *again = qobject_cast<QueryScreenWindow *>(s.menu.open("cmd_10"));
        QVERIFY(again);
        QCOMPARE(child<QLineEdit>(again, "tx_o_pnt")->text(), QString());
        QVERIFY(!child<QPushButton>(again, "cmd_5")->isEnabled());
        QVERIFY(!child<QPushButton>(again, "cmd_6")->isEnabled());
    }

    void outputBoxesKeepTheirBlanksAndCopy()
    {
        Screen s(disc_->folder(), psmDataSet());
        click(s.button("cmd_1"));
        auto *name = child<QLineEdit>(s.window, "tx_o_02");
        const QString model = qs(s.window->model().box("tx_o_02"));
        QCOMPARE(name->text(), model);
        QVERIFY(model.endsWith(QChar(0x3000)) || model.endsWith(QLatin1Char(' ')));
        QVERIFY(name->isReadOnly());
        name->selectAll();
        QCOMPARE(name->selectedText(), model);
        QCOMPARE(name->cursorPosition(), model.size());
    }

private:
    std::unique_ptr<SampleDisc> disc_;
};

QTEST_MAIN(QueryScreenTest)
#include "query_screen_test.moc"
