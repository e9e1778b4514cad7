#include "cli/cli_support.h"

#include "screens/main_menu_model.h"

#include <QByteArray>
#include <QJsonDocument>

#include <cstdio>

namespace regdisc::cli {

QString qs(TextView text)
{
    return QString::fromStdU16String(Text(text));
}

Text tx(const QString &s)
{
    return s.toStdU16String();
}

void printLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

void printJsonLine(const QJsonObject &object)
{
    const QString json = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    QString line;
    line.reserve(json.size());
    for (const QChar c : json) {
        if (c.unicode() >= 0x7F && c.unicode() <= 0x9F)
            line += QString("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            line += c;
    }
    printLine(line);
}

void printTextLine(TextView line)
{
    printLine(qs(escapeControls(line)));
}

void StderrMessages::show(const Message &message)
{
    const QByteArray utf8 = qs(message.text).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "regdisc-cli: %s\n", text.toUtf8().constData());
    return kSetupError;
}

bool openFolder(MainMenuModel &menu)
{
    return menu.checkDataFolder(menu.folderText()) && !menu.readFailed();
}

}  // namespace regdisc::cli
