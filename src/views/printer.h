// The printer layer: prints a printed document on the default printer, or, where no
// printer is installed, offers to save it as a PDF file.
#pragma once

#include "printing/document_renderer.h"
#include "screens/printout.h"

#include <QPrinterInfo>
#include <QString>

#include <functional>

class QWidget;

namespace regdisc {

class Printer {
public:
    virtual ~Printer() = default;
    // One print document per call; `jobName` names it in the printer queue.
    virtual void print(const PrintedDocument &doc, const QString &jobName, QWidget *parent) = 0;
    // Pages painted by `paint`, as one print document; with `toPdf` into a PDF file the
    // user names instead of on the printer.
    virtual void printPages(const PaintPages &paint, const QString &jobName, QWidget *parent, bool toPdf) = 0;
};

// What the printer layer asks of the user when no printer is installed.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    // Tells the user that there is no printer and asks whether to save a PDF file.
    virtual bool offerPdf(QWidget *parent) = 0;
    // The PDF file to write; empty when the user cancels.
    virtual QString pdfFileName(QWidget *parent, const QString &suggestion) = 0;
    virtual void showFailure(QWidget *parent, const QString &text) = 0;
};

class QtPrintDialogs : public PrintDialogs {
public:
    bool offerPdf(QWidget *parent) override;
    QString pdfFileName(QWidget *parent, const QString &suggestion) override;
    void showFailure(QWidget *parent, const QString &text) override;
};

// The system's default printer; a null printer when none is installed.
QPrinterInfo systemDefaultPrinter();

class QtPrinter : public Printer {
public:
    explicit QtPrinter(PrintDialogs &dialogs,
                       std::function<QPrinterInfo()> defaultPrinter = systemDefaultPrinter)
        : dialogs_(dialogs), defaultPrinter_(std::move(defaultPrinter))
    {
    }
    void print(const PrintedDocument &doc, const QString &jobName, QWidget *parent) override;
    void printPages(const PaintPages &paint, const QString &jobName, QWidget *parent, bool toPdf) override;

private:
    PrintDialogs &dialogs_;
    std::function<QPrinterInfo()> defaultPrinter_;
};

}  // namespace regdisc
