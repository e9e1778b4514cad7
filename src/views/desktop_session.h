// The desktop application as the clerk starts it: the application's set-up, and the main
// menu with Qt's message boxes, folder chooser, printer and document opener.
#pragma once

#include "views/desktop_opener.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_ui.h"

class QApplication;
class QCoreApplication;

namespace regdisc {

// Qt's own texts (the buttons of message boxes, the file and folder dialogs) in
// Traditional Chinese, and the Taiwan locale for the dates and sizes they show; false
// when Qt's translations are not installed.
bool useChineseDialogs(QCoreApplication &app);

// The application's name, Chinese dialogs, the screen font, and no end of the run when
// the last window closes: the main menu ends it.
void setUpDesktopApplication(QApplication &app);

// The main menu with the desktop's own dialogs and devices.
class DesktopSession {
public:
    explicit DesktopSession(const Text &folderText = {});

    MainMenuWindow &menu() { return menu_; }
    // Shows the main menu at its size, centred on the screen.
    void show();

private:
    QtMessageSink messages_;
    QtFolderChooser chooser_;
    DesktopDocumentOpener opener_;
    QtPrintDialogs printDialogs_;
    QtPrinter printer_;
    MainMenuWindow menu_;
};

}  // namespace regdisc
