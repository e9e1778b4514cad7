#include "views/check_window.h"

#include "datasets/catalogue.h"
#include "printing/document_renderer.h"
#include "screens/printout.h"
#include "views/background_work.h"
#include "views/main_menu_window.h"
#include "views/printer.h"
#include "views/qt_text.h"
#include "views/tool_messages.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <system_error>

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

QString registerTitle(const DataSetSpec &spec)
{
    return QString::fromLatin1(spec.ext.data(), 3) + " " + qs(registerName(spec));
}

// The screens and tools that read a register.
QString affected(const DataSetSpec &spec)
{
    return QStringLiteral("影響「") + qs(spec.buttonCaption).simplified() +
           QStringLiteral("」畫面，以及全冊查詢、批次查詢中的這個名冊");
}

// Record numbers as the clerk reads them; 0 stands for the file as a whole.
QString recordNumbers(const std::vector<std::int64_t> &numbers)
{
    QStringList shown;
    for (const std::int64_t n : numbers)
        shown << groupedNumber(n);
    return shown.join(QStringLiteral("、"));
}

// What an unreadable file of the disc means: the disc information, or a count listing.
QString fileMeaning(const FileCheck &file)
{
    const QString name = qs(file.name);
    for (const ListingSpec *listing : allListings())
        if (name.endsWith(QLatin1Char('.') + QString::fromLatin1(listing->ext.data(), 3),
                          Qt::CaseInsensitive))
            return QStringLiteral("讀不到這份筆數清單：「") + qs(listing->buttonCaption).simplified() +
                   QStringLiteral("」畫面無法開啟。");
    return QStringLiteral("讀不到光碟資訊：所有畫面都無法開啟。");
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

}  // namespace

QString defectMeaning(DefectClass defect)
{
    switch (defect) {
    case DefectClass::FileLength:
        return QStringLiteral("檔案可能沒有燒錄完整：最後一筆資料不完整，查到它時內容可能有誤。");
    case DefectClass::TopOrder:
    case DefectClass::TopMarker:
    case DefectClass::TopPointer:
    case DefectClass::BlockOrder:
    case DefectClass::BlockPointer:
        return QStringLiteral(
            "索引的上層有誤：依這種方式查詢時，存在的資料可能查不到，或出現「資料燒錄錯誤」訊息。");
    case DefectClass::BlockStart:
        return QStringLiteral(
            "索引的起點有誤：以某些開頭查詢時，會從較後面的資料開始，前面相符的資料查不到。");
    case DefectClass::ChainOrder:
        return QStringLiteral("索引的次序有誤：查詢可能漏掉相符的資料，按「次筆」可能跳過資料。");
    case DefectClass::ChainEnd:
    case DefectClass::ChainLoop:
        return QStringLiteral("索引的串接有誤：查詢或按「次筆」時可能出現「資料燒錄錯誤」訊息。");
    case DefectClass::ChainCoverage:
        return QStringLiteral("有索引沒有串上：依這種方式查詢時，這些索引所指的資料查不到。");
    case DefectClass::RecordPointer:
        return QStringLiteral("索引指向不存在的資料：查到這些索引時會出現「資料燒錄錯誤」訊息。");
    case DefectClass::KeyMismatch:
        return QStringLiteral("索引與資料不符：查到的資料可能不是輸入的那一位，應該查到的也可能查不到。");
    case DefectClass::UnindexedRecord:
        return QStringLiteral("有資料沒有索引：這些資料在查詢畫面上查不到，只能在匯出的檔案中看到。");
    case DefectClass::Undecodable:
        return QStringLiteral("有無法辨識的字元：畫面、列印與匯出會以替代符號顯示這些字，其餘內容不受影響。");
    case DefectClass::RecordLayout:
        return QStringLiteral(
            "資料的欄位錯位：這些資料在查詢畫面上的股數、日期等欄位可能錯誤；匯出時標示為損壞，"
            "股權統計與異動比較不計入。");
    case DefectClass::MalformedQuantity:
        return QStringLiteral("股數欄位不是數字：查詢畫面顯示的股數可能不對；匯出時照原字元輸出，"
                              "股權統計與異動比較不計入。");
    case DefectClass::BeyondIndex:
        return QStringLiteral("檔案的筆數超過索引所能指向的範圍：超出的部分查不到，也不會匯出或檢查。");
    }
    return {};
}

