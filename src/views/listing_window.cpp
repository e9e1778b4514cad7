#include "views/listing_window.h"

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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <tuple>
#include <vector>

namespace regdisc {

ListingWindow::ListingWindow(std::unique_ptr<ListingModel> model, Printer &printer)
    : model_(std::move(model)), printer_(printer)
{
    const ListingSpec &spec = model_->spec();
    setObjectName(QString::fromLatin1(spec.screen.data(), static_cast<qsizetype>(spec.screen.size())));
    setWindowTitle(qs(spec.title));

    auto *layout = new QVBoxLayout(this);
    const int margin = fontMetrics().height() * 2 / 3;
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(margin);

    layout->addLayout(screenHeader(spec.title, this));

    // The query controls of the screen's design: shown, disabled, doing nothing.
    auto *query = new QFrame(this);
    query->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(query);
    auto *conditions = new QGridLayout;
    auto *combo = new QComboBox(query);
    combo->setObjectName(QStringLiteral("comb_1"));
    combo->addItems({QStringLiteral("依 中文戶名"), QStringLiteral("依 統一編號")});
    combo->setCurrentIndex(-1);
    auto *input = new QLineEdit(query);
    input->setObjectName(QStringLiteral("tx_i_01"));
    combo->setMinimumContentsLength(12);
    conditions->addWidget(captionLabel(u"查詢條件", "Label2", query), 0, 0);
    conditions->addWidget(combo, 0, 1);
    conditions->addItem(new QSpacerItem(fontMetrics().height(), 0), 0, 2);
    conditions->addWidget(captionLabel(u"查詢資料", "Label2", query), 0, 3);
    conditions->addWidget(input, 0, 4);
    row->addLayout(conditions);
    row->addStretch();
    auto *buttons = new QHBoxLayout;
    std::vector<QWidget *> dummies{combo, input};
    for (const auto &[name, caption, left] :
         {std::tuple{"cmd_5", "", true}, std::tuple{"cmd_6", "", false},
          std::tuple{"Command2", "查詢", false}, std::tuple{"Command1", "次筆", false}}) {
        auto *b = new QPushButton(QString::fromUtf8(caption), query);
        b->setObjectName(QString::fromLatin1(name));
        if (QString::fromLatin1(name).startsWith(QLatin1String("cmd_"))) {
            b->setIcon(arrowIcon(left));
            b->setIconSize(QSize(fontMetrics().height() * 3 / 2, fontMetrics().height() * 3 / 2));
            b->setToolTip(left ? QStringLiteral("前一畫面") : QStringLiteral("下一畫面"));
        }
        buttons->addWidget(b);
        dummies.push_back(b);
    }
    for (QWidget *dummy : dummies)
        dummy->setEnabled(false);
    row->addLayout(buttons);
    layout->addWidget(query);

    // The listing: read-only, grey background, blue text, both scroll bars.
    auto *listing = new QPlainTextEdit(this);
    listing->setObjectName(QStringLiteral("tx_o_01"));
    listing->setReadOnly(true);
    listing->setLineWrapMode(QPlainTextEdit::NoWrap);
    listing->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    listing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = listing->palette();
    colours.setColor(QPalette::Base, QColor(0xc0, 0xc0, 0xc0));
    colours.setColor(QPalette::Text, QColor(0x00, 0x00, 0xff));
    listing->setPalette(colours);
    listing->setPlainText(qs(model_->text()));
    const QFontMetrics fm = listing->fontMetrics();
    listing->setMinimumSize(fm.horizontalAdvance(QLatin1Char('0')) * 84, fm.lineSpacing() * 18);
    layout->addWidget(listing, 1);

    auto *actions = new QHBoxLayout;
    actions->addStretch();
    auto *print = new QPushButton(QStringLiteral("列印"), this);
    print->setObjectName(QStringLiteral("cmd_1"));
    auto *exit = new QPushButton(QStringLiteral("結束"), this);
    exit->setObjectName(QStringLiteral("cmd_2"));
    for (QPushButton *button : {print, exit}) {
        button->setAutoDefault(true);  // Enter presses the focused button
        actions->addWidget(button);
    }
    layout->addLayout(actions);
    // Which disc the listing was read from, outside the screen's own controls.
    discBar_ = new DiscBar(this);
    layout->addWidget(discBar_);

    connect(print, &QPushButton::clicked, this, [this] {
        try {
            printer_.print(model_->printout(), windowTitle(), this);
        } catch (const std::exception &) {
        }
    });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    print->setFocus();
}

ListingWindow::~ListingWindow() = default;

void ListingWindow::closeEvent(QCloseEvent *event)
{
    model_->close();
    emit closed();
    event->accept();
}

}  // namespace regdisc
