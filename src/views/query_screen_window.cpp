#include "views/query_screen_window.h"

#include "views/printer.h"
#include "views/qt_text.h"
#include "views/screen_look.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>

namespace regdisc {

namespace {

// Half-width columns a box needs for the longest value of its field; a Chinese
// character takes two.
int valueColumns(const DataSetSpec &spec, std::string_view box)
{
    for (const FieldSpec &f : spec.fields) {
        if (f.box != box)
            continue;
        switch (f.rule) {
        case Rule::Text:
            return f.width * (f.doubleByte ? 2 : 1);
        case Rule::Quantity:
        case Rule::WholeNumber:
            return f.width + (f.width - 1) / 3 + 1;  // separators and the decimal point
        case Rule::Security:
            return f.width + 2 + 2 * 10;  // code, two blanks, a name of up to ten characters
        case Rule::Date:
            return 10;  // yyyy/mm/dd
        case Rule::BirthDate:
            return 13;  // 民前yyy/mm/dd
        }
    }
    return 10;  // the disc's dates as stored (yyy/mm/dd) and the counters
}

int boxColumns(const DataSetSpec &spec, const BoxSpec &box)
{
    const int value = valueColumns(spec, box.name);
    switch (box.size) {
    case BoxSize::OneChar:
        return 2;
    case BoxSize::Narrow:
        return std::max(4, value);
    case BoxSize::Normal:
        return std::max(12, value);
    case BoxSize::Wide:
        return std::max(40, value);
    case BoxSize::Full:
    case BoxSize::MultiLine:
        return 80;  // a longer value takes more lines in the multi-line box
    }
    return value;
}

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// A heading padded with ideographic spaces beside several legends shows its caption on
// as many lines of equal length, one beside each legend.
QString linesPerLegend(const QString &caption, size_t legends)
{
    if (legends < 2 || !caption.contains(QChar(0x3000)))
        return caption;
    const qsizetype perLine =
        (caption.size() + static_cast<qsizetype>(legends) - 1) / static_cast<qsizetype>(legends);
    QStringList lines;
    for (qsizetype from = 0; from < caption.size(); from += perLine)
        lines.push_back(caption.mid(from, perLine));
    return lines.join(QLatin1Char('\n'));
}

constexpr int kLegendColumns = 96;  // a longer legend wraps onto more lines

}  // namespace

QueryScreenWindow::QueryScreenWindow(std::unique_ptr<QueryScreenModel> model, const MainMenuModel &menu,
                                     DocumentOpener &opener, Printer &printer)
    : model_(std::move(model)), menu_(menu), opener_(opener), printer_(printer)
{
    const DataSetSpec &spec = model_->spec();
    setObjectName(nameOf(spec.screen));
    setWindowTitle(qs(spec.windowCaption));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    outer->addWidget(scroll_);
    content_ = new QWidget(scroll_);
    auto *layout = new QVBoxLayout(content_);
    const int margin = fontMetrics().height() * 2 / 3;
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(margin);

    // The picture and the title.
    layout->addLayout(screenHeader(spec.title, content_));

    layout->addWidget(buildQueryArea(content_));
    layout->addWidget(buildOutputArea(content_));

    // The history counters at the bottom.
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    auto *counters = new OutputLine(16, content_);
    counters->setObjectName(QStringLiteral("tx_o_pnt"));
    counters->setFocusPolicy(Qt::ClickFocus);
    boxes_["tx_o_pnt"].line = counters;
    bottom->addWidget(counters);
    layout->addLayout(bottom);
    layout->addStretch();
    scroll_->setWidget(content_);
    // Which disc the screen reads, outside the screen's own controls.
    discBar_ = new DiscBar(this);
    outer->addWidget(discBar_);

    // Tab goes round the query row; the output boxes are reached with the mouse.
    scroll_->setFocusPolicy(Qt::NoFocus);
    for (size_t i = 1; i < tabOrder_.size(); ++i)
        setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
    setTabOrder(tabOrder_.back(), tabOrder_.front());
    input_->setFocus();
    refresh();
}

QueryScreenWindow::~QueryScreenWindow() = default;

QSize QueryScreenWindow::sizeHint() const
{
    // The whole screen without scroll bars; smaller only where the desktop is.
    return content_->sizeHint() + QSize(2, 2 + discBar_->sizeHint().height());
}

QWidget *QueryScreenWindow::buildQueryArea(QWidget *parent)
{
    auto *area = new QFrame(parent);
    area->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(area);

    // 查詢條件 and the combo, 查詢資料 and the input box.
    auto *conditions = new QGridLayout;
    auto *comboLabel = captionLabel(u"查詢條件", "Label2", area);
    combo_ = new QComboBox(area);
    combo_->setObjectName(QStringLiteral("comb_1"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    for (const Text &caption : model_->comboItems())
        combo_->addItem(qs(caption));
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo_->setMinimumContentsLength(16);
    auto *inputLabel = captionLabel(u"查詢資料", "Label2", area);
    input_ = new QLineEdit(area);
    input_->setObjectName(QStringLiteral("tx_i_01"));
    input_->setMaxLength(QueryScreenModel::kInputMaxLength);
    input_->setMinimumWidth(OutputLine(0).widthForColumns(2 * QueryScreenModel::kInputMaxLength));
    input_->installEventFilter(this);
    conditions->addWidget(comboLabel, 0, 0);
    conditions->addWidget(combo_, 0, 1);
    conditions->addItem(new QSpacerItem(fontMetrics().height(), 0), 0, 2);
    conditions->addWidget(inputLabel, 0, 3);
    conditions->addWidget(input_, 0, 4);
    row->addLayout(conditions);
    row->addStretch();

    // The picture buttons 前一畫面 and 下一畫面, then 查詢, 次筆, 列印 and 結束;
    // PDF 格式 below 列印.
    auto *buttons = new QGridLayout;
    const auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, area);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(true);  // Enter presses the focused button
        return b;
    };
    const auto pictureButton = [&](const char *name, bool left, const QString &tip) {
        auto *b = button(name, QString());
        b->setIcon(arrowIcon(left));
        b->setIconSize(QSize(fontMetrics().height() * 3 / 2, fontMetrics().height() * 3 / 2));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        return b;
    };
    previous_ = pictureButton("cmd_5", true, QStringLiteral("前一畫面"));
    following_ = pictureButton("cmd_6", false, QStringLiteral("下一畫面"));
    auto *query = button("cmd_1", QStringLiteral("查詢"));
    next_ = button("cmd_2", QStringLiteral("次筆"));
    auto *print = button("cmd_4", QStringLiteral("列印"));
    auto *exit = button("cmd_3", QStringLiteral("結束"));
    int column = 0;
    for (QPushButton *b : {previous_, following_, query, next_, print, exit}) {
        b->setMinimumHeight(previous_->sizeHint().height());
        buttons->addWidget(b, 0, column++);
    }
    QPushButton *pdf = nullptr;
    if (model_->spec().hasPdf) {
        pdf = button("cmd_7", QStringLiteral("PDF 格式"));
        buttons->addWidget(pdf, 1, 4);
    }
    row->addLayout(buttons);

    tabOrder_ = {combo_, input_, previous_, following_, query, next_, print};
    if (pdf)
        tabOrder_.push_back(pdf);
    tabOrder_.push_back(exit);

    combo_->installEventFilter(this);
    combo_->lineEdit()->installEventFilter(this);
    connect(combo_, &QComboBox::activated, this, [this](int index) {
        if (comboTypingEnds_)
            act([&] { model_->typeCombo(tx(combo_->itemText(index))); });
        else
            act([&] { model_->chooseComboItem(tx(combo_->itemText(index))); });
    });
    connect(combo_, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!refreshing_)
            act([&] { model_->typeCombo(tx(text)); });
    });
    connect(input_, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!refreshing_)
            act([&] { model_->typeInput(tx(text)); });
    });
    connect(input_, &QLineEdit::returnPressed, this, [this] { act([this] { model_->query(); }); });
    connect(query, &QPushButton::clicked, this, [this] { act([this] { model_->query(); }); });
    connect(next_, &QPushButton::clicked, this, [this] { act([this] { model_->next(); }); });
    connect(previous_, &QPushButton::clicked, this, [this] { act([this] { model_->previousScreen(); }); });
    connect(following_, &QPushButton::clicked, this, [this] { act([this] { model_->nextScreen(); }); });
    connect(print, &QPushButton::clicked, this,
            [this] { act([this] { printer_.print(model_->printout(), windowTitle(), this); }); });
    if (pdf)
        connect(pdf, &QPushButton::clicked, this, [this] {
            // The folder box text and baseName of this moment.
            act([this] { model_->openPdf(menu_.folderText(), menu_.discInfo().baseName, opener_); });
        });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    return area;
}

