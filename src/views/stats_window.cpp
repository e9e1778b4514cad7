#include "views/stats_window.h"

#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/report_tables.h"
#include "views/stats_charts.h"
#include "views/stats_print.h"
#include "views/tool_work.h"
#include "views/view_support.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace regdisc {

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

StatsWindow::StatsWindow(MainMenuWindow &menu) : QWidget(&menu, Qt::Window), menu_(menu)
{
    setObjectName(QStringLiteral("frm_stats"));
    setWindowTitle(QStringLiteral("股權統計"));
    auto *layout = new QVBoxLayout(this);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("主要股東：持股前"), this));
    top_ = new QSpinBox(this);
    top_->setObjectName(QStringLiteral("sp_top"));
    top_->setRange(0, 100000);
    top_->setValue(options_.top);
    row->addWidget(top_);
    row->addWidget(new QLabel(QStringLiteral("名，及持股比例達"), this));
    percent_ = new QDoubleSpinBox(this);
    percent_->setObjectName(QStringLiteral("sp_percent"));
    percent_->setRange(0.01, 100);
    percent_->setDecimals(2);
    percent_->setValue(options_.percentHundredths / 100.0);
    row->addWidget(percent_);
    row->addWidget(new QLabel(QStringLiteral("% 以上者"), this));
    showId_ = new QCheckBox(QStringLiteral("顯示完整統一編號"), this);
    showId_->setObjectName(QStringLiteral("chk_show_id"));
    row->addWidget(showId_);
    row->addStretch();
    run_ = button(QStringLiteral("統計"), "cmd_run", this);
    print_ = button(QStringLiteral("列印"), "cmd_print", this);
    pdf_ = button(QStringLiteral("存成 PDF…"), "cmd_pdf", this);
    export_ = button(QStringLiteral("匯出…"), "cmd_export", this);
    for (QPushButton *b : {run_, print_, pdf_, export_})
        row->addWidget(b);
    layout->addLayout(row);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lab_summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tab_stats"));
    const char *tableNames[] = {"tbl_distribution", "tbl_structure", "tbl_principal"};
    const char *noteNames[] = {"lab_distribution_notes", "lab_structure_notes", "lab_principal_notes"};
    const char *chartNames[] = {"chart_holders", "chart_shares", "chart_structure"};
    const QString titles[] = {QStringLiteral("股權分散表"), QStringLiteral("股東結構"),
                              QStringLiteral("主要股東")};
    for (int i = 0; i < 3; ++i) {
        auto *page = new QWidget(tabs_);
        auto *pageLayout = new QVBoxLayout(page);
        auto *splitter = new QSplitter(Qt::Vertical, page);
        auto *top = new QWidget(splitter);
        auto *topLayout = new QVBoxLayout(top);
        topLayout->setContentsMargins(0, 0, 0, 0);
        tables_[i] = new QTableWidget(top);
        tables_[i]->setObjectName(QString::fromLatin1(tableNames[i]));
        tables_[i]->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tables_[i]->verticalHeader()->hide();
        tables_[i]->setAlternatingRowColors(true);
        topLayout->addWidget(tables_[i], 1);
        notes_[i] = new QLabel(top);
        notes_[i]->setObjectName(QString::fromLatin1(noteNames[i]));
        notes_[i]->setWordWrap(true);
        notes_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        topLayout->addWidget(notes_[i]);
        splitter->addWidget(top);
        // The charts: holders and shares per level under the distribution, the structure's
        // under the structure.
        if (i < 2) {
            auto *chartRow = new QWidget(splitter);
            auto *chartLayout = new QHBoxLayout(chartRow);
            chartLayout->setContentsMargins(0, 0, 0, 0);
            for (int c = i == 0 ? 0 : 2; c <= (i == 0 ? 1 : 2); ++c) {
                charts_[c] = new QChartView(chartRow);
                charts_[c]->setObjectName(QString::fromLatin1(chartNames[c]));
                charts_[c]->setRenderHint(QPainter::Antialiasing);
                charts_[c]->setMinimumSize(fontMetrics().height() * 22, fontMetrics().height() * 14);
                chartLayout->addWidget(charts_[c]);
            }
            splitter->addWidget(chartRow);
        }
        pageLayout->addWidget(splitter);
        tabs_->addTab(page, titles[i]);
    }
    breakdowns_ = new BreakdownTab(tabs_);
    tabs_->addTab(breakdowns_, QStringLiteral("縣市、年齡、國籍"));
    tabs_->setMinimumSize(fontMetrics().height() * 60, fontMetrics().height() * 34);
    layout->addWidget(tabs_, 1);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lab_status"));
    status_->setWordWrap(true);
    layout->addWidget(status_);

    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(false);
    work_ = new BackgroundWork(this, bar_);
    askExportFile = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("匯出統計表"),
                                            QDir::home().filePath(QStringLiteral("股權統計.xlsx")),
                                            QStringLiteral("Excel 活頁簿 (*.xlsx);;CSV (*.csv)"));
    };
    connect(run_, &QPushButton::clicked, this, &StatsWindow::run);
    connect(print_, &QPushButton::clicked, this, [this] { print(false); });
    connect(pdf_, &QPushButton::clicked, this, [this] { print(true); });
    connect(export_, &QPushButton::clicked, this, &StatsWindow::exportTables);
    connect(showId_, &QCheckBox::toggled, this, [this] {
        if (hasStats_)
            showReport();
    });
}

