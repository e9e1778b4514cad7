#include "views/tools_menu.h"

#include "datasets/dataset.h"
#include "views/batch_window.h"
#include "views/check_window.h"
#include "views/compare_window.h"
#include "views/export_window.h"
#include "views/holder_window.h"
#include "views/main_menu_window.h"
#include "views/qt_text.h"
#include "views/query_screen_window.h"
#include "views/stats_window.h"
#include "views/window_placement.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace regdisc {

namespace {

// Each tool has one window: the menu item shows it again when it is open. A new window
// stands beside the menu, away from the windows already open.
template <typename Window>
void showTool(MainMenuWindow &menu, QPointer<Window> &window, bool runAtOnce = false)
{
    if (!window) {
        window = new Window(menu);
        window->setAttribute(Qt::WA_DeleteOnClose);
        placeBesideMenu(window, &menu, menu.openWindows());
        window->show();
        if constexpr (requires { window->run(); })
            if (runAtOnce)
                window->run();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
}

QAction *addTool(QMenu *menu, const QString &text, const char *name)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

QMenuBar *createToolsMenuBar(MainMenuWindow &menu)
{
    auto *bar = new QMenuBar(&menu);
    bar->setObjectName(QStringLiteral("menu_bar"));
    QMenu *tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("menu_tools"));
    auto holder = std::make_shared<QPointer<HolderWindow>>();
    auto batch = std::make_shared<QPointer<BatchWindow>>();
    auto exporter = std::make_shared<QPointer<ExportWindow>>();
    auto check = std::make_shared<QPointer<CheckWindow>>();
    auto stats = std::make_shared<QPointer<StatsWindow>>();
    QObject::connect(addTool(tools, QStringLiteral("全冊查詢…"), "act_holder"), &QAction::triggered, &menu,
                     [&menu, holder] { showTool(menu, *holder); });
    QObject::connect(addTool(tools, QStringLiteral("批次查詢…"), "act_batch"), &QAction::triggered, &menu,
                     [&menu, batch] { showTool(menu, *batch); });
    QObject::connect(addTool(tools, QStringLiteral("匯出…"), "act_export"), &QAction::triggered, &menu,
                     [&menu, exporter] { showTool(menu, *exporter); });
    QObject::connect(addTool(tools, QStringLiteral("股權統計…"), "act_stats"), &QAction::triggered, &menu,
                     [&menu, stats] { showTool(menu, *stats, true); });
    QObject::connect(
        addTool(tools, QStringLiteral("異動比較…"), "act_compare"), &QAction::triggered, &menu,
        [&menu, window = std::make_shared<QPointer<CompareWindow>>()] { showTool(menu, *window); });
    tools->addSeparator();
    QObject::connect(addTool(tools, QStringLiteral("光碟檢查…"), "act_check"), &QAction::triggered, &menu,
                     [&menu, check] { showTool(menu, *check, true); });

    QMenu *help = bar->addMenu(QStringLiteral("說明(&H)"));
    help->setObjectName(QStringLiteral("menu_help"));
    QObject::connect(addTool(help, QStringLiteral("關於 regdisc…"), "act_about"), &QAction::triggered, &menu,
                     [&menu] {
                         const FocusReturn back(&menu);
                         QMessageBox::about(&menu, QStringLiteral("關於 regdisc"), aboutText());
                     });
    return bar;
}

QString aboutText()
{
    // Every item of the 工具 menu, in its order.
    QStringList tools;
    for (const char *tool : {"全冊查詢", "批次查詢", "匯出", "股權統計", "光碟檢查"})
        tools << QString::fromUtf8(tool);
    return QStringLiteral("<p><b>regdisc %1</b></p>"
                          "<p>證券所有人名冊光碟查詢。</p>"
                          "<p>工具選單：%2；同樣的功能也可用命令列 regdisc-cli 執行。</p>")
        .arg(QCoreApplication::applicationVersion(), tools.join(QStringLiteral("、")));
}

ShownOnScreen showRecordOnScreen(MainMenuWindow &menu, const DataSetSpec &spec, int keyKind, TextView typed,
                                 std::int64_t recordNo, const DiscIdentity &disc,
                                 const std::function<bool(const QString &question)> &replace)
{
    // A screen the menu opens now reads the menu's disc: only that of the record will do.
    if (!sameDisc(menu.currentDisc(), disc))
        return ShownOnScreen::MenuOnOtherDisc;
    const QString screenName =
        QString::fromLatin1(spec.screen.data(), static_cast<qsizetype>(spec.screen.size()));
    QueryScreenWindow *screen = nullptr;
    bool fresh = false;
    for (QWidget *open : menu.openScreens())
        if (open->objectName() == screenName)
            screen = qobject_cast<QueryScreenWindow *>(open);
    if (screen && !sameDisc(screen->disc(), disc)) {
        // The register's screen reads another disc: it is not used for this one.
        const QString question = QStringLiteral("「") + qs(spec.buttonCaption).simplified() +
                                 QStringLiteral("」畫面正開著另一片光碟：") + discText(screen->disc()) +
                                 QStringLiteral("。\n\n要關閉它，改在 ") + discText(disc) +
                                 QStringLiteral(" 開啟這一筆嗎？");
        if (!replace || !replace(question))
            return ShownOnScreen::Declined;
        QPointer<QueryScreenWindow> old = screen;
        screen->close();
        if (old && old->isVisible())
            return ShownOnScreen::Declined;
        screen = nullptr;
    }
    if (!screen) {
        // The data set's own menu button opens it, with the menu's checks and messages.
        auto *button = menu.findChild<QPushButton *>(
            QString::fromLatin1(spec.button.data(), static_cast<qsizetype>(spec.button.size())));
        if (!button || !button->isEnabled())
            return ShownOnScreen::NotOpened;
        const auto connection =
            QObject::connect(&menu, &MainMenuWindow::screenOpened, &menu,
                             [&](QWidget *opened) { screen = qobject_cast<QueryScreenWindow *>(opened); });
        button->click();
        QObject::disconnect(connection);
        fresh = true;
    }
    if (!screen)
        return ShownOnScreen::NotOpened;
    screen->raise();
    screen->activateWindow();
    if (!sameDisc(screen->disc(), disc))
        return ShownOnScreen::MenuOnOtherDisc;  // the disc changed under the folder meanwhile
    return screen->showFound(keyKind, typed, recordNo, fresh) == LookupOutcome::Shown
               ? ShownOnScreen::Shown
               : ShownOnScreen::NotFound;
}

}  // namespace regdisc
