// screenshot_tour OUTDIR FOLDER: the desktop application as the clerk starts it on
// FOLDER, taken on a tour for the pictures of the documentation and of layout reviews:
// it opens every screen from the main menu, runs a query on each query screen, saves a
// picture of every window as OUTDIR/<screen>.png and ends (status 0 when every picture
// was saved). A message box on the way (a folder that is not a disc, a data set missing)
// is written to standard error, closed, and fails the tour instead of waiting for a click.
// scripts/screenshots.sh runs it under Xvfb.
#include "datasets/catalogue.h"
#include "views/desktop_session.h"
#include "views/qt_text.h"
#include "views/query_screen_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace regdisc;

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

bool messageShown = false;

// Closes a message box that waits for the clerk, and remembers that one was shown.
void closeMessageBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
        return;
    std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
    messageShown = true;
    box->done(QMessageBox::Ok);
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
    QCoreApplication::exit(ok && !messageShown ? 0 : 1);
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpDesktopApplication(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: screenshot_tour OUTDIR FOLDER\n");
        return 2;
    }
    DesktopSession session(tx(QDir::toNativeSeparators(args.at(2))));
    session.show();
    const QString folder = args.at(1);
    QTimer messageBoxes;
    QObject::connect(&messageBoxes, &QTimer::timeout, &closeMessageBoxes);
    messageBoxes.start(100);
    QTimer::singleShot(0, &session.menu(), [&] { tour(session.menu(), folder); });
    return app.exec();
}
