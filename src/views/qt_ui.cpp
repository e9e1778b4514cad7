#include "views/qt_ui.h"

#include "views/qt_text.h"
#include "views/window_placement.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace regdisc {

void QtMessageSink::show(const Message &message)
{
    const FocusReturn back(QApplication::activeWindow());
    QMessageBox box(QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(qs(message.text));
    box.setStandardButtons(QMessageBox::Ok);
    if (message.kind == MessageKind::FolderWarning) {
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("警告訊息"));
    } else {
        box.setIcon(QMessageBox::NoIcon);
        box.setWindowTitle(applicationTitle());
    }
    makeRoomForTitle(box);
    box.exec();
}

Text QtFolderChooser::choose(TextView title)
{
    const QString shownTitle = title.empty() ? QStringLiteral("選擇目錄") : qs(title);
    QString start;
    if (startFolder_) {
        const QString named = qs(startFolder_()).trimmed();
        if (!named.isEmpty() && QFileInfo(named).isDir())
            start = QFileInfo(named).absoluteFilePath();
    }
    const QString folder =
        QFileDialog::getExistingDirectory(owner_, shownTitle, start, QFileDialog::ShowDirsOnly);
    return tx(QDir::toNativeSeparators(folder));
}

}  // namespace regdisc
