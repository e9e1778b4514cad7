#include "views/holder_window.h"

#include "views/background_work.h"
#include "views/main_menu_window.h"
#include "views/qt_text.h"
#include "views/tool_messages.h"
#include "views/tools_menu.h"
#include "views/window_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace regdisc {

namespace {

constexpr int kRegisterRole = Qt::UserRole;
constexpr int kMatchRole = Qt::UserRole + 1;

const QString kHint = QStringLiteral("雙擊一筆資料，開啟該名冊的查詢畫面並顯示該筆。");

QString joined(const std::vector<LabelledValue> &values)
{
    QStringList parts;
    for (const LabelledValue &v : values)
        if (!v.value.empty())
            parts << qs(v.label) + " " + qs(v.value);
    return parts.join(QStringLiteral("　"));
}

}  // namespace

HolderWindow::HolderWindow(MainMenuWindow &menu) : ToolWindow(menu, "frm_holder", QStringLiteral("全冊查詢"))
{
    auto *layout = new QVBoxLayout(this);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("查詢條件"), this));
    key_ = new QComboBox(this);
    key_->setObjectName(QStringLiteral("comb_key"));
    for (KeyClass k : {KeyClass::Id, KeyClass::Account, KeyClass::Name})
        key_->addItem(QStringLiteral("依 ") + qs(keyClassLabel(k)), static_cast<int>(k));
    row->addWidget(key_);
    row->addWidget(new QLabel(QStringLiteral("查詢資料"), this));
    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("tx_key"));
    input_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    row->addWidget(input_, 1);
    exact_ = new QCheckBox(QStringLiteral("完全相符"), this);
    exact_->setObjectName(QStringLiteral("chk_exact"));
    row->addWidget(exact_);
    find_ = new QPushButton(QStringLiteral("查詢"), this);
    find_->setObjectName(QStringLiteral("cmd_find"));
    find_->setDefault(true);
    row->addWidget(find_);
    layout->addLayout(row);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tree_results"));
    tree_->setHeaderLabels({QStringLiteral("名冊"), QStringLiteral("當事人"), QStringLiteral("筆號"),
                            QStringLiteral("帳號"), QStringLiteral("戶名"), QStringLiteral("統一編號"),
                            QStringLiteral("數量"), QStringLiteral("日期")});
    tree_->setRootIsDecorated(true);
    tree_->setUniformRowHeights(true);
    // Every column as wide as its longest value, and the clerk may widen or narrow any;
    // what does not fit scrolls sideways, and each value shows whole as its tool tip.
    tree_->header()->setSectionResizeMode(QHeaderView::Interactive);
    tree_->header()->setStretchLastSection(false);
    tree_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->setMinimumSize(fontMetrics().height() * 60, fontMetrics().height() * 24);
    layout->addWidget(tree_, 1);

    auto *bottom = new QHBoxLayout;
    status_ = new QLabel(kHint, this);
    status_->setObjectName(QStringLiteral("lab_status"));
    status_->setWordWrap(true);
    bottom->addWidget(status_, 1);
    bottom->addWidget(closeButton());
    layout->addLayout(bottom);
    statusText_ = kHint;

    askReplace = [this](const QString &question) {
        const FocusReturn back(this);
        QMessageBox box(this);
        box.setWindowTitle(applicationTitle());
        box.setIcon(QMessageBox::Question);
        box.setText(question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        makeRoomForTitle(box);
        return box.exec() == QMessageBox::Yes;
    };

    connect(find_, &QPushButton::clicked, this, &HolderWindow::find);
    connect(input_, &QLineEdit::returnPressed, this, &HolderWindow::find);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { open(item); });
    input_->setFocus();
}

void HolderWindow::find()
{
    if (work().running())
        return;
    const QString text = input_->text();
    if (text.isEmpty()) {
        statusText_ = QStringLiteral("請輸入查詢資料。");
        showStatus();
        return;
    }
    HolderQuery query{static_cast<KeyClass>(key_->currentData().toInt()), tx(text), exact_->isChecked()};
    auto disc = std::make_shared<Disc>(folder_.empty() ? menu_.model().folderText() : folder_);
    auto results = std::make_shared<std::vector<RegisterMatches>>();
    auto error = std::make_shared<QString>();
    find_->setEnabled(false);
    statusText_ = QStringLiteral("查詢中…");
    showStatus();
    work().start(
        QStringLiteral("全冊查詢"),
        [disc, query, results, error](SharedProgress &progress) {
            if (!disc->open()) {
                *error = qs(disc->error());
                return;
            }
            *results = findHolder(*disc, query, {}, progress);
        },
        [this, disc, results, error](const BackgroundWork::Outcome &outcome) {
            find_->setEnabled(true);
            if (outcome.cancelled || !outcome.error.isEmpty() || !error->isEmpty()) {
                showResults({}, outcome.cancelled ? QStringLiteral("已取消，沒有查詢結果。")
                                : !outcome.error.isEmpty()
                                    ? toolError(outcome.error, QStringLiteral("全冊查詢"))
                                    : *error);
                return;
            }
            setResultDisc(discIdentity(disc->folderText(), disc->info()));
            showResults(*results, {});
        },
        WorkPlan{0, 1.0, {}, QStringLiteral("個名冊")});
}

