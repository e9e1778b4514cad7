// The desktop as a clerk meets it, on a display of 1920 × 1200 pixels: windows that show
// what a message speaks of while it is up, Qt's dialogs in Traditional Chinese, message
// boxes titled with the main menu's caption and wide enough for it, Enter on a focused
// button, Tab round the query row, and screens placed so that the main menu stays within
// reach.
#include "gui_support.h"

#include "views/desktop_session.h"
#include "views/query_screen_window.h"
#include "views/window_placement.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QTimer>

#include <functional>

using namespace regdisc;
using namespace regdisc::guitest;

namespace {

constexpr auto kMenuCaption = "證券所有人名冊查詢 (1040315)";

// Hands every message to `onShow` while it is being shown.
class WatchedMessages : public MessageSink {
public:
    void show(const Message &message) override
    {
        shown.push_back(message);
        if (onShow)
            onShow(message);
    }
    std::function<void(const Message &)> onShow;
    std::vector<Message> shown;
};

// The main menu on a folder with a watched message sink and the other scripted dialogs.
struct WatchedMenu {
    explicit WatchedMenu(const QString &folder)
        : window({messages, desktop.chooser, desktop.opener, desktop.printer}, tx(folder))
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the main menu did not become active");
    }
    WatchedMessages messages;
    ScriptedDesktop desktop;
    MainMenuWindow window;

    QString productionDate() const { return child<QLineEdit>(&window, "tx_o_01")->text(); }
};

// Runs `inspect` on the modal dialog that `show` brings up, then closes it; false when
// no modal dialog came up.
bool inspectModal(const std::function<void()> &show, const std::function<void(QWidget *)> &inspect)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll.stop();
        seen = true;
        inspect(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    poll.start();
    show();
    return seen;
}

QStringList buttonTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        if (button->isVisible() && !button->text().isEmpty())
            texts.push_back(button->text());
    return texts;
}

QStringList labelTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        if (label->isVisible())
            texts.push_back(label->text());
    return texts;
}

