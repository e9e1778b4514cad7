// The main menu frm_0 driven the way a clerk drives it: start-up read, the folder box and
// its check, the folder chooser, the sixteen menu buttons and their screens, the opening
// messages, and ending the run.
#include "gui_support.h"

#include "views/qt_ui.h"
#include "views/query_screen_window.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

// Every button of the two columns but the exit, with the screen it opens.
std::vector<std::pair<std::string, std::string>> menuScreens()
{
    std::vector<std::pair<std::string, std::string>> screens;
    for (const DataSetSpec *d : allDataSets())
        screens.emplace_back(d->button, d->screen);
    for (const ListingSpec *l : allListings())
        screens.emplace_back(l->button, l->screen);
    return screens;
}

QString buttonCaption(const std::string &button)
{
    for (const DataSetSpec *d : allDataSets())
        if (d->button == button)
            return qs(d->windowCaption);
    for (const ListingSpec *l : allListings())
        if (l->button == button)
            return qs(l->title);
    return {};
}

// Leaves the folder box the way a clerk does: Tab to the next control.
void leaveFolderBox(Menu &menu)
{
    menu.folderBox()->setFocus();
    QTRY_VERIFY(menu.folderBox()->hasFocus());
    QTest::keyClick(menu.folderBox(), Qt::Key_Tab);
}

void typeFolder(Menu &menu, const QString &folder)
{
    menu.folderBox()->setFocus();
    menu.folderBox()->selectAll();
    typeText(menu.folderBox(), folder);
}

// The message box a QtMessageSink shows, inspected and dismissed by the test.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

