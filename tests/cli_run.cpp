#include "cli_run.h"

#include <QJsonDocument>

namespace regdisc::test {

QJsonObject CliRun::json(int line) const
{
    return QJsonDocument::fromJson(lines().at(line).toUtf8()).object();
}

CliRun finish(QProcess &process)
{
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished(5000);
    CliRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.bytes = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.bytes);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

CliRun cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(REGDISC_CLI), args);
    return finish(process);
}

}  // namespace regdisc::test
