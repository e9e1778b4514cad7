#include "views/compare_window.h"

#include "output/output_file.h"

#include "views/disc_identity.h"

#include "views/tool_messages.h"

#include "printing/document_renderer.h"
#include "views/background_work.h"
#include "views/compare_charts.h"
#include "views/file_dialogs.h"
#include "views/holder_window.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_text.h"
#include "views/report_tables.h"
#include "views/screen_look.h"
#include "views/stats_print.h"
#include "views/window_placement.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
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

QLabel *notesLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QChartView *chartView(const char *name, QWidget *parent)
{
    auto *view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(view->fontMetrics().height() * 22, view->fontMetrics().height() * 14);
    return view;
}

const StatsTable *tableNamed(const StatsReport &report, const std::string &name)
{
    for (const StatsTable &t : report.tables)
        if (t.name == name)
            return &t;
    return nullptr;
}

// The columns of the lists that hold a disc's own figures.
constexpr int kOlderColumns[] = {3, 4};
constexpr int kNewerColumns[] = {5, 6};

}  // namespace

CompareWindow::CompareWindow(MainMenuWindow &menu)
    : ToolWindow(menu, "frm_compare", QStringLiteral("異動比較"))
{
    auto *layout = new QVBoxLayout(this);

    // The two discs: the older one picked, the newer one the main menu's unless picked.
    auto *discs = new QGridLayout;
    const auto discRow = [&](int row, const QString &label, const char *box, const char *choose,
                             TextView title) {
        discs->addWidget(new QLabel(label, this), row, 0);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(box));
        discs->addWidget(edit, row, 1);
        auto *pick = button(QStringLiteral("選擇…"), choose, this);
        discs->addWidget(pick, row, 2);
        connect(pick, &QPushButton::clicked, this, [this, edit, title] { chooseFolder(edit, title); });
        return edit;
    };
    older_ = discRow(0, QStringLiteral("舊光碟（前次過戶）"), "tx_old", "cmd_old", u"選擇舊光碟所在資料夾");
    newer_ = discRow(1, QStringLiteral("新光碟（本次過戶）"), "tx_new", "cmd_new", u"選擇新光碟所在資料夾");
    newer_->setText(qs(menu.model().folderText()));
    older_->setPlaceholderText(QStringLiteral("前一次過戶的光碟資料夾"));
    layout->addLayout(discs);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("買超、賣超：前"), this));
    top_ = new QSpinBox(this);
    top_->setObjectName(QStringLiteral("sp_top"));
    top_->setRange(0, 100000);
    top_->setValue(CompareOptions{}.top);
    row->addWidget(top_);
    row->addWidget(new QLabel(QStringLiteral("名；持股比例跨越"), this));
    percent_ = new QDoubleSpinBox(this);
    percent_->setObjectName(QStringLiteral("sp_percent"));
    percent_->setRange(0.01, 100);
    percent_->setDecimals(2);
    percent_->setValue(CompareOptions{}.percentHundredths / 100.0);
    row->addWidget(percent_);
    row->addWidget(new QLabel(QStringLiteral("%"), this));
    showId_ = new QCheckBox(QStringLiteral("顯示完整統一編號"), this);
    showId_->setObjectName(QStringLiteral("chk_show_id"));
    row->addWidget(showId_);
    row->addStretch();
    run_ = button(QStringLiteral("比較"), "cmd_run", this);
    print_ = button(QStringLiteral("列印"), "cmd_print", this);
    pdf_ = button(QStringLiteral("存成 PDF…"), "cmd_pdf", this);
    export_ = button(QStringLiteral("匯出…"), "cmd_export", this);
    for (QPushButton *b : {run_, print_, pdf_, export_})
        row->addWidget(b);
    row->addWidget(closeButton());
    layout->addLayout(row);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    summary_ = notesLabel("lab_summary", this);
    layout->addWidget(summary_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tab_compare"));
    // 異動概況: the movement (its six rows whole) and its charts below, scrolled where the
    // screen is too low for them (1366×768), so that the window itself always fits.
    {
        auto *scroll = new QScrollArea(tabs_);
        scroll->setObjectName(QStringLiteral("scroll_movement"));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto *page = new QWidget(scroll);
        scroll->setWidget(page);
        auto *pageLayout = new QVBoxLayout(page);
        movement_ = newReportTable("tbl_movement", page);
        movement_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        movement_->setFixedHeight(movement_->verticalHeader()->defaultSectionSize() * 7 +
                                  movement_->horizontalHeader()->sizeHint().height() +
                                  2 * movement_->frameWidth());
        pageLayout->addWidget(movement_);
        notes_[0] = notesLabel("lab_movement_notes", page);
        pageLayout->addWidget(notes_[0]);
        auto *chartLayout = new QHBoxLayout;
        charts_[0] = chartView("chart_movement_holders", page);
        charts_[1] = chartView("chart_movement_shares", page);
        chartLayout->addWidget(charts_[0]);
        chartLayout->addWidget(charts_[1]);
        pageLayout->addLayout(chartLayout, 1);
        tabs_->addTab(scroll, QStringLiteral("異動概況"));
    }
    // 買超、賣超 and the holders that crossed the percentage.
    const char *listNames[] = {"tbl_buyers", "tbl_sellers", "tbl_crossings"};
    const char *titleNames[] = {"lab_buyers_title", "lab_sellers_title", "lab_crossings_title"};
    for (int page = 0; page < 2; ++page) {
        auto *widget = new QWidget(tabs_);
        auto *pageLayout = new QVBoxLayout(widget);
        for (int list = page == 0 ? 0 : 2; list <= (page == 0 ? 1 : 2); ++list) {
            listTitles_[list] = new QLabel(widget);
            listTitles_[list]->setObjectName(QString::fromLatin1(titleNames[list]));
            QFont bold = listTitles_[list]->font();
            bold.setBold(true);
            listTitles_[list]->setFont(bold);
            pageLayout->addWidget(listTitles_[list]);
            lists_[list] = newReportTable(listNames[list], widget);
            lists_[list]->setToolTip(QStringLiteral("雙擊一位股東：在該欄的光碟上以全冊查詢查這位股東"));
            pageLayout->addWidget(lists_[list], 1);
            connect(lists_[list], &QTableWidget::cellDoubleClicked, this,
                    [this, list](int r, int c) { openHolder(list, r, c); });
        }
        notes_[1 + page] = notesLabel(page == 0 ? "lab_lists_notes" : "lab_crossings_notes", widget);
        pageLayout->addWidget(notes_[1 + page]);
        tabs_->addTab(widget, page == 0 ? QStringLiteral("買超、賣超") : QStringLiteral("跨越門檻"));
    }
    // The distribution with its paired bars, and the structure.
    {
        auto *page = new QSplitter(Qt::Vertical, tabs_);
        auto *top = new QWidget(page);
        auto *topLayout = new QVBoxLayout(top);
        topLayout->setContentsMargins(0, 0, 0, 0);
        levels_ = newReportTable("tbl_distribution", top);
        topLayout->addWidget(levels_, 1);
        notes_[3] = notesLabel("lab_distribution_notes", top);
        topLayout->addWidget(notes_[3]);
        auto *charts = new QWidget(page);
        auto *chartLayout = new QHBoxLayout(charts);
        chartLayout->setContentsMargins(0, 0, 0, 0);
        charts_[2] = chartView("chart_levels_holders", charts);
        charts_[3] = chartView("chart_levels_percent", charts);
        chartLayout->addWidget(charts_[2]);
        chartLayout->addWidget(charts_[3]);
        tabs_->addTab(page, QStringLiteral("股權分散表"));
    }
    {
        auto *page = new QWidget(tabs_);
        auto *pageLayout = new QVBoxLayout(page);
        structure_ = newReportTable("tbl_structure", page);
        pageLayout->addWidget(structure_, 1);
        notes_[4] = notesLabel("lab_structure_notes", page);
        pageLayout->addWidget(notes_[4]);
        tabs_->addTab(page, QStringLiteral("股東結構"));
    }
    breakdowns_ = new BreakdownTab(tabs_);
    tabs_->addTab(breakdowns_, QStringLiteral("縣市、年齡、國籍"));
    tabs_->setMinimumSize(fontMetrics().height() * 60, fontMetrics().height() * 18);
    layout->addWidget(tabs_, 1);
    status_ = notesLabel("lab_status", this);
    status_->setText(QStringLiteral("選擇前一次過戶的光碟（舊光碟），按「比較」。"));
    layout->addWidget(status_);

    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(false);
    useProgressBar(bar_);
    askExportFile = [this] {
        return chooseFileToSave(this, QStringLiteral("匯出異動比較"), {}, QStringLiteral("異動比較.xlsx"),
                                QStringLiteral("Excel 活頁簿 (*.xlsx);;CSV (*.csv)"));
    };
    connect(run_, &QPushButton::clicked, this, &CompareWindow::run);
    connect(print_, &QPushButton::clicked, this, [this] { print(false); });
    connect(pdf_, &QPushButton::clicked, this, [this] { print(true); });
    connect(export_, &QPushButton::clicked, this, &CompareWindow::exportTables);
    connect(showId_, &QCheckBox::toggled, this, [this] {
        if (hasComparison_)
            showReport();
    });
}

