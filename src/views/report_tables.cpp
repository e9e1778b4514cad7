#include "views/report_tables.h"

#include "views/qt_text.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace regdisc {

namespace {

const char *const kBreakdowns[] = {"county", "age", "nationality"};

}  // namespace

QTableWidget *newReportTable(const char *objectName, QWidget *parent)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(QString::fromLatin1(objectName));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setAlternatingRowColors(true);
    return table;
}

void showReportTable(QTableWidget *table, QLabel *notes, const StatsTable &t)
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
    if (notes) {
        QStringList lines;
        for (const Text &note : t.notes)
            lines << QStringLiteral("註：") + qs(note);
        notes->setText(lines.join('\n'));
    }
}

BreakdownTab::BreakdownTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tab_breakdowns"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto *inner = new QWidget(scroll);
    auto *layout = new QVBoxLayout(inner);
    for (int i = 0; i < 3; ++i) {
        const std::string name = kBreakdowns[i];
        titles_[i] = new QLabel(inner);
        titles_[i]->setObjectName(QString::fromStdString("lab_" + name + "_title"));
        QFont bold = titles_[i]->font();
        bold.setBold(true);
        titles_[i]->setFont(bold);
        layout->addWidget(titles_[i]);
        tables_[i] = newReportTable(("tbl_" + name).c_str(), inner);
        tables_[i]->setMinimumHeight(fontMetrics().height() * (i == 0 ? 18 : 10));
        layout->addWidget(tables_[i]);
        notes_[i] = new QLabel(inner);
        notes_[i]->setObjectName(QString::fromStdString("lab_" + name + "_notes"));
        notes_[i]->setWordWrap(true);
        notes_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(notes_[i]);
    }
    scroll->setWidget(inner);
    outer->addWidget(scroll);
}

void BreakdownTab::show(const StatsReport &report)
{
    for (int i = 0; i < 3; ++i)
        for (const StatsTable &t : report.tables)
            if (t.name == kBreakdowns[i]) {
                titles_[i]->setText(qs(t.title));
                showReportTable(tables_[i], notes_[i], t);
            }
}

}  // namespace regdisc
