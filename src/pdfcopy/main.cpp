// regdisc-pdfcopy FOLDER [MAX_RECORDS]: writes the PDF copies of the disc under FOLDER.
// `regdisc-cli sample` runs it after writing the disc; it is a program of its own so that
// the command-line tool itself needs Qt Core only and starts in a few milliseconds.
#include "pdfcopy/pdf_copies.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <exception>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // The PDF engine grows and shrinks large buffers page after page: keep freed memory
    // instead of giving it back to the system and faulting it in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
#endif
    // Fonts need a GUI application; without a platform of the user's choice it needs no
    // display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = args.size() == 2 || args.size() == 3;
    const int maxRecords = args.size() == 3 ? args.at(2).toInt(&ok) : 300;
    if (!ok || maxRecords < 1) {
        std::fprintf(stderr, "usage: regdisc-pdfcopy FOLDER [MAX_RECORDS]\n");
        return 2;
    }
    try {
        const QByteArray folder = args.at(1).toUtf8();
        regdisc::writePdfCopies(std::filesystem::path(std::u8string(folder.begin(), folder.end())),
                                maxRecords);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "regdisc-pdfcopy: %s\n", error.what());
        return 2;
    }
    return 0;
}
