#include "app/screenshot_tour.h"

#include "datasets/catalogue.h"
#include "views/main_menu_window.h"
#include "views/query_screen_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace regdisc {

namespace {

void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 150)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget *window, const QString &folder)
{
    const QString path = QDir(folder).filePath(window->objectName() + QStringLiteral(".png"));
    const bool saved = window->grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

void tour(MainMenuWindow &menu, const QString &folder)
{
    QDir().mkpath(folder);
    settle();
    bool ok = save(&menu, folder);
    for (const auto &[left, right] : mainMenu().rows) {
        for (const std::string_view name : {left, right}) {
            auto *button = menu.findChild<QPushButton *>(QString::fromLatin1(name.data(), name.size()));
            if (!button || name == "cmd_6" || name == "lab_01")
                continue;
            QWidget *opened = nullptr;
            const auto connection = QObject::connect(&menu, &MainMenuWindow::screenOpened,
                                                     [&](QWidget *screen) { opened = screen; });
            button->click();
            QObject::disconnect(connection);
            if (!opened) {
                ok = false;
                continue;
            }
            settle();
            // A query screen shows the first record of its initial key.
            if (qobject_cast<QueryScreenWindow *>(opened)) {
                opened->findChild<QPushButton *>(QStringLiteral("cmd_1"))->click();
                settle();
            }
            ok = save(opened, folder) && ok;
            opened->close();
        }
    }
    QCoreApplication::exit(ok ? 0 : 1);
}

}  // namespace

void scheduleScreenshotTour(MainMenuWindow &menu, const QString &folder)
{
    QTimer::singleShot(0, &menu, [&menu, folder] { tour(menu, folder); });
}

}  // namespace regdisc