void CompareWindow::chooseFolder(QLineEdit *box, TextView title)
{
    const Text folder = menu_.services().chooser.choose(title);
    if (folder.empty()) {
        status_->setText(QStringLiteral("未選擇資料夾。"));
        return;
    }
    box->setText(qs(folder));
}

void CompareWindow::run()
{
    if (work().running())
        return;
    if (older_->text().isEmpty() || newer_->text().isEmpty()) {
        status_->setText(older_->text().isEmpty() ? QStringLiteral("請選擇舊光碟（前次過戶）的資料夾。")
                                                  : QStringLiteral("請選擇新光碟（本次過戶）的資料夾。"));
        emit done();
        return;
    }
    CompareOptions options;
    options.top = top_->value();
    options.percentHundredths = static_cast<int>(std::lround(percent_->value() * 100));
    auto older = std::make_shared<Disc>(tx(older_->text()));
    auto newer = std::make_shared<Disc>(tx(newer_->text()));
    auto comparison = std::make_shared<RegisterComparison>();
    auto error = std::make_shared<QString>();
    run_->setEnabled(false);
    status_->setText(QStringLiteral("比較中…"));
    work().start(
        QStringLiteral("異動比較"),
        [older, newer, options, comparison, error](SharedProgress &progress) {
            for (const auto &[disc, which] :
                 {std::pair{older.get(), "舊光碟："}, std::pair{newer.get(), "新光碟："}})
                if (!disc->open()) {
                    *error = QString::fromUtf8(which) + qs(disc->error());
                    return;
                }
            *comparison = compareRegisters(*older, *newer, options, progress);
            if (!comparison->refusal.empty())
                *error = qs(comparison->refusal);
        },
        [this, newer, comparison, error](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            const QString failure = outcome.cancelled          ? QStringLiteral("已取消。")
                                    : !outcome.error.isEmpty() ? outcome.error
                                                               : *error;
            status_->setText(failure);
            if (failure.isEmpty()) {
                comparison_ = std::move(*comparison);
                hasComparison_ = true;
                setResultDisc(discIdentity(newer->folderText(), newer->info()));
                showReport();
                status_->setText(
                    QStringLiteral("雙擊買超、賣超或跨越門檻的一位股東，在該欄的光碟上以全冊查詢查他。"));
            } else if (hasComparison_) {
                status_->setText(failure + QStringLiteral("下方仍是上次的比較。"));
            }
            emit done();
        });
}

