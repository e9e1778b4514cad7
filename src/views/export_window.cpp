#include "views/export_window.h"

#include "datasets/catalogue.h"
#include "views/background_work.h"
#include "views/file_dialogs.h"
#include "views/main_menu_window.h"
#include "views/qt_text.h"
#include "views/tool_messages.h"
#include "views/window_placement.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <system_error>

namespace regdisc {

ExportWindow::ExportWindow(MainMenuWindow &menu) : ToolWindow(menu, "frm_export", QStringLiteral("匯出"))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("匯出的名冊："), this));
    registers_ = new QListWidget(this);
    registers_->setObjectName(QStringLiteral("list_registers"));
    for (const DataSetSpec *spec : allDataSets()) {
        auto *item = new QListWidgetItem(
            QString::fromLatin1(spec->ext.data(), 3) + "  " + qs(registerName(*spec)), registers_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, QString::fromLatin1(spec->ext.data(), 3));
    }
    registers_->setMinimumSize(fontMetrics().height() * 28, fontMetrics().height() * 16);
    layout->addWidget(registers_, 1);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("存成 (.csv、.xlsx、.sqlite)"), this));
    out_ = new QLineEdit(this);
    out_->setObjectName(QStringLiteral("tx_out"));
    row->addWidget(out_, 1);
    auto *browse = new QPushButton(QStringLiteral("選擇…"), this);
    browse->setObjectName(QStringLiteral("cmd_out"));
    row->addWidget(browse);
    layout->addLayout(row);

    auto *runRow = new QHBoxLayout;
    runRow->addStretch();
    run_ = new QPushButton(QStringLiteral("匯出"), this);
    run_->setObjectName(QStringLiteral("cmd_run"));
    runRow->addWidget(run_);
    layout->addLayout(runRow);
    // The summary of the last export: records per register, characters that did not decode.
    status_ = new QPlainTextEdit(this);
    status_->setObjectName(QStringLiteral("tx_summary"));
    status_->setReadOnly(true);
    status_->setFixedHeight(fontMetrics().height() * 7);
    layout->addWidget(status_);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(closeButton());
    layout->addLayout(bottom);

    askOutputFile = [this] {
        return chooseFileToSave(this, QStringLiteral("匯出為"), out_->text(), QStringLiteral("匯出.xlsx"),
                                QStringLiteral("Excel 活頁簿 (*.xlsx);;CSV (*.csv);;SQLite (*.sqlite)"));
    };
    connect(browse, &QPushButton::clicked, this, &ExportWindow::chooseOutput);
    connect(run_, &QPushButton::clicked, this, &ExportWindow::run);
}

void ExportWindow::chooseOutput()
{
    const FocusReturn back(this);
    const QString file = askOutputFile ? askOutputFile() : QString();
    if (!file.isEmpty()) {
        out_->setText(QDir::toNativeSeparators(file));
        replaceConsent_ = out_->text();  // the dialog asked before a file that is there is replaced
    }
}