QWidget *QueryScreenWindow::buildBox(const BoxSpec &spec, QWidget *parent)
{
    const int columns = boxColumns(model_->spec(), spec);
    QWidget *box = nullptr;
    if (spec.size == BoxSize::MultiLine) {
        auto *lines = new QPlainTextEdit(parent);
        lines->setReadOnly(true);
        lines->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        lines->setTabChangesFocus(true);
        const int rows = (valueColumns(model_->spec(), spec.name) + columns - 1) / columns + 1;
        lines->setMinimumHeight(lines->fontMetrics().lineSpacing() * rows + 2 * lines->frameWidth() +
                                static_cast<int>(2 * lines->document()->documentMargin()));
        lines->setMinimumWidth(OutputLine(columns).widthForColumns(columns));
        boxes_[std::string(spec.name)].lines = lines;
        box = lines;
    } else {
        auto *line = new OutputLine(columns, parent);
        line->setSizePolicy(spec.size == BoxSize::Full ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                            QSizePolicy::Fixed);
        boxes_[std::string(spec.name)].line = line;
        box = line;
    }
    box->setObjectName(nameOf(spec.name));
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QWidget *QueryScreenWindow::buildOutputArea(QWidget *parent)
{
    const DataSetSpec &spec = model_->spec();
    auto *area = new QFrame(parent);
    area->setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(area);
    const int column = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    grid->setHorizontalSpacing(column);
    grid->setVerticalSpacing(fontMetrics().height() / 4);

    // Each cell of a row takes two grid columns, its label and its boxes with their
    // legends; the last cell of a row takes the rest of the row.
    size_t cells = 1;
    for (const RowSpec &row : spec.rows)
        cells = std::max(cells, row.size());
    const int columnCount = static_cast<int>(2 * cells);
    const int boxHeight = OutputLine(1).sizeHint().height();
    // Labels and legends line up with the text of the boxes beside them.
    const int textInset = std::max(0, (boxHeight - fontMetrics().height()) / 2);
    const auto inset = [&](QLabel *label) { label->setContentsMargins(0, textInset, 0, textInset); };

    int r = 0;
    for (const RowSpec &row : spec.rows) {
        for (size_t k = 0; k < row.size(); ++k) {
            const CellSpec &cell = row[k];
            const int first = static_cast<int>(2 * k);
            const bool last = k + 1 == row.size();
            if (cell.boxes.empty()) {
                if (cell.caption.empty())
                    continue;  // an empty place in the row
                // A heading over the lines below it.
                auto *heading = captionLabel(cell.caption, std::string(cell.label).c_str(), area);
                QFont bold = heading->font();
                bold.setBold(true);
                heading->setFont(bold);
                heading->setStyleSheet(QStringLiteral("color: #0b2f5c;"));
                inset(heading);
                grid->addWidget(heading, r, first, 1, last ? columnCount - first : 2,
                                Qt::AlignLeft | Qt::AlignTop);
                continue;
            }
            if (!cell.label.empty()) {
                auto *label = captionLabel(cell.caption, std::string(cell.label).c_str(), area);
                label->setText(linesPerLegend(label->text(), cell.legends.size()));
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
                inset(label);
                grid->addWidget(label, r, first, Qt::AlignRight | Qt::AlignTop);
            }
            // The boxes side by side, then their legends; a box as wide as the screen
            // takes the whole room.
            auto *content = new QWidget(area);
            auto *side = new QHBoxLayout(content);
            side->setContentsMargins(0, 0, 0, 0);
            side->setSpacing(2);
            bool full = false;
            for (const BoxSpec &b : cell.boxes) {
                side->addWidget(buildBox(b, content), 0, Qt::AlignTop);
                full = full || b.size == BoxSize::Full || b.size == BoxSize::MultiLine;
            }
            if (!cell.legends.empty()) {
                side->addSpacing(column);
                auto *stack = new QVBoxLayout;
                stack->setSpacing(0);
                for (const LegendSpec &legend : cell.legends) {
                    auto *text = captionLabel(legend.text, std::string(legend.name).c_str(), content);
                    if (text->sizeHint().width() > column * kLegendColumns) {
                        text->setWordWrap(true);
                        text->setFixedWidth(column * kLegendColumns);
                    }
                    if (cell.legends.size() == 1)
                        inset(text);
                    else if (&legend == &cell.legends.front())
                        text->setContentsMargins(0, textInset, 0, 0);
                    stack->addWidget(text);
                }
                side->addLayout(stack);
            }
            if (!full)
                side->addStretch();
            grid->addWidget(content, r, first + 1, 1, last ? columnCount - first - 1 : 1);
        }
        ++r;
    }
    // The room left goes to the boxes of the second cell, so that a third cell stands at
    // the far right.
    grid->setColumnStretch(columnCount > 2 ? 3 : 1, 1);
    return area;
}

template <typename Action> void QueryScreenWindow::act(Action &&action)
{
    // Whatever goes wrong in an action, the screen keeps what it showed.
    try {
        action();
    } catch (const std::exception &) {
    }
    refresh();
}

void QueryScreenWindow::refresh()
{
    refreshing_ = true;
    if (input_->text() != qs(model_->inputText()))
        input_->setText(qs(model_->inputText()));
    if (combo_->currentText() != qs(model_->comboText()))
        combo_->setEditText(qs(model_->comboText()));
    next_->setEnabled(model_->nextEnabled());
    previous_->setEnabled(model_->previousEnabled());
    following_->setEnabled(model_->followingEnabled());
    for (const auto &[name, box] : boxes_) {
        const QString text = qs(model_->box(name));
        if (box.line)
            box.line->setValue(text);
        else if (box.lines->toPlainText() != text)
            box.lines->setPlainText(text);
    }
    refreshing_ = false;
}

LookupOutcome QueryScreenWindow::showFound(int keyKind, TextView input, std::int64_t recordNo,
                                           bool freshHistory)
{
    LookupOutcome outcome = LookupOutcome::Damaged;
    act([&] { outcome = model_->showFound(keyKind, input, recordNo, freshHistory); });
    return outcome;
}

bool QueryScreenWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A mouse press in the input box, not reaching it with Tab, disables 次筆.
    if (watched == input_ && event->type() == QEvent::MouseButtonPress)
        act([this] { model_->clickInput(); });
    // Typing a caption into the combo and leaving it (or Enter) is no choice from its list:
    // the activation Qt makes of the typed item while handling the event leaves 次筆 alone.
    if ((watched == combo_ || watched == combo_->lineEdit()) && !comboTypingEnds_) {
        const auto *key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
        const bool leaving = event->type() == QEvent::FocusOut &&
                             static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason;
        if (leaving || (key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))) {
            const QScopedValueRollback<bool> typing(comboTypingEnds_, true);
            return watched->event(event);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QueryScreenWindow::closeEvent(QCloseEvent *event)
{
    // 結束 and the close box run the same CloseScreen.
    model_->close();
    emit closed();
    event->accept();
}

}  // namespace regdisc
