#include "views/file_dialogs.h"

#include <QHBoxLayout>

#include "datasets/catalogue.h"
#include "printing/document_renderer.h"
#include "screens/printout.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>
#include <QSpacerItem>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>

#include "views/window_placement.h"

namespace regdisc {

namespace {

QString &fileFolder()
{
    static QString folder;
    return folder;
}

}  // namespace

QString lastFileFolder()
{
    return fileFolder().isEmpty() ? QDir::homePath() : fileFolder();
}

void rememberFileFolder(const QString &file)
{
    if (!file.isEmpty())
        fileFolder() = QFileInfo(file).absolutePath();
}

QString fileDialogStart(const QString &current, const QString &name)
{
    if (!current.isEmpty()) {
        const QFileInfo file(current);
        if (file.absoluteDir().exists())
            return file.absoluteFilePath();
    }
    return QDir(lastFileFolder()).filePath(name);
}

QString chooseFileToOpen(QWidget *owner, const QString &title, const QString &current, const QString &filter)
{
    const FocusReturn back(owner);
    const QString file = QFileDialog::getOpenFileName(owner, title, fileDialogStart(current, {}), filter);
    rememberFileFolder(file);
    return file;
}

QString chooseFileToSave(QWidget *owner, const QString &title, const QString &current, const QString &name,
                         const QString &filter)
{
    const FocusReturn back(owner);
    const QString file = QFileDialog::getSaveFileName(owner, title, fileDialogStart(current, name), filter);
    rememberFileFolder(file);
    return file;
}

}  // namespace regdisc
