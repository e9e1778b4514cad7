#include "views/holder_window.h"

#include "views/main_menu_window.h"
#include "views/tool_work.h"
#include "views/tools_menu.h"
#include "views/view_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace regdisc {

namespace {

constexpr int kRegisterRole = Qt::UserRole;
constexpr int kMatchRole = Qt::UserRole + 1;

QString joined(const std::vector<LabelledValue> &values)
{
    QStringList parts;
    for (const LabelledValue &v : values)
        if (!v.value.empty())
            parts << qs(v.label) + " " + qs(v.value);
    return parts.join(QStringLiteral("　"));
}

}  // namespace

HolderWindow::HolderWindow(MainMenuWindow &menu) : QWidget(&menu, Qt::Window), menu_(menu)
{
    setObjectName(QStringLiteral("frm_holder"));
    setWindowTitle(QStringLiteral("全冊查詢"));
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
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setMinimumSize(fontMetrics().height() * 60, fontMetrics().height() * 24);
    layout->addWidget(tree_, 1);

    status_ = new QLabel(QStringLiteral("雙擊一筆資料，開啟該名冊的查詢畫面並顯示該筆。"), this);
    status_->setObjectName(QStringLiteral("lab_status"));
    layout->addWidget(status_);

    work_ = new BackgroundWork(this);
    connect(find_, &QPushButton::clicked, this, &HolderWindow::find);
    connect(input_, &QLineEdit::returnPressed, this, &HolderWindow::find);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { open(item); });
    input_->setFocus();
}

void HolderWindow::find()
{
    if (work_->running())
        return;
    const QString text = input_->text();
    if (text.isEmpty()) {
        status_->setText(QStringLiteral("請輸入查詢資料。"));
        return;
    }
    HolderQuery query{static_cast<KeyClass>(key_->currentData().toInt()), tx(text), exact_->isChecked()};
    auto disc = std::make_shared<Disc>(folder_.empty() ? menu_.model().folderText() : folder_);
    auto results = std::make_shared<std::vector<RegisterMatches>>();
    auto error = std::make_shared<QString>();
    find_->setEnabled(false);
    work_->start(
        QStringLiteral("全冊查詢"),
        [disc, query, results, error](Progress &progress) {
            if (!disc->open()) {
                *error = qs(disc->error());
                return;
            }
            *results = findHolder(*disc, query, {}, progress);
        },
        [this, results, error](const BackgroundWork::Outcome &outcome) {
            find_->setEnabled(true);
            showResults(*results, outcome.cancelled          ? QStringLiteral("已取消。")
                                  : !outcome.error.isEmpty() ? outcome.error
                                                             : *error);
        });
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
        status_->setText(error);
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
            item->setData(0, kRegisterRole, static_cast<int>(r));
            item->setData(0, kMatchRole, static_cast<int>(m));
            ++total;
        }
        group->setExpanded(!reg.matches.empty());
    }
    status_->setText(QStringLiteral("共 %1 筆。雙擊一筆資料，開啟該名冊的查詢畫面並顯示該筆。").arg(total));
    emit found();
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
    // A screen reads the main menu's disc: a record of another disc is not shown there.
    if (!folder_.empty() && folder_ != menu_.model().folderText()) {
        status_->setText(QStringLiteral("這些結果讀自 ") + qs(folder_) +
                         QStringLiteral("，不是主選單的光碟；查詢畫面只開啟主選單的光碟。"));
        return;
    }
    showRecordOnScreen(menu_, *match.spec, match.keyKind, match.typed, match.recordNo);
}

}  // namespace regdisc