CheckWindow::CheckWindow(MainMenuWindow &menu) : ToolWindow(menu, "frm_check", QStringLiteral("光碟檢查"))
{
    auto *layout = new QVBoxLayout(this);
    checked_ = new QLabel(this);
    checked_->setObjectName(QStringLiteral("lab_checked"));
    checked_->setWordWrap(true);
    checked_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(checked_);
    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("lab_verdict"));
    verdict_->setWordWrap(true);
    QFont bold = verdict_->font();
    bold.setBold(true);
    verdict_->setFont(bold);
    layout->addWidget(verdict_);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tree_report"));
    tree_->setHeaderLabels({QStringLiteral("名冊／檔案"), QStringLiteral("筆數"), QStringLiteral("結果"),
                            QStringLiteral("最先幾筆")});
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setMinimumSize(fontMetrics().height() * 44, fontMetrics().height() * 18);
    layout->addWidget(tree_, 3);
    // What the defects found mean for the lookups, in the clerk's words.
    meaning_ = new QTextBrowser(this);
    meaning_->setObjectName(QStringLiteral("tx_meaning"));
    meaning_->setMinimumHeight(fontMetrics().height() * 7);
    layout->addWidget(meaning_, 2);
    auto *row = new QHBoxLayout;
    print_ = new QPushButton(QStringLiteral("列印"), this);
    print_->setObjectName(QStringLiteral("cmd_print"));
    pdf_ = new QPushButton(QStringLiteral("存成 PDF…"), this);
    pdf_->setObjectName(QStringLiteral("cmd_pdf"));
    row->addWidget(print_);
    row->addWidget(pdf_);
    row->addStretch();
    run_ = new QPushButton(QStringLiteral("重新檢查"), this);
    run_->setObjectName(QStringLiteral("cmd_run"));
    row->addWidget(run_);
    row->addWidget(closeButton());
    layout->addLayout(row);
    for (QPushButton *b : {print_, pdf_})
        b->setEnabled(false);

    connect(run_, &QPushButton::clicked, this, &CheckWindow::run);
    connect(print_, &QPushButton::clicked, this, [this] { print(false); });
    connect(pdf_, &QPushButton::clicked, this, [this] { print(true); });
    showChecked();
}

void CheckWindow::run()
{
    if (work().running())
        return;
    const Text folder = menu_.model().folderText();
    auto disc = std::make_shared<Disc>(folder);
    auto result = std::make_shared<DiscCheck>();
    run_->setEnabled(false);
    for (QPushButton *b : {print_, pdf_})
        b->setEnabled(false);
    hasResult_ = false;
    verdict_->setText(QStringLiteral("檢查中…"));
    checked_->setText(QStringLiteral("檢查的光碟：") + discIdentity(folder, {}, false).folder);
    tree_->clear();
    meaning_->clear();
    WorkPlan plan;
    work().start(
        QStringLiteral("光碟檢查"),
        [disc, result, folder](SharedProgress &progress) {
            // Every register's detail index and data file are counted through.
            Disc probe(folder);
            if (probe.open()) {
                std::int64_t steps = 0;
                for (const DataSetSpec *spec : allDataSets()) {
                    std::error_code e1;
                    std::error_code e2;
                    const auto detail = std::filesystem::file_size(probe.detailIndexPath(*spec), e1);
                    const auto data = std::filesystem::file_size(probe.dataFilePath(*spec), e2);
                    if (!e1 && !e2)
                        steps += static_cast<std::int64_t>(
                            detail / static_cast<std::uintmax_t>(spec->detail.length) +
                            data / static_cast<std::uintmax_t>(spec->data.length));
                }
                progress.expect(steps);
            }
            *result = checkDisc(*disc, progress);
        },
        [this, disc, result](const BackgroundWork::Outcome &outcome) {
            run_->setEnabled(true);
            result_ = *result;
            checkedAt_ = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
            hasResult_ = !outcome.cancelled && outcome.error.isEmpty();
            setResultDisc(discIdentity(disc->folderText(), disc->info(), result_.opened));
            report();
            if (outcome.cancelled)
                verdict_->setText(QStringLiteral("已取消，檢查沒有做完。"));
            else if (!outcome.error.isEmpty())
                verdict_->setText(toolError(outcome.error, QStringLiteral("光碟檢查")));
            for (QPushButton *b : {print_, pdf_})
                b->setEnabled(hasResult_ && result_.opened);
            emit done();
        },
        plan);
}

