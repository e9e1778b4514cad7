// The commands of regdisc-cli, one file each; commands.cpp lists them.
#pragma once

#include "cli/command_io.h"

#include <span>

namespace regdisc::cli {

int runInfo(const QStringList &args);
int runQuery(const QStringList &args);
int runListing(const QStringList &args);
int runSample(const QStringList &args);
int runHolder(const QStringList &args);
int runBatch(const QStringList &args);
int runExport(const QStringList &args);
int runCheck(const QStringList &args);
int runStats(const QStringList &args);
int runCompare(const QStringList &args);

// Every command, in the order the usage lists them.
std::span<const Command> commands();
const Command *findCommand(const QString &name);

}  // namespace regdisc::cli
