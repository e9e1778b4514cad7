// regdisc-cli run as a child process, the way scripts run it: exit status, standard
// output and standard error. The program is REGDISC_CLI, defined by the test's target.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace regdisc::test {

struct CliRun {
    int status = -1;  // -1 when the program crashed or did not end in time
    QByteArray bytes;  // standard output as written
    QString out;  // the same as UTF-8
    QString err;

    QStringList lines() const { return out.split('\n', Qt::SkipEmptyParts); }
    QJsonObject json(int line = 0) const;
};

// Waits for a started process (two minutes at most) and collects what it wrote.
CliRun finish(QProcess &process);

CliRun cli(const QStringList &args);

}  // namespace regdisc::test
