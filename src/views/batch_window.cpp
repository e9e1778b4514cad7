#include "views/batch_window.h"

#include "views/main_menu_window.h"
#include "views/tool_work.h"
#include "views/view_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
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

BatchWindow::BatchWindow(MainMenuWindow &menu) : QWidget(&menu, Qt::Window), menu_(menu)
{
    setObjectName(QStringLiteral("frm_batch"));
    setWindowTitle(QStringLiteral("批次查詢"));
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
    bar_->setValue(0);
    runRow->addWidget(bar_, 1);
    run_ = new QPushButton(QStringLiteral("執行"), this);
    run_->setObjectName(QStringLiteral("cmd_run"));
    runRow->addWidget(run_);
    layout->addLayout(runRow);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lab_status"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    layout->addStretch();

    work_ = new BackgroundWork(this, bar_);
    connect(browseList, &QPushButton::clicked, this, &BatchWindow::chooseList);
    connect(browseOut, &QPushButton::clicked, this, &BatchWindow::chooseOutput);
    connect(run_, &QPushButton::clicked, this, &BatchWindow::run);
}

void BatchWindow::chooseList()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("選擇名單檔"), list_->text(),
                                                      QStringLiteral("名單 (*.txt *.csv);;所有檔案 (*)"));
    if (!file.isEmpty())
        list_->setText(file);
}

void BatchWindow::chooseOutput()
{
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("結果存成"), out_->text(),
                                     QStringLiteral("CSV (*.csv);;Excel 活頁簿 (*.xlsx);;SQLite (*.sqlite)"));
    if (!file.isEmpty()) {
        out_->setText(file);
        replaceConsent_ = file;  // the dialog asked before a file that is there is replaced
    }
}

void BatchWindow::run()
{
    if (work_->running())
        return;
    const std::filesystem::path out = pathOf(out_->text());
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (list_->text().isEmpty() || !format) {
        status_->setText(QStringLiteral("請選擇名單檔，並以 .csv、.xlsx 或 .sqlite 為結果檔名。"));
        return;
    }
    // The result file must not be the list or lie on the disc, and replaces a file only
    // where the save dialog asked.
    OutputOptions output;
    output.replace = out_->text() == replaceConsent_;
    output.inputs = discFolders(menu_.model().folderText());
    output.inputs.push_back(pathOf(list_->text()));
    try {
        checkOutputTarget(out, output);
    } catch (const OutputError &e) {
        status_->setText(QString::fromUtf8(e.what()) +
                         (e.kind == OutputError::Kind::Exists
                              ? QStringLiteral("（要取代它，請按「選擇…」選它）")
                              : QString()));
        return;
    }
    Text error;
    auto inputs =
        readInputList(pathOf(list_->text()), ListOptions{column_->text().toStdString(), false}, error);
    if (!inputs) {
        status_->setText(qs(error));
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
    status_->setText(QStringLiteral("查詢中…"));
    work_->start(
        QStringLiteral("批次查詢"),
        [disc, values, options, out, format, output, summary, setupError](Progress &progress) {
            if (!disc->open()) {
                *setupError = qs(disc->error());
                return;
            }
            OutputOptions rules = output;
            rules.progress = &progress;
            auto writer = createTableWriter(*format, out, {"batch"}, rules);
            *summary = runBatch(*disc, *values, options, *writer, progress);
        },
        [this, summary, setupError, out](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            summary_ = *summary;
            if (outcome.cancelled)
                status_->setText(QStringLiteral("已取消；沒有寫出結果檔。"));
            else if (!outcome.error.isEmpty())
                status_->setText(outcome.error);
            else if (!setupError->isEmpty())
                status_->setText(*setupError);
            else {
                QString text = QStringLiteral("共 %1 筆輸入，%2 筆查到，%3 筆查無資料，寫出 %4 列到 %5")
                                   .arg(summary_.inputs)
                                   .arg(summary_.found)
                                   .arg(summary_.inputs - summary_.found - summary_.unknown)
                                   .arg(summary_.rows)
                                   .arg(QString::fromStdString(out.string()));
                // A register that could not be read is named: its rows say 無法讀取, not 查無資料.
                for (const RegisterMatches &r : summary_.registers)
                    if (r.state == RegisterState::Unreadable)
                        text += QStringLiteral("\n") + qs(fromAscii(r.spec->ext)) + QStringLiteral(" ") +
                                qs(registerName(*r.spec)) + QStringLiteral("：無法讀取：") + qs(r.message);
                status_->setText(text);
            }
            emit done();
        });
}

}  // namespace regdisc