// The control that has the keyboard focus, by name (an editable combo's line edit counts
// as the combo).
QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return {};
    if (qobject_cast<QComboBox *>(focus->parentWidget()))
        focus = focus->parentWidget();
    return focus->objectName();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        QVERIFY2(useChineseDialogs(*qApp), "Qt's translations are not installed (qt6-translations-l10n)");
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1920, 1200));
        disc_ = std::make_unique<SampleDisc>(60);
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("frm_")) &&
                w->objectName() != QLatin1String("frm_0") && w->isVisible())
                w->close();
        QApplication::processEvents();
    }

    // While a message is up, the main menu already shows what it speaks of.
    void menuIsUpToDateWhileItsMessageIsShown()
    {
        // A folder with stk and stkidx but no disc information.
        QTemporaryDir noInfo;
        QDir(noInfo.path()).mkpath(QStringLiteral("stk"));
        QDir(noInfo.path()).mkpath(QStringLiteral("stkidx"));

        WatchedMenu menu(disc_->folder());
        QCOMPARE(menu.productionDate(), QStringLiteral("製作日期:113/12/09"));
        QStringList seen;
        menu.messages.onShow = [&](const Message &) { seen.push_back(menu.productionDate()); };

        // The folder box left on a folder without the disc information.
        auto *folderBox = child<QLineEdit>(&menu.window, "tx_i_01");
        folderBox->setFocus();
        folderBox->selectAll();
        typeText(folderBox, noInfo.path());
        QTest::keyClick(folderBox, Qt::Key_Tab);
        QCOMPARE(seen, QStringList{QStringLiteral("開檔錯誤")});
    }

    void menuWithoutFolderIsUpToDateWhileItsMessageIsShown()
    {
        if (QFile::exists(QStringLiteral("/stkidx/security.txt")))
            QSKIP("this machine has a disc information file at the root");
        WatchedMenu menu(QString{});
        QCOMPARE(menu.productionDate(), QString());
        QStringList seen;
        menu.messages.onShow = [&](const Message &) { seen.push_back(menu.productionDate()); };
        click(child<QPushButton>(&menu.window, "cmd_1"));
        QCOMPARE(seen, QStringList{QStringLiteral("開檔錯誤")});
        QCOMPARE(menu.messages.shown.size(), size_t(1));
    }

    // A query screen too: an ID number typed in lower case is upper-cased in the input
    // box before the lookup's message is up.
    void queryScreenIsUpToDateWhileItsMessageIsShown()
    {
        WatchedMenu menu(disc_->folder());
        QWidget *opened = nullptr;
        connect(&menu.window, &MainMenuWindow::screenOpened, this, [&](QWidget *screen) { opened = screen; });
        click(child<QPushButton>(&menu.window, "cmd_1"));
        QVERIFY(opened);
        auto *combo = child<QComboBox>(opened, "comb_1");
        combo->setCurrentText(QStringLiteral("依 統一編號"));
        auto *input = child<QLineEdit>(opened, "tx_i_01");
        input->setFocus();
        typeText(input, QStringLiteral("zz9"));
        QString inputWhileShown;
        menu.messages.onShow = [&](const Message &) { inputWhileShown = input->text(); };
        click(child<QPushButton>(opened, "cmd_1"));
        QCOMPARE(menu.messages.shown.size(), size_t(1));
        QCOMPARE(inputWhileShown, QStringLiteral("ZZ9"));
    }

    // The buttons of a message box, the no-printer question, the save dialog and the
    // folder chooser read Chinese.
    void qtDialogsReadChinese()
    {
        QStringList buttons;
        QVERIFY(inspectModal(
            [] {
                QtMessageSink().show({MessageKind::Plain, u"MSG_1_04:無符合資料 !"});
            },
            [&](QWidget *box) { buttons = buttonTexts(box); }));
        QCOMPARE(buttons, QStringList{QStringLiteral("確定")});

        QtPrintDialogs dialogs;
        QVERIFY(inspectModal([&] { dialogs.offerPdf(nullptr); },
                             [&](QWidget *box) { buttons = buttonTexts(box); }));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));

        QStringList labels;
        QVERIFY(inspectModal(
            [&] { dialogs.pdfFileName(nullptr, QDir::temp().filePath(QStringLiteral("x.pdf"))); },
            [&](QWidget *dialog) {
                buttons = buttonTexts(dialog->findChild<QDialogButtonBox *>());
                labels = labelTexts(dialog);
            }));
        QVERIFY2(buttons.contains(QStringLiteral("儲存(&S)")) && buttons.contains(QStringLiteral("取消")),
                 qPrintable(buttons.join(QLatin1Char('|'))));
        QVERIFY2(labels.contains(QStringLiteral("尋找於：")) && labels.contains(QStringLiteral("檔名(&N)：")),
                 qPrintable(labels.join(QLatin1Char('|'))));

        QtFolderChooser chooser;
        QVERIFY(inspectModal([&] { chooser.choose(u"選擇檔案所在資料夾"); },
                             [&](QWidget *dialog) {
                                 buttons = buttonTexts(dialog->findChild<QDialogButtonBox *>());
                                 labels = labelTexts(dialog);
                             }));
        QVERIFY2(buttons.contains(QStringLiteral("選擇(&C)")) && buttons.contains(QStringLiteral("取消")),
                 qPrintable(buttons.join(QLatin1Char('|'))));
        QVERIFY2(labels.contains(QStringLiteral("尋找於：")), qPrintable(labels.join(QLatin1Char('|'))));
    }

    // The folder chooser opens at the folder the box names when it exists (a neighbouring
    // disc folder is then a step away), and where it was last otherwise.
    void folderChooserOpensAtTheNamedFolder()
    {
        QtFolderChooser chooser;
        const struct {
            QString named;
            QString opensAt;
        } cases[] = {
            {disc_->folder(), QDir(disc_->folder()).absolutePath()},
            {disc_->path(QStringLiteral("stk")), QDir(disc_->path(QStringLiteral("stk"))).absolutePath()},
            {disc_->path(QStringLiteral("no such folder")),
             QDir(disc_->path(QStringLiteral("stk"))).absolutePath()},
            {QString(), QDir(disc_->path(QStringLiteral("stk"))).absolutePath()},
        };
        for (const auto &c : cases) {
            chooser.setStartFolder([&] { return tx(c.named); });
            QString shown;
            QVERIFY(inspectModal([&] { chooser.choose(u"選擇檔案所在資料夾"); },
                                 [&](QWidget *dialog) {
                                     if (auto *files = qobject_cast<QFileDialog *>(dialog))
                                         shown = files->directory().absolutePath();
                                 }));
            QCOMPARE(shown, c.opensAt);
        }
    }

    // Plain boxes carry the name the clerk knows, the main menu's caption, and are wide
    // enough to show it.
    void messageBoxTitleIsTheMenuCaptionAndFits()
    {
        const auto check = [](QWidget *box) {
            QCOMPARE(box->windowTitle(), QString::fromUtf8(kMenuCaption));
            QFont bold = box->font();
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            // The title and, beside it, the window's icon and three title-bar buttons.
            const int needed = metrics.horizontalAdvance(box->windowTitle()) + 4 * metrics.height();
            QVERIFY2(box->width() >= needed,
                     qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
        };
        // A short message: the narrowest box.
        QVERIFY(inspectModal([] { QtMessageSink().show({MessageKind::Plain, u"DDE busy"}); }, check));
        QtPrintDialogs dialogs;
        QVERIFY(inspectModal([&] { dialogs.showFailure(nullptr, QStringLiteral("x")); }, check));
        QVERIFY(inspectModal([&] { dialogs.offerPdf(nullptr); }, check));
    }

    void enterPressesTheFocusedButton()
    {
        Menu menu(disc_->folder());
        QWidget *opened = nullptr;
        connect(menu.window.get(), &MainMenuWindow::screenOpened, this,
                [&](QWidget *screen) { opened = screen; });
        QPushButton *holders = menu.button("cmd_1");
        holders->setFocus();
        QTRY_VERIFY(holders->hasFocus());
        QTest::keyClick(holders, Qt::Key_Return);
        QVERIFY2(opened, "Enter on 證券所有人名冊查詢 opened nothing");
        QCOMPARE(opened->objectName(), QStringLiteral("frm_1"));
        QVERIFY(QTest::qWaitForWindowActive(opened));

        // 查詢 by Enter, then 次筆 by the keypad's Enter.
        auto *counters = child<QLineEdit>(opened, "tx_o_pnt");
        QPushButton *query = child<QPushButton>(opened, "cmd_1");
        query->setFocus();
        QTRY_VERIFY(query->hasFocus());
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(counters->text(), QStringLiteral("0001 0001 0001 "));
        QPushButton *next = child<QPushButton>(opened, "cmd_2");
        QVERIFY(next->isEnabled());
        next->setFocus();
        QTRY_VERIFY(next->hasFocus());
        QTest::keyClick(next, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(counters->text(), QStringLiteral("0001 0002 0002 "));

        // Enter in the input box still runs 查詢.
        auto *input = child<QLineEdit>(opened, "tx_i_01");
        input->setFocus();
        QTRY_VERIFY(input->hasFocus());
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(counters->text(), QStringLiteral("0001 0003 0003 "));
        QVERIFY(menu.desktop.messages.shown.empty());

        // 結束 by Enter.
        QPushButton *exit = child<QPushButton>(opened, "cmd_3");
        exit->setFocus();
        QTRY_VERIFY(exit->hasFocus());
        QPointer<QWidget> screen = opened;
        QTest::keyClick(exit, Qt::Key_Return);
        QTRY_VERIFY(!screen || !screen->isVisible());
        QVERIFY(menu.button("cmd_1")->isEnabled());
    }

    // Tab goes round the query row in its order; the output boxes are left to the mouse.
    void tabGoesRoundTheQueryRow()
    {
        Menu menu(disc_->folder());
        QWidget *screen = menu.open("cmd_2");
        QVERIFY(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        // Three records, the second on display: every button is enabled.
        click(child<QPushButton>(screen, "cmd_1"));
        click(child<QPushButton>(screen, "cmd_2"));
        click(child<QPushButton>(screen, "cmd_2"));
        click(child<QPushButton>(screen, "cmd_5"));
        for (const char *name : {"cmd_1", "cmd_2", "cmd_5", "cmd_6", "cmd_4", "cmd_7", "cmd_3"})
            QVERIFY2(child<QPushButton>(screen, name)->isEnabled(), name);

        child<QComboBox>(screen, "comb_1")->setFocus();
        QTRY_COMPARE(focusName(), QStringLiteral("comb_1"));
        QStringList order{focusName()};
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.push_back(focusName());
        }
        QCOMPARE(order, (QStringList{"comb_1", "tx_i_01", "cmd_5", "cmd_6", "cmd_1", "cmd_2", "cmd_4",
                                     "cmd_7", "cmd_3", "comb_1"}));

        // An output box takes the focus from a click, for selecting and copying.
        auto *account = child<QLineEdit>(screen, "tx_o_01");
        QCOMPARE(account->focusPolicy(), Qt::ClickFocus);
        QTest::mouseClick(account, Qt::LeftButton);
        QTRY_COMPARE(focusName(), QStringLiteral("tx_o_01"));
        QCOMPARE(child<QLineEdit>(screen, "tx_o_pnt")->focusPolicy(), Qt::ClickFocus);
    }

    // Screens stand beside the main menu where the display has room for both; where it
    // has not, they leave part of the menu in sight. Sixteen screens lie on sixteen
    // spots, and the menu stays within reach.
    void screensLeaveTheMenuWithinReach()
    {
        Menu menu(disc_->folder());
        sizeAndCentre(menu.window.get());
        QTRY_VERIFY(menu.window->isVisible());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const auto inSight = [&](const QWidget *screen) {
            const QRect menuFrame = menu.window->frameGeometry();
            return QRegion(menuFrame).subtracted(QRegion(screen->frameGeometry())).boundingRect().width() *
                   100 / menuFrame.width();
        };

        // The menu centred on the display: on either side there is room for a screen of a
        // third of the display's width only. A listing covers a sliver of the menu, the
        // holder register's screen less than two thirds of it.
        QWidget *listing = menu.open("cmd_5");
        QVERIFY(listing);
        QVERIFY(area.contains(listing->frameGeometry()));
        QVERIFY2(inSight(listing) >= 90, qPrintable(QString::number(inSight(listing))));
        listing->close();
        QWidget *holders = menu.open("cmd_1");
        QVERIFY(holders);
        QVERIFY2(inSight(holders) >= 33, qPrintable(QString::number(inSight(holders))));
        holders->close();
        QApplication::processEvents();

        // The clerk has moved the menu to the display's left edge: the screen opens right
        // beside it.
        menu.window->move(area.topLeft());
        QTRY_COMPARE(menu.window->frameGeometry().topLeft(), area.topLeft());
        holders = menu.open("cmd_1");
        QVERIFY(holders);
        QVERIFY(!holders->frameGeometry().intersects(menu.window->frameGeometry()));
        QVERIFY(area.contains(holders->frameGeometry()));
        holders->close();
        QApplication::processEvents();

        sizeAndCentre(menu.window.get());
        const QRect menuFrame = menu.window->frameGeometry();
        QRegion menuInSight(menuFrame);
        QList<QPoint> corners;
        for (const auto &[left, right] : mainMenu().rows)
            for (const std::string_view name : {left, right}) {
                if (name == "cmd_6" || name == "lab_01")
                    continue;
                QWidget *screen = menu.open(std::string(name).c_str());
                QVERIFY2(screen, std::string(name).c_str());
                QVERIFY2(area.contains(screen->frameGeometry()), std::string(name).c_str());
                QVERIFY2(!corners.contains(screen->frameGeometry().topLeft()), std::string(name).c_str());
                corners.push_back(screen->frameGeometry().topLeft());
                menuInSight -= QRegion(screen->frameGeometry());
            }
        QCOMPARE(corners.size(), 16);
        QVERIFY2(!menuInSight.isEmpty(), "the screens hide the menu");
    }

    // Placement on displays of other sizes, screens given by their frames' sizes.
    void placementOnOtherDisplays()
    {
        const QRect fullHd(0, 0, 1920, 1080);
        const QRect menu(661, 181, 597, 717);
        // Beside the menu on the right, then on the left when the right has no room.
        QCOMPARE(screenPlacement(fullHd, menu, QSize(600, 500), {}, 30), QPoint(1264, 181));
        QCOMPARE(screenPlacement(fullHd, QRect(1200, 181, 597, 717), QSize(600, 500), {}, 30),
                 QPoint(594, 181));
        // Too wide for either side: at the display's edge on the side with more room.
        QCOMPARE(screenPlacement(fullHd, menu, QSize(1000, 800), {}, 30), QPoint(920, 181));
        QCOMPARE(screenPlacement(fullHd, QRect(800, 181, 597, 717), QSize(1000, 800), {}, 30),
                 QPoint(0, 181));
        // A second screen of the same size is cascaded, lower and further out.
        const QPoint second = screenPlacement(fullHd, menu, QSize(600, 500), {QPoint(1264, 181)}, 30);
        QCOMPARE(second, QPoint(1294, 211));
        // A screen as large as a small display goes to its corner.
        QCOMPARE(screenPlacement(QRect(0, 0, 800, 600), QRect(100, 0, 597, 600), QSize(900, 700), {}, 30),
                 QPoint(0, 0));
        // Cascading never leaves the display.
        QList<QPoint> taken;
        for (int i = 0; i < 16; ++i) {
            const QPoint p = screenPlacement(fullHd, menu, QSize(1000, 800), taken, 30);
            QVERIFY(fullHd.contains(QRect(p, QSize(1000, 800))));
            taken.push_back(p);
        }
    }

private:
    std::unique_ptr<SampleDisc> disc_;
};

// A display of 1920 × 1200 pixels, the size of a clerk's screen.
int main(int argc, char *argv[])
{
    const QString config = QDir::temp().filePath(
        QStringLiteral("regdisc-desktop-test-%1.json").arg(QCoreApplication::applicationPid()));
    {
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(R"({"screens": [{"name": "clerk", "x": 0, "y": 0, "width": 1920, "height": 1200,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    int status = 0;
    {
        QApplication app(argc, argv);
        DesktopTest test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    QFile::remove(config);
    return status;
}

#include "desktop_test.moc"
