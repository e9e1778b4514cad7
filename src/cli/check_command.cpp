// regdisc-cli check: the disc check, register by register.
#include "cli/cli_progress.h"
#include "cli/commands.h"
#include "cli/tool_options.h"

#include "tools/disc_check.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

namespace regdisc::cli {

namespace {

QString examples(const DefectCount &d)
{
    QStringList numbers;
    for (std::int64_t n : d.first)
        numbers << QString::number(n);
    return numbers.join(", ") + (d.count > static_cast<std::int64_t>(d.first.size()) ? ", …" : "");
}

const char *fileName(CheckedFile file)
{
    switch (file) {
    case CheckedFile::TopIndex:
        return "idxp";
    case CheckedFile::DetailIndex:
        return "idxd";
    case CheckedFile::Data:
        return "data";
    }
    return "";
}

}  // namespace

int runCheck(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("folder", "the disc folder");
    parser.addOption({"json", "one JSON object"});
    if (const std::optional<int> status = parseArguments(parser, args))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return usageOf(args);

    Disc disc(tx(positional.at(1)));
    TerminalProgress progress;
    const DiscCheck check = checkDisc(disc, progress);
    const bool json = parser.isSet("json");
    if (!check.opened && !json) {
        StderrMessages().show({MessageKind::Plain, check.error});
        return check.exitStatus();
    }

    QJsonArray files;
    for (const FileCheck &f : check.files) {
        files.append(QJsonObject{{"file", qs(f.name)}, {"readable", f.readable}});
        if (!json)
            printTextLine(tx(qs(f.name) + ": " + (f.readable ? "可讀取" : "無法讀取")));
    }
    QJsonArray registers;
    for (const RegisterCheck &r : check.registers) {
        QJsonObject o = registerJson(*r.spec, r.state, r.message);
        o.insert("records", static_cast<qint64>(r.records));
        o.insert("entries", static_cast<qint64>(r.entries));
        o.insert("whole", r.whole());
        QJsonArray defects;
        for (const DefectCount &d : r.defects) {
            const DefectInfo &info = defectInfo(d.defect);
            QJsonArray first;
            for (std::int64_t n : d.first)
                first.append(static_cast<qint64>(n));
            QJsonObject defect{{"defect", QString::fromLatin1(info.code)},
                               {"text", qs(info.text)},
                               {"file", QString::fromLatin1(fileName(d.file))},
                               {"count", static_cast<qint64>(d.count)},
                               {"first", first}};
            if (!d.detail.empty())
                defect.insert("detail", qs(d.detail));
            defects.append(defect);
        }
        o.insert("defects", defects);
        registers.append(o);
        if (json)
            continue;
        QString line = QString::fromLatin1(r.spec->ext.data(), 3) + " " + qs(registerName(*r.spec)) + ": ";
        if (r.state == RegisterState::Absent || r.state == RegisterState::NoData) {
            printTextLine(tx(line + qs(stateText(r.state))));
            continue;
        }
        if (r.state == RegisterState::Unreadable) {
            printTextLine(tx(line + qs(r.message)));
            continue;
        }
        line += QString("%1 筆，%2 ").arg(r.records).arg(r.whole() ? "完整" : "有瑕疵");
        printLine(line.trimmed());
        for (const DefectCount &d : r.defects) {
            const DefectInfo &info = defectInfo(d.defect);
            QString defectLine = QString("  %1 (%2): %3 處，%4 第 %5 筆")
                                     .arg(qs(info.text), QString::fromLatin1(info.code))
                                     .arg(d.count)
                                     .arg(QString::fromLatin1(fileName(d.file)), examples(d));
            if (!d.detail.empty())
                defectLine += "；" + qs(d.detail);
            printTextLine(tx(defectLine));
        }
    }
    const int status = check.exitStatus();
    if (json) {
        QJsonObject o{{"readable", check.opened},
                      {"files", files},
                      {"registers", registers},
                      {"verdict", status == 0   ? "whole"
                                  : status == 1 ? "defects"
                                                : "unreadable"}};
        if (!check.opened)
            o.insert("message", qs(check.error));
        printLine(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
    } else {
        printLine(status == 0 ? "結果：光碟完整" : "結果：發現瑕疵");
    }
    return status;
}

}  // namespace regdisc::cli