void CompareWindow::showReport()
{
    report_ = compareReport(comparison_, showId_->isChecked());
    QStringList lines{qs(report_.title)};
    for (const Text &line : report_.summary)
        lines << qs(line);
    summary_->setText(lines.join('\n'));
    const auto show = [&](QTableWidget *table, QLabel *notes, const char *name) {
        if (const StatsTable *t = tableNamed(report_, name))
            showReportTable(table, notes, *t);
    };
    show(movement_, notes_[0], "movement");
    show(lists_[0], nullptr, "buyers");
    show(lists_[1], notes_[1], "sellers");
    show(lists_[2], notes_[2], "crossings");
    show(levels_, notes_[3], "distribution");
    show(structure_, notes_[4], "structure");
    // The buyers' rules and the sellers' stand under both lists.
    if (const StatsTable *buyers = tableNamed(report_, "buyers")) {
        QStringList rules{QStringLiteral("註：") + qs(buyers->notes.front())};
        rules << notes_[1]->text();
        notes_[1]->setText(rules.join('\n'));
    }
    const char *lists[] = {"buyers", "sellers", "crossings"};
    for (int i = 0; i < 3; ++i)
        if (const StatsTable *t = tableNamed(report_, lists[i]))
            listTitles_[i]->setText(qs(t->title));
    breakdowns_->show(report_);
    for (int c = 0; c < 4; ++c)
        setChart(charts_[c], c);
    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(true);
}

void CompareWindow::setChart(QChartView *view, int which)
{
    QChart *old = view->chart();
    view->setChart(createCompareChart(static_cast<CompareChart>(which), comparison_, screenFontFamily()));
    delete old;
}

