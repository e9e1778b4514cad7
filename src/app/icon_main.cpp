// regdisc-icon OUTDIR NAME: paints the application's icon into the layout of a desktop icon
// theme, OUTDIR/<size>x<size>/apps/NAME.png for every size the application's own icon has.
// A build tool: the pictures are the emblem the windows show, painted by the same code.
#include "views/screen_look.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    // No display is needed to paint a picture.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: regdisc-icon OUTDIR NAME\n");
        return 2;
    }
    for (const int size : regdisc::kApplicationIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(size);
        const QString file = folder + '/' + args.at(2) + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !regdisc::emblemPicture(size, 1).save(file, "PNG")) {
            std::fprintf(stderr, "regdisc-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