void ExportWindow::run()
{
    if (work().running())
        return;
    status_->clear();  // a new run: nothing of the last one stays
    std::vector<const DataSetSpec *> dataSets;
    for (int i = 0; i < registers_->count(); ++i)
        if (registers_->item(i)->checkState() == Qt::Checked)
            dataSets.push_back(findDataSet(registers_->item(i)->data(Qt::UserRole).toString().toStdString()));
    const QString outText = out_->text().trimmed();
    const QByteArray utf8 = outText.toUtf8();
    const std::filesystem::path out(std::u8string(utf8.begin(), utf8.end()));
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (dataSets.empty()) {
        status_->setPlainText(QStringLiteral("請勾選要匯出的名冊。"));
        return;
    }
    if (outText.isEmpty() || !format) {
        status_->setPlainText(QStringLiteral("請以 .csv、.xlsx 或 .sqlite 為檔名。"));
        return;
    }
    if (const QString obstacle = outputObstacle(outText); !obstacle.isEmpty()) {
        status_->setPlainText(QStringLiteral("無法匯出：") + obstacle);
        return;
    }
    // The files must not lie on the disc, and replace files only where the save dialog
    // asked (for several CSV files: the name chosen stands for them all).
    OutputOptions output;
    output.replace = out_->text() == replaceConsent_;
    output.inputs = discFolders(menu_.model().folderText());
    std::vector<std::string> tables;
    for (const DataSetSpec *spec : dataSets)
        tables.emplace_back(spec->ext);
    try {
        if (tables.size() == 1 || *format != OutputFormat::Csv)
            checkOutputTarget(out, output);
    } catch (const OutputError &e) {
        status_->setPlainText(QString::fromUtf8(e.what()) +
                              (e.kind == OutputError::Kind::Exists
                                   ? QStringLiteral("（要取代它，請按「選擇…」選它）")
                                   : QString()));
        return;
    }
    auto disc = std::make_shared<Disc>(menu_.model().folderText());
    auto summary = std::make_shared<ExportSummary>();
    auto setupError = std::make_shared<QString>();
    run_->setEnabled(false);
    status_->setPlainText(QStringLiteral("匯出中…"));
    // The records of the registers are counted; writing the file comes after them and takes
    // a large part of an XLSX file's time (its compression) and of a SQLite file's (its
    // indexes).
    WorkPlan plan;
    plan.countedShare = *format == OutputFormat::Xlsx ? 0.35 : *format == OutputFormat::Sqlite ? 0.7 : 1.0;
    plan.afterStage = QStringLiteral("寫入檔案…");
    work().start(
        QStringLiteral("匯出"),
        [disc, dataSets, out, format, output, tables, summary, setupError](SharedProgress &progress) {
            if (!disc->open()) {
                *setupError = qs(disc->error());
                return;
            }
            std::int64_t records = 0;
            for (const DataSetSpec *spec : dataSets) {
                std::error_code error;
                const auto bytes = std::filesystem::file_size(disc->dataFilePath(*spec), error);
                if (!error && spec->data.length > 0)
                    records +=
                        static_cast<std::int64_t>(bytes / static_cast<std::uintmax_t>(spec->data.length));
            }
            progress.expect(records);
            OutputOptions rules = output;
            rules.progress = &progress;
            auto writer = createTableWriter(*format, out, tables, rules);
            *summary = exportRegisters(*disc, dataSets, *writer, progress);
        },
        [this, disc, summary, setupError, outText](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            summary_ = *summary;
            QStringList lines;
            if (outcome.cancelled)
                lines << QStringLiteral("已取消；沒有寫出檔案。");
            else if (!outcome.error.isEmpty())
                lines << outputFailure(outText, outcome.error);
            else if (!setupError->isEmpty())
                lines << *setupError;
            else
                setResultDisc(discIdentity(disc->folderText(), disc->info()));
            if (!outcome.cancelled && outcome.cancelRequested && outcome.error.isEmpty() &&
                setupError->isEmpty())
                lines << QStringLiteral("按下「取消」時檔案已經寫完。");
            for (const RegisterExport &r : summary_.registers) {
                QString line =
                    QString::fromLatin1(r.spec->ext.data(), 3) + " " + qs(registerName(*r.spec)) + "：";
                line += r.state == RegisterState::Present
                            ? QStringLiteral("%1 筆").arg(groupedNumber(r.records))
                            : qs(stateText(r.state));
                if (r.undecodable > 0)
                    line += QStringLiteral("，無法解碼的字元 %1 個（以 U+FFFD 表示）")
                                .arg(groupedNumber(r.undecodable));
                lines << line;
            }
            for (const auto &f : summary_.files)
                lines << QStringLiteral("→ ") +
                             QDir::toNativeSeparators(QString::fromStdU16String(f.u16string()));
            status_->setPlainText(lines.join('\n'));
            emit done();
        },
        plan);
}

}  // namespace regdisc
