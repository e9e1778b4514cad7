#include "views/desktop_session.h"

#include "views/screen_look.h"
#include "views/window_placement.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace regdisc {

bool useChineseDialogs(QCoreApplication &app)
{
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    QLocale::setDefault(taiwan);
    auto *translator = new QTranslator(&app);
    // Qt's own folder first, then a translations folder beside the program (a Windows
    // installation carries its own).
    for (const QString &folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  QCoreApplication::applicationDirPath() + QStringLiteral("/translations")})
        if (translator->load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

void setUpDesktopApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("regdisc"));
    // The main menu ends the run itself (結束作業 or its close box).
    QApplication::setQuitOnLastWindowClosed(false);
    useChineseDialogs(app);
    useScreenFont(app);
}

DesktopSession::DesktopSession(const Text &folderText)
    : opener_(&messages_), printer_(printDialogs_),
      menu_({messages_, chooser_, opener_, printer_}, folderText)
{
    chooser_.setOwner(&menu_);
    chooser_.setStartFolder([this] { return menu_.model().folderText(); });
}

void DesktopSession::show()
{
    sizeAndCentre(&menu_);
    menu_.show();
}

}  // namespace regdisc
