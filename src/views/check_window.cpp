#include "views/check_window.h"

#include "views/main_menu_window.h"
#include "views/tool_work.h"
#include "views/view_support.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace regdisc {

namespace {

QString fileWord(CheckedFile file)
{
    switch (file) {
    case CheckedFile::TopIndex:
        return QStringLiteral("上層索引檔");
    case CheckedFile::DetailIndex:
        return QStringLiteral("明細索引檔");
    case CheckedFile::Data:
        return QStringLiteral("資料檔");
    }
    return {};
}

}  // namespace

CheckWindow::CheckWindow(MainMenuWindow &menu) : QWidget(&menu, Qt::Window), menu_(menu)
{
    setObjectName(QStringLiteral("frm_check"));
    setWindowTitle(QStringLiteral("光碟檢查"));
    auto *layout = new QVBoxLayout(this);
    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("lab_verdict"));
    QFont bold = verdict_->font();
    bold.setBold(true);
    verdict_->setFont(bold);
    layout->addWidget(verdict_);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tree_report"));
    tree_->setHeaderLabels({QStringLiteral("名冊／檔案"), QStringLiteral("筆數"), QStringLiteral("結果"),
                            QStringLiteral("最先幾筆")});
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setMinimumSize(fontMetrics().height() * 44, fontMetrics().height() * 24);
    layout->addWidget(tree_, 1);
    auto *row = new QHBoxLayout;
    row->addStretch();
    run_ = new QPushButton(QStringLiteral("重新檢查"), this);
    run_->setObjectName(QStringLiteral("cmd_run"));
    row->addWidget(run_);
    layout->addLayout(row);

    work_ = new BackgroundWork(this);
    connect(run_, &QPushButton::clicked, this, &CheckWindow::run);
}

void CheckWindow::run()
{
    if (work_->running())
        return;
    auto disc = std::make_shared<Disc>(menu_.model().folderText());
    auto result = std::make_shared<DiscCheck>();
    run_->setEnabled(false);
    verdict_->setText(QStringLiteral("檢查中…"));
    tree_->clear();
    work_->start(
        QStringLiteral("光碟檢查"),
        [disc, result](Progress &progress) { *result = checkDisc(*disc, progress); },
        [this, result](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            result_ = *result;
            report();
            if (outcome.cancelled)
                verdict_->setText(QStringLiteral("已取消。"));
            else if (!outcome.error.isEmpty())
                verdict_->setText(outcome.error);
            emit done();
        });
}

void CheckWindow::report()
{
    tree_->clear();
    const int status = result_.exitStatus();
    if (!result_.opened) {
        verdict_->setText(QStringLiteral("無法讀取光碟：") + qs(result_.error));
        return;
    }
    verdict_->setText(status == 0 ? QStringLiteral("光碟完整：查詢所依賴的索引與資料都正確。")
                                  : QStringLiteral("發現瑕疵：請看下列各名冊的結果。"));
    for (const FileCheck &f : result_.files) {
        auto *item = new QTreeWidgetItem(tree_);
        item->setText(0, qs(f.name));
        item->setText(2, f.readable ? QStringLiteral("可讀取") : QStringLiteral("無法讀取"));
    }
    for (const RegisterCheck &r : result_.registers) {
        auto *item = new QTreeWidgetItem(tree_);
        item->setText(0, QString::fromLatin1(r.spec->ext.data(), 3) + " " + qs(registerName(*r.spec)));
        if (r.state == RegisterState::Absent || r.state == RegisterState::NoData) {
            item->setText(2, qs(stateText(r.state)));
            continue;
        }
        if (r.state == RegisterState::Unreadable) {
            item->setText(2, qs(r.message));
            continue;
        }
        item->setText(1, QString::number(r.records));
        item->setText(2, r.whole() ? QStringLiteral("完整") : QStringLiteral("有瑕疵"));
        for (const DefectCount &d : r.defects) {
            const DefectInfo &info = defectInfo(d.defect);
            auto *defect = new QTreeWidgetItem(item);
            defect->setText(0, qs(info.text));
            defect->setText(1, QString::number(d.count));
            defect->setText(2, fileWord(d.file));
            QStringList numbers;
            for (std::int64_t n : d.first)
                numbers << QString::number(n);
            defect->setText(3, numbers.join(QStringLiteral("、")));
        }
        item->setExpanded(!r.defects.empty());
    }
}

}  // namespace regdisc