ShownBox showThroughQt(const Message &message)
{
    ShownBox seen;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())};
        box->accept();
    });
    QtMessageSink().show(message);
    return seen;
}

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        disc_ = std::make_unique<SampleDisc>();
    }

    void cleanup()
    {
        // No screen outlives its test.
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("frm_")) &&
                w->objectName() != QLatin1String("frm_0"))
                delete w;
    }

    void layoutHoldsEveryControl()
    {
        Menu menu(disc_->folder());
        const MainMenuSpec &spec = mainMenu();
        QCOMPARE(menu.window->objectName(), QStringLiteral("frm_0"));
        QCOMPARE(menu.window->windowTitle(), qs(spec.windowCaption));
        QVERIFY(child<QLabel>(menu.window.get(), "Image1")->pixmap().width() > 0);
        QCOMPARE(child<QLabel>(menu.window.get(), "Label1")->text(), qs(spec.title));
        QCOMPARE(menu.button("lab_01")->text(), QStringLiteral("檔案位置"));
        QCOMPARE(menu.folderBox()->toolTip(), QStringLiteral("可手動輸入檔案位置"));
        QCOMPARE(menu.button("cmd_6")->text(), QStringLiteral("結束作業"));

        // The two columns: each row's buttons side by side, the rows top to bottom, all
        // of one size and all enabled.
        QSize size;
        int lastTop = -1;
        for (const auto &[left, right] : spec.rows) {
            QWidget *l = menu.button(std::string(left).c_str());
            QWidget *r = right == "lab_01" ? menu.folderBox()->parentWidget()
                                           : menu.button(std::string(right).c_str());
            QVERIFY(l && r);
            QVERIFY(l->x() < r->x());
            QVERIFY(l->y() > lastTop);
            lastTop = l->y();
            for (QWidget *w : {l, r}) {
                if (size.isEmpty())
                    size = w->size();
                QCOMPARE(w->size(), size);
            }
            QVERIFY(l->isEnabled());
        }
        // Captions with runs of blanks take two lines; the exact caption stays the text.
        QCOMPARE(menu.button("cmd_8")->text(),
                 QStringLiteral("   證券所有人名冊查詢     (私募有價證券明細)"));
        QCOMPARE(static_cast<CaptionButton *>(menu.button("cmd_8"))->shownText(),
                 QStringLiteral("證券所有人名冊查詢\n(私募有價證券明細)"));
        QCOMPARE(static_cast<CaptionButton *>(menu.button("cmd_12"))->shownText(),
                 QStringLiteral("限制上市櫃\n證券所有人名冊查詢"));
    }

    // The rows name the folder; the folders themselves exist only once initTestCase ran, so
    // that -datatags lists the rows without them.
    void startupRead_data()
    {
        QTest::addColumn<QString>("folder");  // "disc", "empty" or "missing"
        QTest::addColumn<QString>("productionDate");
        QTest::newRow("readable disc") << "disc" << QStringLiteral("製作日期:113/12/09");
        QTest::newRow("folder without a disc") << "empty" << QString();
        QTest::newRow("missing folder") << "missing" << QString();
    }

    void startupRead()
    {
        QFETCH(QString, folder);
        QFETCH(QString, productionDate);
        const QString path = folder == QLatin1String("disc")    ? disc_->folder()
                             : folder == QLatin1String("empty") ? empty_.path()
                                                                : empty_.filePath(QStringLiteral("nowhere"));
        Menu menu(path);
        QCOMPARE(menu.folderBox()->text(), path);
        QCOMPARE(menu.productionDate(), productionDate);
        QVERIFY(menu.desktop.messages.shown.empty());  // silent, whatever happened
    }

    void folderBoxChecksOnEveryFocusOut()
    {
        Menu menu(empty_.path());
        typeFolder(menu, disc_->folder());
        QCOMPARE(menu.window->model().folderText(), disc_->folderText());
        leaveFolderBox(menu);
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        QVERIFY(menu.desktop.messages.shown.empty());

        // A folder without stk and stkidx: the warning each time the box is left, even
        // with its text unchanged.
        const QString bad = empty_.path();
        typeFolder(menu, bad);
        for (int i = 1; i <= 2; ++i) {
            leaveFolderBox(menu);
            QCOMPARE(menu.desktop.messages.shown.size(), size_t(i));
            const Message &warning = menu.desktop.messages.shown.back();
            QVERIFY(warning.kind == MessageKind::FolderWarning);
            QCOMPARE(qs(warning.text), bad + QStringLiteral("資料夾內需同時存在stk及stkidx次目錄"));
            QCOMPARE(menu.productionDate(), QStringLiteral("檔案位置錯誤"));
        }
    }

    void folderWithoutDiscInformation()
    {
        // stk and stkidx are there, security.txt is not.
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("stk"));
        QDir(dir.path()).mkpath(QStringLiteral("stkidx"));
        Menu menu(disc_->folder());
        typeFolder(menu, dir.path());
        leaveFolderBox(menu);
        QCOMPARE(menu.desktop.messages.texts(),
                 QStringList{QStringLiteral("MSG_0_00 ") + dir.path() +
                             QStringLiteral("/stkidx/security.txt 開檔錯誤 !")});
        QVERIFY(menu.desktop.messages.shown.front().kind == MessageKind::Plain);
        QCOMPARE(menu.productionDate(), QStringLiteral("開檔錯誤"));
    }

    void messageBoxesAsTheClerkSeesThem()
    {
        const ShownBox warning =
            showThroughQt({MessageKind::FolderWarning, u"/x資料夾內需同時存在stk及stkidx次目錄"});
        QCOMPARE(warning.title, QStringLiteral("警告訊息"));
        QCOMPARE(warning.icon, QMessageBox::Information);
        QCOMPARE(warning.text, QStringLiteral("/x資料夾內需同時存在stk及stkidx次目錄"));
        QCOMPARE(warning.buttons, 1);

        const ShownBox plain = showThroughQt({MessageKind::Plain, u"MSG_1_04:無符合資料 !"});
        QCOMPARE(plain.title, QStringLiteral("證券所有人名冊查詢 (1040315)"));
        QCOMPARE(plain.icon, QMessageBox::NoIcon);
        QCOMPARE(plain.text, QStringLiteral("MSG_1_04:無符合資料 !"));
        QCOMPARE(plain.buttons, 1);
    }

    void folderChooser()
    {
        Menu menu(empty_.path());
        menu.desktop.chooser.nextAnswer = disc_->folderText();
        click(menu.button("lab_01"));
        QCOMPARE(menu.desktop.chooser.titles, QStringList{QStringLiteral("選擇檔案所在資料夾")});
        QCOMPARE(menu.folderBox()->text(), disc_->folder());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        QVERIFY(menu.desktop.messages.shown.empty());

        // Cancelled: the message, the folder box as it was, no check.
        menu.desktop.chooser.nextAnswer.clear();
        click(menu.button("lab_01"));
        QCOMPARE(menu.desktop.messages.texts(),
                 QStringList{QStringLiteral("未選擇資料夾或取消選擇資料夾！")});
        QCOMPARE(menu.folderBox()->text(), disc_->folder());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
    }

    void eachButtonOpensItsScreen_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("screen");
        for (const auto &[button, screen] : menuScreens())
            QTest::newRow(button.c_str()) << QString::fromStdString(button) << QString::fromStdString(screen);
    }

    void eachButtonOpensItsScreen()
    {
        QFETCH(QString, button);
        QFETCH(QString, screen);
        Menu menu(disc_->folder());
        const QByteArray name = button.toLatin1();
        QWidget *window = menu.open(name.constData());
        QVERIFY(window);
        QCOMPARE(window->objectName(), screen);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), buttonCaption(button.toStdString()));
        QVERIFY(menu.desktop.messages.shown.empty());
        // Modeless: the menu still works, and the button stays disabled while it is open.
        QVERIFY(!menu.button(name.constData())->isEnabled());
        QVERIFY(!menu.open(name.constData()));
        QCOMPARE(menu.window->openScreens().size(), 1);

        // 結束 (cmd_3 on a query screen, cmd_2 on a listing) gives the button back.
        const char *exit =
            screen == QLatin1String("frm_5") || screen == QLatin1String("frm_9") ? "cmd_2" : "cmd_3";
        click(child<QPushButton>(window, exit));
        QTRY_VERIFY(!shownWindow(screen));
        QVERIFY(menu.button(name.constData())->isEnabled());
        QVERIFY(menu.desktop.messages.shown.empty());
    }

    void openingRefusals_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");  // under the disc folder
        QTest::addColumn<bool>("remove");  // remove it, or leave it empty
        QTest::addColumn<QString>("message");  // the path follows when a file is missing
        QTest::newRow("cmd_1 empty top index") << "cmd_1"
                                               << "stkidx/X001idxp.psm" << false << "MSG_0_01 無可查詢資料 !";
        QTest::newRow("cmd_1 empty detail index")
            << "cmd_1"
            << "stkidx/X001idxd.psm" << false << "MSG_0_02 資料燒錄錯誤 !";
        QTest::newRow("cmd_16 empty top index")
            << "cmd_16"
            << "stkidx/X001idxp.drf" << false << "MSG_0_05 無可查詢資料 !";
        QTest::newRow("cmd_15 empty data file") << "cmd_15"
                                                << "stk/X001.pel" << false << "MSG_0_46 資料燒錄錯誤 !";
        QTest::newRow("cmd_4 missing detail index") << "cmd_4"
                                                    << "stkidx/X001idxd.psr" << true << "MSG_0_17 ";
        QTest::newRow("cmd_2 missing data file") << "cmd_2"
                                                 << "stk/X001.pla" << true << "MSG_0_08 ";
        QTest::newRow("cmd_5 missing listing") << "cmd_5"
                                               << "stk/X001.ptr" << true << "MSG_0_18 ";
    }

    void openingRefusals()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(bool, remove);
        QFETCH(QString, message);
        SampleDisc disc(50);
        QFile target(disc.path(file));
        QVERIFY(remove ? target.remove() : target.resize(0));
        Menu menu(disc.folder());
        const QByteArray name = button.toLatin1();
        QVERIFY(!menu.open(name.constData()));
        const QString expected = remove ? message + disc.path(file) + QStringLiteral(" 開檔錯誤 !") : message;
        QCOMPARE(menu.desktop.messages.texts(), QStringList{expected});
        QVERIFY(menu.button(name.constData())->isEnabled());
        QVERIFY(menu.window->openScreens().isEmpty());
        // The files that were opened before the refusal are closed again.
        for (int slot = 1; slot < MainMenuModel::kSlotCount; ++slot)
            QVERIFY(!menu.window->model().slot(slot).isOpen());
    }

    void endingTheRunWithScreensOpen_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("結束作業") << false;
        QTest::newRow("close box of frm_0") << true;
    }

    void endingTheRunWithScreensOpen()
    {
        QFETCH(bool, byCloseBox);
        Menu menu(disc_->folder());
        QList<QWidget *> screens;
        for (const char *button : {"cmd_1", "cmd_2", "cmd_5", "cmd_17"})
            screens.push_back(menu.open(button));
        auto *psm = static_cast<QueryScreenWindow *>(screens.front());
        click(child<QPushButton>(psm, "cmd_1"));

        QTimer::singleShot(0, menu.window.get(), [&] {
            if (byCloseBox)
                menu.window->close();
            else
                click(menu.button("cmd_6"));
        });
        QCOMPARE(QApplication::exec(), 0);

        // The run ended without any screen's close: their buttons are still disabled,
        // their models not closed, and no message was shown; every file is closed.
        for (const char *button : {"cmd_1", "cmd_2", "cmd_5", "cmd_17"})
            QVERIFY(!menu.window->model().buttonEnabled(button));
        QVERIFY(!psm->model().closed());
        for (int slot = 1; slot < MainMenuModel::kSlotCount; ++slot)
            QVERIFY(!menu.window->model().slot(slot).isOpen());
        QVERIFY(menu.desktop.messages.shown.empty());
    }

private:
    std::unique_ptr<SampleDisc> disc_;
    QTemporaryDir empty_;
};

QTEST_MAIN(MainMenuTest)
#include "main_menu_test.moc"
