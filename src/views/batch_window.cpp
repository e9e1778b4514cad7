#include "views/batch_window.h"

#include "views/background_work.h"
#include "views/file_dialogs.h"
#include "views/main_menu_window.h"
#include "views/qt_text.h"
#include "views/tool_messages.h"
#include "views/window_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace regdisc {

namespace {

QWidget *fileRow(QLineEdit *edit, QPushButton *browse, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    return row;
}

std::filesystem::path pathOf(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

BatchWindow::BatchWindow(MainMenuWindow &menu) : ToolWindow(menu, "frm_batch", QStringLiteral("批次查詢"))
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;

    list_ = new QLineEdit(this);
    list_->setObjectName(QStringLiteral("tx_list"));
    list_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 48);
    auto *browseList = new QPushButton(QStringLiteral("選擇…"), this);
    browseList->setObjectName(QStringLiteral("cmd_list"));
    form->addRow(QStringLiteral("名單檔 (.txt 每行一筆，或 .csv)"), fileRow(list_, browseList, this));

    column_ = new QLineEdit(this);
    column_->setObjectName(QStringLiteral("tx_column"));
    column_->setPlaceholderText(QStringLiteral("CSV 的欄名；空白表示第一欄"));
    form->addRow(QStringLiteral("CSV 欄位"), column_);

    auto *keyRow = new QWidget(this);
    auto *keyLayout = new QHBoxLayout(keyRow);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    key_ = new QComboBox(keyRow);
    key_->setObjectName(QStringLiteral("comb_key"));
    for (KeyClass k : {KeyClass::Id, KeyClass::Account, KeyClass::Name})
        key_->addItem(QStringLiteral("依 ") + qs(keyClassLabel(k)), static_cast<int>(k));
    keyLayout->addWidget(key_);
    prefix_ = new QCheckBox(QStringLiteral("開頭相符即可"), keyRow);
    prefix_->setObjectName(QStringLiteral("chk_prefix"));
    keyLayout->addWidget(prefix_);
    keyLayout->addStretch();
    form->addRow(QStringLiteral("查詢條件"), keyRow);

    out_ = new QLineEdit(this);
    out_->setObjectName(QStringLiteral("tx_out"));
    auto *browseOut = new QPushButton(QStringLiteral("選擇…"), this);
    browseOut->setObjectName(QStringLiteral("cmd_out"));
    form->addRow(QStringLiteral("結果檔 (.csv、.xlsx、.sqlite)"), fileRow(out_, browseOut, this));
    layout->addLayout(form);

    auto *runRow = new QHBoxLayout;
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    runRow->addWidget(bar_, 1);
    run_ = new QPushButton(QStringLiteral("執行"), this);
    run_->setObjectName(QStringLiteral("cmd_run"));
    runRow->addWidget(run_);
    layout->addLayout(runRow);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lab_status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);
    layout->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(closeButton());
    layout->addLayout(bottom);

    useProgressBar(bar_);
    askListFile = [this] {
        return chooseFileToOpen(this, QStringLiteral("選擇名單檔"), list_->text(),
                                QStringLiteral("名單 (*.txt *.csv);;所有檔案 (*)"));
    };
    askOutputFile = [this] {
        return chooseFileToSave(this, QStringLiteral("結果存成"), out_->text(),
                                QStringLiteral("批次查詢結果.xlsx"),
                                QStringLiteral("Excel 活頁簿 (*.xlsx);;CSV (*.csv);;SQLite (*.sqlite)"));
    };
    connect(browseList, &QPushButton::clicked, this, &BatchWindow::chooseList);
    connect(browseOut, &QPushButton::clicked, this, &BatchWindow::chooseOutput);
    connect(run_, &QPushButton::clicked, this, &BatchWindow::run);
}

void BatchWindow::chooseList()
{
    const FocusReturn back(this);
    const QString file = askListFile ? askListFile() : QString();
    if (!file.isEmpty())
        list_->setText(QDir::toNativeSeparators(file));
}

void BatchWindow::chooseOutput()
{
    const FocusReturn back(this);
    const QString file = askOutputFile ? askOutputFile() : QString();
    if (!file.isEmpty()) {
        out_->setText(QDir::toNativeSeparators(file));
        replaceConsent_ = out_->text();  // the dialog asked before a file that is there is replaced
    }
}

void BatchWindow::setStatus(const QString &text)
{
    status_->setText(text);
}

