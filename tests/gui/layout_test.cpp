// Nothing is cut: on the main menu and on every screen after a query, each caption,
// legend, button and value has the room it needs and no two controls overlap. Run at
// 100% and at 150% scaling (QT_SCALE_FACTOR).
#include "gui_support.h"

#include "views/query_screen_window.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QScrollBar>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

// The controls a clerk reads: labels, boxes, buttons and the combo (not their parts).
QList<QWidget *> controls(QWidget *window)
{
    QList<QWidget *> found;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        const bool part =
            qobject_cast<QComboBox *>(w->parentWidget()) ||
            qobject_cast<QAbstractScrollArea *>(w->parentWidget()) ||
            (w->parentWidget() && qobject_cast<QAbstractScrollArea *>(w->parentWidget()->parentWidget()) &&
             !w->parentWidget()->objectName().isEmpty());
        if (part)
            continue;
        if (qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w) ||
            qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w))
            found.push_back(w);
    }
    return found;
}

QString nameOf(const QWidget *w)
{
    return w->objectName() + QStringLiteral(" \"") + captionOf(w) + QLatin1Char('"');
}

void checkNothingCut(QWidget *window)
{
    const QList<QWidget *> all = controls(window);
    QVERIFY(all.size() > 5);
    for (QWidget *w : all) {
        const QString name = window->objectName() + QStringLiteral(": ") + nameOf(w);
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->wordWrap())
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
            else
                QVERIFY2(label->sizeHint().width() <= label->width() &&
                             label->sizeHint().height() <= label->height(),
                         qPrintable(name));
        } else if (auto *line = qobject_cast<OutputLine *>(w)) {
            // The value without its trailing blanks fits the box.
            QString value = line->text();
            while (!value.isEmpty() && value.back().isSpace())
                value.chop(1);
            QVERIFY2(line->fontMetrics().horizontalAdvance(value) + line->widthForColumns(0) <=
                         line->width() + 1,
                     qPrintable(name + QStringLiteral(" ") + value));
        } else if (auto *lines = qobject_cast<QPlainTextEdit *>(w)) {
            QVERIFY2(lines->verticalScrollBar()->maximum() == 0 ||
                         lines->objectName() == QLatin1String("tx_o_01"),
                     qPrintable(name));
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            QVERIFY2(button->sizeHint().width() <= button->width() &&
                         button->sizeHint().height() <= button->height(),
                     qPrintable(name));
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            QVERIFY2(combo->minimumSizeHint().width() <= combo->width(), qPrintable(name));
        }
    }
    // No two controls overlap.
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QRect a(all[i]->mapTo(window, QPoint(0, 0)), all[i]->size());
        for (qsizetype j = i + 1; j < all.size(); ++j) {
            const QRect b(all[j]->mapTo(window, QPoint(0, 0)), all[j]->size());
            QVERIFY2(!a.intersects(b), qPrintable(nameOf(all[i]) + QStringLiteral(" / ") + nameOf(all[j])));
        }
    }
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        disc_ = std::make_unique<SampleDisc>();
    }

    void mainMenu() { checkNothingCut(Menu(disc_->folder()).window.get()); }

    void screens_data()
    {
        QTest::addColumn<QString>("button");
        for (const DataSetSpec *d : allDataSets())
            QTest::newRow(std::string(d->screen).c_str())
                << QString::fromLatin1(d->button.data(), d->button.size());
        for (const ListingSpec *l : allListings())
            QTest::newRow(std::string(l->screen).c_str())
                << QString::fromLatin1(l->button.data(), l->button.size());
    }

    void screens()
    {
        QFETCH(QString, button);
        Menu menu(disc_->folder());
        QWidget *screen = menu.open(button.toLatin1().constData());
        QVERIFY(screen);
        if (auto *query = qobject_cast<QueryScreenWindow *>(screen)) {
            // The widest record in the first records of the initial key.
            click(child<QPushButton>(query, "cmd_1"));
            for (int i = 0; i < 20 && query->model().nextEnabled(); ++i) {
                checkNothingCut(screen);
                if (QTest::currentTestFailed())
                    return;
                click(child<QPushButton>(query, "cmd_2"));
            }
        }
        checkNothingCut(screen);
    }

private:
    std::unique_ptr<SampleDisc> disc_;
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