void CheckWindow::discsChanged()
{
    ToolWindow::discsChanged();
    showChecked();
}

void CheckWindow::showChecked()
{
    const DiscIdentity &checked = resultDisc();
    const DiscIdentity &menuDisc = menu_.currentDisc();
    QString text;
    if (checked.known()) {
        text = QStringLiteral("檢查的光碟：") + checked.folder;
        if (checked.read)
            text += QStringLiteral("　製作日期:") + checked.productionDate + QStringLiteral("　資料日期:") +
                    checked.dataDate;
        if (!checkedAt_.isEmpty())
            text += QStringLiteral("　檢查時間：") + checkedAt_;
        if (resultsFromOtherDisc())
            text += QStringLiteral("\n主選單目前是 ") + discText(menuDisc) +
                    QStringLiteral("；按「重新檢查」會檢查主選單目前的光碟。");
    } else if (menuDisc.known()) {
        text = QStringLiteral("將檢查主選單目前的光碟：") + discText(menuDisc);
    }
    checked_->setText(text);
}

void CheckWindow::report()
{
    tree_->clear();
    meaning_->clear();
    meaningHtml_.clear();
    showChecked();
    const int status = result_.exitStatus();
    if (!result_.opened) {
        verdict_->setText(QStringLiteral("無法讀取光碟：") + qs(result_.error));
        return;
    }
    int damaged = 0;
    for (const RegisterCheck &r : result_.registers)
        if (r.state == RegisterState::Unreadable || !r.defects.empty())
            ++damaged;
    for (const FileCheck &f : result_.files)
        if (!f.readable)
            ++damaged;
    verdict_->setText(status == 0
                          ? QStringLiteral("光碟完整：查詢所依賴的索引與資料都正確。")
                          : QStringLiteral("發現瑕疵：%1 個名冊或檔案有問題，它們的查詢結果可能不完整或有誤，"
                                           "請看下方說明；其他名冊可以照常查詢。")
                                .arg(damaged));
    QStringList meanings;
    for (const FileCheck &f : result_.files) {
        auto *item = new QTreeWidgetItem(tree_);
        item->setText(0, qs(f.name));
        item->setText(2, f.readable ? QStringLiteral("可讀取") : QStringLiteral("無法讀取"));
        if (!f.readable) {
            item->setToolTip(2, fileMeaning(f));
            meanings << QStringLiteral("<p><b>") + escaped(qs(f.name)) + QStringLiteral("</b>：") +
                            escaped(fileMeaning(f)) + QStringLiteral("</p>");
        }
    }
    for (const RegisterCheck &r : result_.registers) {
        auto *item = new QTreeWidgetItem(tree_);
        item->setText(0, registerTitle(*r.spec));
        if (r.state == RegisterState::Absent || r.state == RegisterState::NoData) {
            item->setText(2, qs(stateText(r.state)));
            continue;
        }
        if (r.state == RegisterState::Unreadable) {
            item->setText(2, qs(r.message));
            meanings << QStringLiteral("<p><b>") + escaped(registerTitle(*r.spec)) +
                            QStringLiteral("</b>（") + escaped(affected(*r.spec)) + QStringLiteral("）：") +
                            escaped(qs(r.message)) +
                            QStringLiteral("。這個名冊的畫面無法開啟，或查詢時出現開檔錯誤。</p>");
            continue;
        }
        item->setText(1, groupedNumber(r.records));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, r.whole() ? QStringLiteral("完整") : QStringLiteral("有瑕疵"));
        if (r.defects.empty())
            continue;
        QString section = QStringLiteral("<p><b>") + escaped(registerTitle(*r.spec)) +
                          QStringLiteral("</b>（") + escaped(affected(*r.spec)) +
                          QStringLiteral("）</p><ul>");
        for (const DefectCount &d : r.defects) {
            const DefectInfo &info = defectInfo(d.defect);
            auto *defect = new QTreeWidgetItem(item);
            defect->setText(0, qs(info.text));
            defect->setText(1, groupedNumber(d.count));
            defect->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            defect->setText(2, fileWord(d.file));
            defect->setText(3, recordNumbers(d.first) +
                                   (d.detail.empty() ? QString() : QStringLiteral("；") + qs(d.detail)));
            for (int c = 0; c < 4; ++c)
                defect->setToolTip(c, defectMeaning(d.defect));
            section += QStringLiteral("<li>") + escaped(qs(info.text)) + QStringLiteral("（") +
                       escaped(fileWord(d.file)) + QStringLiteral("，") + groupedNumber(d.count) +
                       QStringLiteral(" 處）：") + escaped(defectMeaning(d.defect)) + QStringLiteral("</li>");
        }
        section += QStringLiteral("</ul>");
        meanings << section;
        item->setExpanded(true);
    }
    if (meanings.isEmpty())
        meanings << QStringLiteral("<p>所有名冊都可以照常查詢。</p>");
    meaningHtml_ = meanings.join(QString());
    meaning_->setHtml(meaningHtml_);
}