void BatchWindow::run()
{
    if (work().running())
        return;
    // A new run: nothing of the last one stays.
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    setStatus({});
    const QString outText = out_->text().trimmed();
    const std::filesystem::path out = pathOf(outText);
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (list_->text().trimmed().isEmpty()) {
        setStatus(QStringLiteral("請選擇名單檔。"));
        return;
    }
    if (outText.isEmpty() || !format) {
        setStatus(QStringLiteral("請以 .csv、.xlsx 或 .sqlite 為結果檔名。"));
        return;
    }
    const QString listText = list_->text().trimmed();
    if (const QString obstacle = outputObstacle(outText); !obstacle.isEmpty()) {
        setStatus(QStringLiteral("無法寫入結果檔：") + obstacle);
        return;
    }
    // The result file must not be the list or lie on the disc, and replaces a file only
    // where the save dialog asked.
    OutputOptions output;
    output.replace = out_->text() == replaceConsent_;
    output.inputs = discFolders(menu_.model().folderText());
    output.inputs.push_back(pathOf(listText));
    try {
        checkOutputTarget(out, output);
    } catch (const OutputError &e) {
        setStatus(QString::fromUtf8(e.what()) + (e.kind == OutputError::Kind::Exists
                                                     ? QStringLiteral("（要取代它，請按「選擇…」選它）")
                                                     : QString()));
        return;
    }
    Text error;
    auto inputs =
        readInputList(pathOf(listText), ListOptions{column_->text().trimmed().toStdString(), false}, error);
    if (!inputs) {
        setStatus(qs(error));
        return;
    }
    BatchOptions options;
    options.keyClass = static_cast<KeyClass>(key_->currentData().toInt());
    options.prefix = prefix_->isChecked();
    auto disc = std::make_shared<Disc>(menu_.model().folderText());
    auto summary = std::make_shared<BatchSummary>();
    auto setupError = std::make_shared<QString>();
    auto values = std::make_shared<std::vector<Text>>(std::move(*inputs));
    run_->setEnabled(false);
    setStatus(QStringLiteral("查詢中…"));
    // The lookups are counted; writing the file (an XLSX file's compression, a SQLite
    // file's indexes) comes after them.
    WorkPlan plan;
    plan.steps = static_cast<std::int64_t>(values->size());
    plan.countedShare = *format == OutputFormat::Csv ? 1.0 : 0.85;
    plan.afterStage = QStringLiteral("寫入檔案…");
    work().start(
        QStringLiteral("批次查詢"),
        [disc, values, options, out, format, output, summary, setupError](SharedProgress &progress) {
            if (!disc->open()) {
                *setupError = qs(disc->error());
                return;
            }
            OutputOptions rules = output;
            rules.progress = &progress;
            auto writer = createTableWriter(*format, out, {"batch"}, rules);
            *summary = runBatch(*disc, *values, options, *writer, progress);
        },
        [this, disc, summary, setupError, outText](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            summary_ = *summary;
            if (outcome.cancelled) {
                setStatus(QStringLiteral("已取消；沒有寫出結果檔。"));
            } else if (!outcome.error.isEmpty()) {
                setStatus(outputFailure(outText, outcome.error));
            } else if (!setupError->isEmpty()) {
                setStatus(*setupError);
            } else {
                setResultDisc(discIdentity(disc->folderText(), disc->info()));
                QString text =
                    (outcome.cancelRequested ? QStringLiteral("按下「取消」時結果檔已經寫完。") : QString()) +
                    QStringLiteral("共 %1 筆輸入，%2 筆查到，%3 筆查無資料，寫出 %4 列到 %5")
                        .arg(groupedNumber(summary_.inputs), groupedNumber(summary_.found),
                             groupedNumber(summary_.inputs - summary_.found - summary_.unknown),
                             groupedNumber(summary_.rows), QDir::toNativeSeparators(outText));
                // A register that could not be read is named: its rows say 無法讀取, not 查無資料.
                for (const RegisterMatches &r : summary_.registers)
                    if (r.state == RegisterState::Unreadable)
                        text += QStringLiteral("\n") + qs(fromAscii(r.spec->ext)) + QStringLiteral(" ") +
                                qs(registerName(*r.spec)) + QStringLiteral("：無法讀取：") + qs(r.message);
                setStatus(text);
            }
            emit done();
        },
        plan);
}

}  // namespace regdisc
