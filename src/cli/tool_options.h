// What the whole-disc commands (holder, batch, export, check) share: the disc opened as
// the main menu opens it, register lists, and JSON of a register.
#pragma once

#include "cli/command_io.h"
#include "disc/opened_disc.h"
#include "output/output_file.h"

#include <QJsonObject>
#include <QStringList>

#include <filesystem>
#include <vector>

class QCommandLineParser;

namespace regdisc::cli {

// The folder check and the disc-information read; false after writing the menu's
// message to standard error.
bool openDisc(Disc &disc);

// Data-set extensions ("psm,pla" or several arguments); false with a usage error text
// when one is unknown. An empty list selects every register.
bool parseRegisters(const QStringList &exts, std::vector<const DataSetSpec *> &dataSets, QString &error);

// {"register": "psm", "name": "證券所有人名冊", "state": "present"} and the message, if any.
QJsonObject registerJson(const DataSetSpec &spec, RegisterState state, TextView message);

// A file-system path from an argument.
std::filesystem::path pathArgument(const QString &text);

// --force, which every command that writes a file takes.
void addForceOption(QCommandLineParser &parser);

// What a command's output must respect: --force; the disc's folders and `inputs` (a list)
// are inputs; `progress` hears the writer's last phase.
OutputOptions outputOptions(const QCommandLineParser &parser, const Disc &disc, Progress *progress,
                            std::vector<std::filesystem::path> inputs = {});

// The output's error on standard error ("regdisc-cli: 無法寫入 …：…"), with the way to
// replace a file that is there; returns kSetupError.
int outputFailure(const OutputError &error);

// --percent of stats and compare: a percentage above 0 and at most 100 with at most two
// decimals, in hundredths; false when the text is none.
bool parsePercent(const QString &text, int &hundredths);

}  // namespace regdisc::cli