QString CheckWindow::reportHtml() const
{
    QString html = QStringLiteral("<h2>光碟檢查報告</h2><p>") +
                   escaped(checked_->text()).replace('\n', "<br>") + QStringLiteral("</p><p><b>") +
                   escaped(verdict_->text()) + QStringLiteral("</b></p>");
    html += QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr><th>名冊／檔案</th><th>筆數</th>"
        "<th>結果</th><th>最先幾筆</th></tr>");
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree_->topLevelItem(i);
        const auto row = [&](const QTreeWidgetItem *it, const QString &indent) {
            html += QStringLiteral("<tr><td>") + indent + escaped(it->text(0)) +
                    QStringLiteral("</td><td align=\"right\">") + escaped(it->text(1)) +
                    QStringLiteral("</td><td>") + escaped(it->text(2)) + QStringLiteral("</td><td>") +
                    escaped(it->text(3)) + QStringLiteral("</td></tr>");
        };
        row(item, {});
        for (int c = 0; c < item->childCount(); ++c)
            row(item->child(c), QStringLiteral("　　"));
    }
    html += QStringLiteral("</table><h3>說明</h3>") + meaningHtml_;
    return html;
}

void CheckWindow::print(bool toPdf)
{
    if (!hasResult_)
        return;
    const QString html = reportHtml();
    const QString family = cjkFontFamily(qs(kPrintFont));
    menu_.services().printer.printPages(
        [&](QPagedPaintDevice &device) {
            QTextDocument document;
            QFont font(family);
            font.setPointSize(10);
            document.setDefaultFont(font);
            document.setHtml(html);
            document.print(&device);
            return true;
        },
        QStringLiteral("光碟檢查"), this, toPdf);
}

}  // namespace regdisc
