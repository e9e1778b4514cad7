#include "views/printer.h"

#include "printing/document_renderer.h"
#include "views/file_dialogs.h"
#include "views/window_placement.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>

namespace regdisc {

bool QtPrintDialogs::offerPdf(QWidget *parent)
{
    const FocusReturn back(parent);
    QMessageBox box(parent);
    box.setWindowTitle(applicationTitle());
    box.setIcon(QMessageBox::Question);
    box.setText(QStringLiteral("這部電腦沒有安裝印表機。"));
    box.setInformativeText(QStringLiteral("要將列印內容另存成 PDF 檔嗎？"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    makeRoomForTitle(box);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrintDialogs::pdfFileName(QWidget *parent, const QString &suggestion)
{
    const FocusReturn back(parent);
    const QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("另存成 PDF 檔"), suggestion,
                                                      QStringLiteral("PDF 檔 (*.pdf)"));
    rememberFileFolder(file);
    return file;
}

void QtPrintDialogs::showFailure(QWidget *parent, const QString &text)
{
    const FocusReturn back(parent);
    QMessageBox box(parent);
    box.setWindowTitle(applicationTitle());
    box.setIcon(QMessageBox::Warning);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    makeRoomForTitle(box);
    box.exec();
}

QPrinterInfo systemDefaultPrinter()
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        return {};
    return QPrinterInfo::defaultPrinter();
}

void QtPrinter::print(const PrintedDocument &doc, const QString &jobName, QWidget *parent)
{
    printPages([&](QPagedPaintDevice &device) { return renderDocument(doc, device); }, jobName, parent,
               false);
}

void QtPrinter::printPages(const PaintPages &paint, const QString &jobName, QWidget *parent, bool toPdf)
{
    const QPrinterInfo info = toPdf ? QPrinterInfo() : defaultPrinter_();
    if (info.isNull()) {
        if (!toPdf && !dialogs_.offerPdf(parent))
            return;
        // The dialog opens where a file was last saved (the home folder at first).
        const QString path =
            dialogs_.pdfFileName(parent, QDir(lastFileFolder()).filePath(jobName + QStringLiteral(".pdf")));
        if (path.isEmpty())
            return;
        if (!paintToPdf(paint, path, jobName))
            dialogs_.showFailure(parent,
                                 QStringLiteral("無法寫入 PDF 檔：") + QDir::toNativeSeparators(path));
        return;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    if (!paint(printer))
        dialogs_.showFailure(parent, QStringLiteral("無法列印到印表機：") + info.printerName());
}

}  // namespace regdisc
