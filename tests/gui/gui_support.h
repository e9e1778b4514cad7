// What the window tests share: sample discs written by the project's own writer, the
// scripted dialogs (nothing modal is left open), finding controls by their names, and
// reading a PDF back with pdftotext.
#pragma once

#include "datasets/catalogue.h"
#include "platform/ui.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_text.h"
#include "views/screen_look.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace regdisc {
class CompareWindow;
}

namespace regdisc::guitest {

// Records every message instead of showing it.
class RecordedMessages : public MessageSink {
public:
    void show(const Message &message) override { shown.push_back(message); }
    QStringList texts() const;
    void clear() { shown.clear(); }
    std::vector<Message> shown;
};

// Gives the next answer it was told to give.
class ScriptedChooser : public FolderChooser {
public:
    Text choose(TextView title) override
    {
        titles.push_back(qs(title));
        return nextAnswer;
    }
    Text nextAnswer;
    QStringList titles;
};

// Records the paths it is asked to open and answers with a set result code.
class RecordedOpener : public DocumentOpener {
public:
    int open(TextView path) override
    {
        paths.push_back(qs(path));
        return result;
    }
    int result = 42;
    QStringList paths;
};

// Answers the no-printer question and the file name as told.
class ScriptedPrintDialogs : public PrintDialogs {
public:
    bool offerPdf(QWidget *) override
    {
        ++offers;
        return saveAsPdf;
    }
    QString pdfFileName(QWidget *, const QString &suggestion) override
    {
        suggestions.push_back(suggestion);
        return fileName;
    }
    void showFailure(QWidget *, const QString &text) override { failures.push_back(text); }
    bool saveAsPdf = true;
    QString fileName;
    int offers = 0;
    QStringList suggestions;
    QStringList failures;
};

// The scripted dialogs and devices, and a printer that finds no printer installed.
struct ScriptedDesktop {
    RecordedMessages messages;
    ScriptedChooser chooser;
    RecordedOpener opener;
    ScriptedPrintDialogs printDialogs;
    QtPrinter printer{printDialogs, [] { return QPrinterInfo(); }};
    DesktopServices services() { return {messages, chooser, opener, printer}; }
};

// The application as the tests run it: the name, the screen font, no quitting on the
// last window.
void setUpApplication();

// A sample disc (all fourteen data sets and both listings) under a new temporary folder.
class SampleDisc {
public:
    explicit SampleDisc(int records = 300);
    QString folder() const { return dir_.path(); }
    Text folderText() const { return tx(dir_.path()); }
    QString path(const QString &relative) const { return dir_.filePath(relative); }

private:
    QTemporaryDir dir_;
};

// The main menu on a folder, shown, with its scripted desktop.
struct Menu {
    explicit Menu(const QString &folder);
    ~Menu();
    ScriptedDesktop desktop;
    std::unique_ptr<MainMenuWindow> window;

    QPushButton *button(const char *name) const;
    QLineEdit *folderBox() const;
    QString productionDate() const;
    // Presses a menu button; the screen it opened, or nothing.
    QWidget *open(const char *button);
};

// Chooses an item of the main menu's 工具 menu by its object name; the window of that name
// it showed, or nothing.
QWidget *chooseTool(Menu &menu, const char *action, const char *window);

// 異動比較 chosen from the main menu (the newer disc's), `older` named as the older disc and
// 執行 pressed; the window once the comparison has ended, or nothing when it did not open
// or did not end within ten seconds.
CompareWindow *runComparison(Menu &menu, const QString &older);

template <typename T> T *child(const QWidget *parent, const char *name)
{
    return parent ? parent->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

// A top-level window by its name, if one is shown.
QWidget *shownWindow(const QString &name);

// The exact caption of a control (its caption property where the text is wrapped).
QString captionOf(const QWidget *control);

void click(QWidget *button);

// Types text the way a clerk does: ASCII from the keyboard, Chinese as the input method
// commits it.
void typeText(QWidget *box, const QString &text);

// The text of a PDF file, laid out (pdftotext -layout) and normalised, so that a
// character the PDF names by a radical or a compatibility form reads as the character
// itself.
QString pdfText(const QString &path);
int pdfPages(const QString &path);

// The words of a PDF file with their place on the page, in points (pdftotext -bbox).
struct PdfWord {
    QString text;
    double x = 0;  // left edge from the page's left edge
    double y = 0;  // top edge from the page's top edge
};
std::vector<PdfWord> pdfWords(const QString &path);
QString nfkc(const QString &text);

}  // namespace regdisc::guitest