void CompareWindow::openHolder(int list, int row, int column)
{
    if (!hasComparison_ || list < 0 || list > 2)
        return;
    const std::vector<HolderChange> &holders = list == 0   ? comparison_.buyers
                                               : list == 1 ? comparison_.sellers
                                                           : comparison_.crossings;
    if (row < 0 || row >= static_cast<int>(holders.size()))
        return;
    const HolderChange &h = holders[static_cast<size_t>(row)];
    const auto in = [&](const int(&columns)[2]) { return column == columns[0] || column == columns[1]; };
    const bool older = in(kOlderColumns) || (!in(kNewerColumns) && !h.onNewer);
    const Text folder = older ? comparison_.olderFolder : comparison_.newerFolder;
    const bool byAccount = h.byAccount || h.id.empty();
    if (!holder_) {
        holder_ = new HolderWindow(menu_);
        holder_->setAttribute(Qt::WA_DeleteOnClose);
        sizeAndCentre(holder_);
    }
    holder_->show();
    holder_->raise();
    holder_->activateWindow();
    holder_->lookUp(folder, byAccount ? KeyClass::Account : KeyClass::Id, byAccount ? h.account : h.id, true);
    status_->setText(QStringLiteral("全冊查詢：") +
                     (older ? QStringLiteral("舊光碟 ") : QStringLiteral("新光碟 ")) + qs(folder) +
                     QStringLiteral(" 的 ") + qs(h.name) + QStringLiteral("（") +
                     qs(shownId(h, showId_->isChecked())) + QStringLiteral("）。"));
}

void CompareWindow::print(bool toPdf)
{
    if (!hasComparison_)
        return;
    const StatsReport report = report_;
    const RegisterComparison comparison = comparison_;
    // The movement's charts under the movement, the levels' under the distribution.
    const auto chartsUnder = [report](size_t table) -> std::vector<CompareChart> {
        if (report.tables[table].name == "movement")
            return {CompareChart::MovementHolders, CompareChart::MovementShares};
        if (report.tables[table].name == "distribution")
            return {CompareChart::LevelHolders, CompareChart::LevelPercent};
        return {};
    };
    const QString family = printFontFamily(QStringLiteral("細明體"));
    menu_.services().printer.printPages(
        [&](QPagedPaintDevice &device) {
            return paintReport(report,
                               {[&](size_t table) { return static_cast<int>(chartsUnder(table).size()); },
                                [&](size_t table, int k, QSize logical, qreal scale) {
                                    return compareChartImage(chartsUnder(table)[static_cast<size_t>(k)],
                                                             comparison, family, logical, scale);
                                }},
                               device);
        },
        QStringLiteral("異動比較"), this, toPdf);
}

void CompareWindow::exportTables()
{
    if (!hasComparison_)
        return;
    QString file;
    {
        const FocusReturn back(this);
        file = askExportFile ? askExportFile() : QString();
    }
    if (file.isEmpty())
        return;
    const QByteArray utf8 = file.toUtf8();
    const std::filesystem::path out(std::u8string(utf8.begin(), utf8.end()));
    const std::optional<OutputFormat> format = outputFormatOf(out);
    if (format != OutputFormat::Csv && format != OutputFormat::Xlsx) {
        status_->setText(QStringLiteral("請以 .xlsx 或 .csv 為檔名。"));
        return;
    }
    if (const QString obstacle = outputObstacle(file); !obstacle.isEmpty()) {
        status_->setText(QStringLiteral("無法匯出：") + obstacle);
        return;
    }
    try {
        // The file was chosen in the save dialog, which asked before one that is there is
        // replaced; it must not lie on either disc.
        OutputOptions output;
        output.replace = true;
        output.inputs = discFolders(tx(older_->text()));
        for (const std::filesystem::path &folder : discFolders(tx(newer_->text())))
            output.inputs.push_back(folder);
        auto writer = format == OutputFormat::Csv ? createCsvWriter(out, compareTableNames(), output)
                                                  : createXlsxWriter(out, output);
        writeStatsReport(report_, *writer);
        QStringList files;
        for (const auto &f : writer->files())
            files << QDir::toNativeSeparators(QString::fromStdU16String(f.u16string()));
        status_->setText(QStringLiteral("已匯出：") + files.join(QStringLiteral("、")));
    } catch (const std::exception &e) {
        status_->setText(outputFailure(file, QString::fromUtf8(e.what())));
    }
}

}  // namespace regdisc