void HolderWindow::lookUp(const Text &folder, KeyClass key, const Text &input, bool exact)
{
    folder_ = folder;
    setWindowTitle(QStringLiteral("全冊查詢 ") + qs(folder));
    key_->setCurrentIndex(key_->findData(static_cast<int>(key)));
    input_->setText(qs(input));
    exact_->setChecked(exact);
    find();
}

void HolderWindow::showResults(const std::vector<RegisterMatches> &results, const QString &error)
{
    results_ = results;
    tree_->clear();
    if (!error.isEmpty()) {
        statusText_ = error;
        showStatus();
        emit found();
        return;
    }
    int total = 0;
    for (size_t r = 0; r < results_.size(); ++r) {
        const RegisterMatches &reg = results_[r];
        auto *group = new QTreeWidgetItem(tree_);
        QString state;
        if (reg.state != RegisterState::Present)
            state = qs(stateText(reg.state));
        else if (reg.matches.empty())
            state = QStringLiteral("無符合資料");
        else
            state = QStringLiteral("%1 筆").arg(reg.matches.size());
        if (!reg.message.empty())
            state += "　" + qs(reg.message);
        // The register's line spans the row; its records' lines hold the columns.
        group->setText(0, QString::fromLatin1(reg.spec->ext.data(), 3) + " " + qs(registerName(*reg.spec)) +
                              "：" + state);
        group->setToolTip(0, group->text(0));
        group->setFirstColumnSpanned(true);
        for (size_t m = 0; m < reg.matches.size(); ++m) {
            const HolderMatch &match = reg.matches[m];
            auto *item = new QTreeWidgetItem(group);
            item->setText(0, QString::fromLatin1(reg.spec->ext.data(), 3));
            item->setText(1, qs(match.party));
            item->setText(2, QString::number(match.recordNo));
            item->setText(3, qs(match.account));
            item->setText(4, qs(match.name));
            item->setText(5, qs(match.id));
            item->setText(6, joined(match.quantities));
            item->setText(7, joined(match.dates));
            for (int c = 0; c < tree_->columnCount(); ++c)
                item->setToolTip(c, item->text(c));
            item->setData(0, kRegisterRole, static_cast<int>(r));
            item->setData(0, kMatchRole, static_cast<int>(m));
            ++total;
        }
        group->setExpanded(!reg.matches.empty());
    }
    // Each column as wide as its values (the register lines span the row and do not count).
    for (int c = 0; c < tree_->columnCount(); ++c) {
        int width = tree_->header()->sectionSizeHint(c);
        for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
            QTreeWidgetItem *group = tree_->topLevelItem(g);
            for (int i = 0; i < group->childCount(); ++i)
                width = std::max(width, tree_->fontMetrics().horizontalAdvance(group->child(i)->text(c)) +
                                            tree_->fontMetrics().height());
        }
        if (c == 0)
            width += tree_->indentation();
        tree_->header()->resizeSection(c, width);
    }
    statusText_ = QStringLiteral("共 %1 筆。").arg(total) + kHint;
    showStatus();
    emit found();
}

void HolderWindow::discsChanged()
{
    ToolWindow::discsChanged();
    showStatus();
}

void HolderWindow::showStatus()
{
    QString text = statusText_;
    if (resultsFromOtherDisc())
        text = QStringLiteral("主選單已改用另一片光碟；下列結果讀自 ") + discText(resultDisc()) +
               QStringLiteral("。要查詢主選單目前的光碟，請再按「查詢」。");
    status_->setText(text);
}

void HolderWindow::open(QTreeWidgetItem *item)
{
    if (!item || !item->parent())
        return;
    const auto r = static_cast<size_t>(item->data(0, kRegisterRole).toInt());
    const auto m = static_cast<size_t>(item->data(0, kMatchRole).toInt());
    if (r >= results_.size() || m >= results_[r].matches.size())
        return;
    const HolderMatch &match = results_[r].matches[m];
    const ShownOnScreen shown = showRecordOnScreen(menu_, *match.spec, match.keyKind, match.typed,
                                                   match.recordNo, resultDisc(), askReplace);
    switch (shown) {
    case ShownOnScreen::Shown:
    case ShownOnScreen::NotOpened:  // the menu has said why
        return;
    case ShownOnScreen::NotFound:
        statusText_ = QStringLiteral("查詢畫面找不到這一筆（筆號 %1）；光碟可能已更換，請再按「查詢」。")
                          .arg(match.recordNo);
        break;
    case ShownOnScreen::MenuOnOtherDisc:
        statusText_ =
            QStringLiteral("這一筆讀自 ") + discText(resultDisc()) +
            QStringLiteral("，主選單現在的光碟不是它；沒有開啟查詢畫面。請再按「查詢」查詢目前的光碟。");
        break;
    case ShownOnScreen::Declined:
        statusText_ = QStringLiteral("沒有開啟：該名冊的查詢畫面開著另一片光碟。");
        break;
    }
    status_->setText(statusText_);
}

}  // namespace regdisc
