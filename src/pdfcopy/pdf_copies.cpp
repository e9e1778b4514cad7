#include "pdfcopy/pdf_copies.h"

#include "datasets/catalogue.h"
#include "printing/document_renderer.h"
#include "screens/main_menu_model.h"

#include <QString>

namespace regdisc {

namespace {

// The copies are written without a user: a message ends the copy with an error.
class CollectedMessages : public MessageSink {
public:
    void show(const Message &message) override { texts.push_back(message.text); }
    std::vector<Text> texts;
};

Text number(std::int64_t n)
{
    return fromAscii(std::to_string(n));
}

PrintedLine line(int size, Text text)
{
    return {size, {{std::move(text), 0}}};
}

[[noreturn]] void fail(const std::string &what, const CollectedMessages &messages)
{
    std::string text = what;
    for (const Text &message : messages.texts)
        text += ": " + toUtf8(message);
    throw PdfCopyError(text);
}

PrintedDocument copyOf(QueryScreenModel &screen, const DiscInfo &info, std::int64_t records, int maxRecords)
{
    const DataSetSpec &spec = screen.spec();
    PrintedDocument doc;
    doc.lines.push_back(line(18, u"鼎岳有價證券登錄社-" + Text(spec.title)));
    doc.lines.push_back(line(11, u" "));
    doc.lines.push_back(line(11, u"證券代號：" + info.baseName + u"  " + info.securityName));
    doc.lines.push_back(line(11, u"資料日期：" + info.dataDate + u"　製作日期：" + info.productionDate));
    Text count = u"資料筆數：" + number(records);
    if (records > maxRecords)
        count += u"（本檔列出前 " + number(maxRecords) + u" 筆）";
    doc.lines.push_back(line(11, count));

    // Every record of the initial key's chain, as 列印 prints it, without its titles.
    if (screen.query() != LookupOutcome::Shown)
        return doc;
    const size_t skip = 2 + spec.print.titles.size();
    for (int k = 1;; ++k) {
        doc.lines.push_back(line(10, u" "));
        doc.lines.push_back(line(10, u"第 " + number(k) + u" 筆"));
        const PrintedDocument record = screen.printout();
        for (size_t i = skip; i < record.lines.size(); ++i) {
            PrintedLine body = record.lines[i];
            body.fontSize = 10;
            doc.lines.push_back(std::move(body));
        }
        if (k >= maxRecords || !screen.nextEnabled() || screen.next() != LookupOutcome::Shown)
            break;
    }
    return doc;
}

}  // namespace

std::vector<std::filesystem::path> writePdfCopies(const std::filesystem::path &folder, int maxRecords)
{
    const std::u8string folderUtf8 = folder.u8string();
    CollectedMessages messages;
    MainMenuModel menu(messages, fromUtf8(std::string(folderUtf8.begin(), folderUtf8.end())));
    if (!menu.checkDataFolder(menu.folderText()) || menu.readFailed())
        fail("cannot read the disc under " + folder.string(), messages);

    std::vector<std::filesystem::path> written;
    for (const DataSetSpec *spec : allDataSets()) {
        if (!spec->hasPdf)
            continue;
        std::unique_ptr<QueryScreenModel> screen = menu.openDataSet(*spec);
        if (!screen)
            fail("cannot open the data set " + std::string(spec->ext), messages);
        const std::int64_t records = menu.slot(spec->data.slot).recordCount();
        const PrintedDocument doc = copyOf(*screen, menu.discInfo(), records, maxRecords);
        screen->close();

        const std::filesystem::path path =
            folder / "stkidx" / (toUtf8(menu.discInfo().baseName) + "_" + std::string(spec->ext) + ".pdf");
        const std::u8string pathUtf8 = path.u8string();
        const QString pathText = QString::fromUtf8(reinterpret_cast<const char *>(pathUtf8.data()),
                                                   static_cast<qsizetype>(pathUtf8.size()));
        if (!renderToPdf(doc, pathText, QString::fromStdU16String(Text(spec->title))))
            fail("cannot write " + path.string(), messages);
        written.push_back(path);
    }
    return written;
}

}  // namespace regdisc