void StatsWindow::run()
{
    if (work_->running())
        return;
    StatsOptions options;
    options.top = top_->value();
    options.percentHundredths = static_cast<int>(std::lround(percent_->value() * 100));
    auto disc = std::make_shared<Disc>(menu_.model().folderText());
    auto stats = std::make_shared<HolderStats>();
    auto error = std::make_shared<QString>();
    run_->setEnabled(false);
    status_->setText(QStringLiteral("統計中…"));
    work_->start(
        QStringLiteral("股權統計"),
        [disc, options, stats, error](Progress &progress) {
            if (!disc->open()) {
                *error = qs(disc->error());
                return;
            }
            *stats = computeHolderStats(*disc, options, progress);
            if (stats->state != RegisterState::Present)
                *error = QStringLiteral("證券所有人名冊：") + qs(stateText(stats->state));
        },
        [this, disc, options, stats, error](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            const QString failure = outcome.cancelled          ? QStringLiteral("已取消。")
                                    : !outcome.error.isEmpty() ? outcome.error
                                                               : *error;
            status_->setText(failure);
            if (failure.isEmpty()) {
                stats_ = *stats;
                options_ = options;
                info_ = disc->info();
                hasStats_ = true;
                showReport();
            } else if (hasStats_) {
                status_->setText(failure + QStringLiteral("下方仍是上次的統計。"));
            }
            emit done();
        });
}

void StatsWindow::showReport()
{
    report_ = statsReport(stats_, info_, options_, showId_->isChecked());
    QStringList lines{qs(report_.title)};
    for (const Text &line : report_.summary)
        lines << qs(line);
    summary_->setText(lines.join('\n'));
    for (size_t i = 0; i < 3 && i < report_.tables.size(); ++i)
        showTable(tables_[i], notes_[i], report_.tables[i]);
    for (int c = 0; c < 3; ++c)
        setChart(charts_[c], c);
    breakdowns_->show(report_);
    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(true);
}

void StatsWindow::showTable(QTableWidget *table, QLabel *notes, const StatsTable &t)
{
    table->clear();
    table->setColumnCount(static_cast<int>(t.columns.size()));
    table->setRowCount(static_cast<int>(t.rows.size()));
    QStringList heading;
    for (const TableColumn &c : t.columns)
        heading << qs(c.label);
    table->setHorizontalHeaderLabels(heading);
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto &row = t.rows[static_cast<size_t>(r)];
        for (int c = 0; c < table->columnCount() && c < static_cast<int>(row.size()); ++c) {
            auto *item = new QTableWidgetItem(qs(row[static_cast<size_t>(c)].text));
            if (t.columns[static_cast<size_t>(c)].type == CellType::Number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    QStringList lines;
    for (const Text &note : t.notes)
        lines << QStringLiteral("註：") + qs(note);
    notes->setText(lines.join('\n'));
}

void StatsWindow::setChart(QChartView *view, int which)
{
    if (!view)
        return;
    QChart *old = view->chart();
    view->setChart(createStatsChart(static_cast<StatsChart>(which), stats_, screenFontFamily()));
    delete old;
}

void StatsWindow::print(bool toPdf)
{
    if (!hasStats_)
        return;
    const StatsReport report = report_;
    const HolderStats stats = stats_;
    menu_.services().printer.printPages(
        [&](QPagedPaintDevice &device) { return paintStatsReport(report, stats, device); },
        QStringLiteral("股權統計"), this, toPdf);
}

void StatsWindow::exportTables()
{
    if (!hasStats_)
        return;
    const QString file = askExportFile ? askExportFile() : QString();
    if (file.isEmpty())
        return;
    const QByteArray utf8 = file.toUtf8();
    const std::filesystem::path out(std::u8string(utf8.begin(), utf8.end()));
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (format != OutputFormat::Csv && format != OutputFormat::Xlsx) {
        status_->setText(QStringLiteral("請以 .xlsx 或 .csv 為檔名。"));
        return;
    }
    try {
        // The file was chosen in the save dialog, which asked before one that is there is
        // replaced; it must not lie on the disc.
        OutputOptions output;
        output.replace = true;
        output.inputs = discFolders(menu_.model().folderText());
        auto writer = format == OutputFormat::Csv ? createCsvWriter(out, statsTableNames(), output)
                                                  : createXlsxWriter(out, output);
        writeStatsReport(report_, *writer);
        QStringList files;
        for (const auto &f : writer->files())
            files << QDir::toNativeSeparators(QString::fromStdU16String(f.u16string()));
        status_->setText(QStringLiteral("已匯出：") + files.join(QStringLiteral("、")));
    } catch (const OutputError &e) {
        status_->setText(QString::fromUtf8(e.what()));
    }
}

}  // namespace regdisc
