#include "views/stats_window.h"

#include "views/background_work.h"
#include "views/file_dialogs.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_text.h"
#include "views/report_tables.h"
#include "views/screen_look.h"
#include "views/stats_charts.h"
#include "views/stats_print.h"
#include "views/tool_messages.h"
#include "views/window_placement.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <memory>
#include <numeric>

namespace regdisc {

// A table of the report: every column at least as wide as its heading and values, the
// room left shared out among them in proportion; as tall as all its rows where `allRows`.
class StatsTableView : public QTableWidget {
public:
    StatsTableView(bool allRows, QWidget *parent) : QTableWidget(parent), allRows_(allRows)
    {
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        horizontalHeader()->setStretchLastSection(false);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(allRows ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
        setAlternatingRowColors(true);
        setSizePolicy(allRows ? QSizePolicy::Preferred : QSizePolicy::Expanding,
                      allRows ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    }

    // The columns' widths for the values now in the table.
    void measure()
    {
        widths_.assign(static_cast<size_t>(columnCount()), 0);
        const int padding = fontMetrics().horizontalAdvance(QStringLiteral("證"));
        for (int c = 0; c < columnCount(); ++c) {
            int width = horizontalHeader()->sectionSizeHint(c);
            if (const QTableWidgetItem *head = horizontalHeaderItem(c))
                width = std::max(width, horizontalHeader()->fontMetrics().horizontalAdvance(head->text()) +
                                            2 * padding);
            for (int r = 0; r < rowCount(); ++r)
                if (const QTableWidgetItem *cell = item(r, c))
                    width = std::max(width, fontMetrics().horizontalAdvance(cell->text()) + padding);
            widths_[static_cast<size_t>(c)] = width;
        }
        updateGeometry();
        fit();
    }

    QSize sizeHint() const override { return {contentWidth(), allRows_ ? rowsHeight() : rowsHeight(12)}; }
    QSize minimumSizeHint() const override
    {
        return {contentWidth(), allRows_ ? rowsHeight() : rowsHeight(6)};
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTableWidget::resizeEvent(event);
        fit();
    }

private:
    int contentWidth() const
    {
        return std::accumulate(widths_.begin(), widths_.end(), 0) + 2 * frameWidth() +
               (allRows_ ? 0 : style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    }
    int rowsHeight(int rows = -1) const
    {
        const int shown = rows < 0 ? rowCount() : std::min(rows, std::max(rowCount(), 1));
        return horizontalHeader()->sizeHint().height() + shown * verticalHeader()->defaultSectionSize() +
               2 * frameWidth() + 1;
    }
    // The viewport's width shared out: each column its own width and its part of the rest.
    void fit()
    {
        const int total = std::accumulate(widths_.begin(), widths_.end(), 0);
        if (total <= 0)
            return;
        const int room = viewport()->width();
        const int extra = std::max(0, room - total);
        int given = 0;
        for (int c = 0; c < columnCount(); ++c) {
            const int own = widths_[static_cast<size_t>(c)];
            int width = own + extra * own / total;
            if (c == columnCount() - 1 && extra > 0)
                width = std::max(own, room - given);
            horizontalHeader()->resizeSection(c, width);
            given += width;
        }
    }

    bool allRows_;
    std::vector<int> widths_;
};

// A table with its charts: beside it where the page is wide enough for both, below it
// otherwise; the charts of a page beside each other under the table, above each other
// beside it. The room is the width its scroll area shows, not the page's own width, which
// follows what it holds.
class TableAndCharts : public QWidget {
public:
    TableAndCharts(QWidget *table, const std::vector<QWidget *> &charts, QWidget *parent)
        : QWidget(parent), table_(table), charts_(charts)
    {
        layout_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
        layout_->setContentsMargins(0, 0, 0, 0);
        if (charts.empty())
            layout_->addWidget(table, 1);
        else
            layout_->addWidget(table, 0, Qt::AlignTop);
        if (charts.empty())
            return;
        chartsLayout_ = new QBoxLayout(QBoxLayout::TopToBottom);
        for (QWidget *chart : charts)
            chartsLayout_->addWidget(chart, 1);
        layout_->addLayout(chartsLayout_, 1);
    }

    // The width the table and its charts need side by side.
    int besideWidth() const
    {
        if (charts_.empty())
            return table_->minimumSizeHint().width();
        const int chartWidth =
            charts_.front()->minimumSize().expandedTo(charts_.front()->minimumSizeHint()).width();
        return table_->minimumSizeHint().width() + layout_->spacing() + chartWidth;
    }

    void fitWidth(int width)
    {
        if (charts_.empty())
            return;
        const bool beside = width >= besideWidth();
        const auto direction = beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (layout_->direction() == direction)
            return;
        layout_->setDirection(direction);
        chartsLayout_->setDirection(beside ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    }

private:
    QWidget *table_;
    std::vector<QWidget *> charts_;
    QBoxLayout *layout_ = nullptr;
    QBoxLayout *chartsLayout_ = nullptr;
};

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

StatsWindow::StatsWindow(MainMenuWindow &menu) : ToolWindow(menu, "frm_stats", QStringLiteral("股權統計"))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(fontMetrics().height() / 3);
    layout->addLayout(buildOptionsRow());
    buildProgressAndSummary(layout);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tab_stats"));
    addTablePage(kDistributionPage, QStringLiteral("股權分散表"), "tbl_distribution",
                 "lab_distribution_notes",
                 {{kHoldersChart, "chart_holders"}, {kSharesChart, "chart_shares"}});
    addTablePage(kStructurePage, QStringLiteral("股東結構"), "tbl_structure", "lab_structure_notes",
                 {{kStructureChart, "chart_structure"}});
    addTablePage(kPrincipalPage, QStringLiteral("主要股東"), "tbl_principal", "lab_principal_notes", {});
    breakdowns_ = new BreakdownTab(tabs_);
    tabs_->addTab(breakdowns_, QStringLiteral("縣市、年齡、國籍"));
    layout->addWidget(tabs_, 1);
    layout->addLayout(buildStatusRow());
    connectActions();
}

// 主要股東：持股前 N 名，及持股比例達 P% 以上者, 顯示完整統一編號, and the buttons.
QHBoxLayout *StatsWindow::buildOptionsRow()
{
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
    return row;
}

void StatsWindow::buildProgressAndSummary(QVBoxLayout *layout)
{
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_progress"));
    bar_->setTextVisible(false);
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    bar_->setMaximumHeight(fontMetrics().height() / 2);
    layout->addWidget(bar_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lab_summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
}

// A tab with a table, its charts beside or below it and its notes; the page scrolls only
// where the display is smaller than the window needs.
void StatsWindow::addTablePage(int page, const QString &title, const char *tableName, const char *notesName,
                               std::initializer_list<std::pair<int, const char *>> charts)
{
    const int line = fontMetrics().height();
    auto *scroll = new QScrollArea(tabs_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget(scroll);
    auto *pageLayout = new QVBoxLayout(content);
    pageLayout->setContentsMargins(line / 3, line / 3, line / 3, line / 3);
    pageLayout->setSpacing(line / 3);
    // The distribution and the structure show every row; the principal holders scroll.
    tables_[page] = new StatsTableView(page != kPrincipalPage, content);
    tables_[page]->setObjectName(QString::fromLatin1(tableName));
    std::vector<QWidget *> views;
    for (const auto &[chart, name] : charts) {
        charts_[chart] = new QChartView(content);
        charts_[chart]->setObjectName(QString::fromLatin1(name));
        charts_[chart]->setRenderHint(QPainter::Antialiasing);
        charts_[chart]->setMinimumSize(line * 18, line * 10);
        views.push_back(charts_[chart]);
    }
    pages_[page] = new TableAndCharts(tables_[page], views, content);
    pageLayout->addWidget(pages_[page], 1);
    scrolls_[page] = scroll;
    scroll->installEventFilter(this);
    notes_[page] = new QLabel(content);
    notes_[page]->setObjectName(QString::fromLatin1(notesName));
    notes_[page]->setWordWrap(true);
    notes_[page]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pageLayout->addWidget(notes_[page]);
    scroll->setWidget(content);
    tabs_->addTab(scroll, title);
}

QHBoxLayout *StatsWindow::buildStatusRow()
{
    auto *bottom = new QHBoxLayout;
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lab_status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bottom->addWidget(status_, 1);
    bottom->addWidget(closeButton());
    return bottom;
}

void StatsWindow::connectActions()
{
    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(false);
    useProgressBar(bar_);
    askExportFile = [this] {
        return chooseFileToSave(this, QStringLiteral("匯出統計表"), {}, QStringLiteral("股權統計.xlsx"),
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
    // Enter in either number recounts with it.
    for (QWidget *box : {static_cast<QWidget *>(top_), static_cast<QWidget *>(percent_)})
        box->installEventFilter(this);
}

bool StatsWindow::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 3; ++i)
        if (watched == scrolls_[i] && event->type() == QEvent::Resize)
            fitPage(i, static_cast<QResizeEvent *>(event)->size().width());
    if ((watched == top_ || watched == percent_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The typed number is taken as the box would take it on leaving.
            static_cast<QAbstractSpinBox *>(watched)->interpretText();
            run();
            return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}

void StatsWindow::run()
{
    if (work().running())
        return;
    StatsOptions options;
    options.top = top_->value();
    options.percentHundredths = static_cast<int>(std::lround(percent_->value() * 100));
    auto disc = std::make_shared<Disc>(menu_.model().folderText());
    auto stats = std::make_shared<HolderStats>();
    auto error = std::make_shared<QString>();
    run_->setEnabled(false);
    status_->setText(QStringLiteral("統計中…"));
    work().start(
        QStringLiteral("股權統計"),
        [disc, options, stats, error](SharedProgress &progress) {
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
            const QString failure = outcome.cancelled ? QStringLiteral("已取消。")
                                    : !outcome.error.isEmpty()
                                        ? toolError(outcome.error, QStringLiteral("股權統計"))
                                        : *error;
            status_->setText(failure);
            if (failure.isEmpty()) {
                stats_ = *stats;
                options_ = options;
                info_ = disc->info();
                hasStats_ = true;
                setResultDisc(discIdentity(disc->folderText(), disc->info()));
                showReport();
            } else if (hasStats_) {
                status_->setText(failure + QStringLiteral("下方仍是上次的統計。"));
            }
            emit done();
        });
}

void StatsWindow::fitPage(int page, int width)
{
    const QMargins margins = scrolls_[page]->widget()->layout()->contentsMargins();
    pages_[page]->fitWidth(width - margins.left() - margins.right());
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
    // The tables' new widths decide again where their charts go.
    for (int i = 0; i < 3; ++i)
        fitPage(i, scrolls_[i]->width());
    for (QPushButton *b : {print_, pdf_, export_})
        b->setEnabled(true);
    if (!grown_) {
        // The first tables: the window takes the room they need, as far as the display has it.
        grown_ = true;
        growToContents();
    }
}

void StatsWindow::growToContents()
{
    if (isMaximized() || isFullScreen())
        return;
    ensurePolished();
    layout()->activate();
    QScreen *display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display)
        return;
    const QRect area = display->availableGeometry();
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    const QSize room = area.size().shrunkBy(margins);
    // What the pages need beyond the room the page shown has now (the pages share it),
    // and wide enough for every table with its charts beside it, where the display allows.
    const QSize shown = static_cast<QScrollArea *>(tabs_->currentWidget())->viewport()->size();
    const int line = fontMetrics().height();
    QSize more(0, 0);
    for (int i = 0; i < 3; ++i) {
        const QMargins margins = scrolls_[i]->widget()->layout()->contentsMargins();
        more = more.expandedTo(scrolls_[i]->widget()->sizeHint() - shown);
        more.setWidth(std::max(more.width(), pages_[i]->besideWidth() + margins.left() + margins.right() +
                                                 line - shown.width()));
    }
    const QSize wanted = (size() + more.expandedTo(QSize(0, 0))).boundedTo(room);
    if (wanted == size())
        return;
    resize(wanted);
    // Still on the display: moved back in where the larger frame would leave it.
    QRect moved(frame.topLeft(), wanted.grownBy(margins));
    if (moved.right() > area.right())
        moved.moveRight(area.right());
    if (moved.bottom() > area.bottom())
        moved.moveBottom(area.bottom());
    moved.moveLeft(std::max(moved.left(), area.left()));
    moved.moveTop(std::max(moved.top(), area.top()));
    move(moved.topLeft());
}

void StatsWindow::showTable(StatsTableView *table, QLabel *notes, const StatsTable &t)
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
    table->measure();
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
    } catch (const std::exception &e) {
        status_->setText(outputFailure(file, QString::fromUtf8(e.what())));
    }
}

}  // namespace regdisc
