// The windows' file dialogs: where they open and the folder they remember.
#pragma once

#include <QString>

class QWidget;

namespace regdisc {

// The file dialogs of the windows open in the folder a file was last chosen in (the home
// folder at first) and give the keyboard back to the window when they close. `current` is
// the file the window names now, if any; `name` the file name suggested for a new file.
QString chooseFileToOpen(QWidget *owner, const QString &title, const QString &current, const QString &filter);
QString chooseFileToSave(QWidget *owner, const QString &title, const QString &current, const QString &name,
                         const QString &filter);
// Where a file dialog opens for `current` (when its folder exists) or `name`.
QString fileDialogStart(const QString &current, const QString &name);
// The folder the file dialogs open in next.
QString lastFileFolder();
void rememberFileFolder(const QString &file);

}  // namespace regdisc
