#include "screens/query_screen_model.h"

#include "engine/display_rules.h"
#include "engine/record_text.h"
#include "screens/document_opening.h"

namespace regdisc {

namespace {
constexpr std::string_view kProductionDateBox = "tx_o_25";
constexpr std::string_view kCountersBox = "tx_o_pnt";
}  // namespace

QueryScreenModel::QueryScreenModel(const DataSetSpec &spec, DataSetFiles files, const DiscInfo &discInfo,
                                   MessageSink &messages, std::function<void()> onClose)
    : spec_(spec), profile_(spec.lookupProfile()), files_(files), discInfo_(discInfo), messages_(messages),
      onClose_(std::move(onClose)), lookup_(profile_, files, *this, history_)
{
    // Every output box of the screen: the record's boxes, the two dates and the counters.
    for (const RowSpec &row : spec_.rows)
        for (const CellSpec &cell : row)
            for (const BoxSpec &b : cell.boxes)
                boxNames_.emplace_back(b.name);
    boxNames_.emplace_back(kCountersBox);
    for (const std::string &name : boxNames_)
        boxes_[name];
    // Each field's box, found once: a record is shown at every step of a walk.
    for (const FieldSpec &f : spec_.fields)
        fieldBoxes_.push_back(f.box.empty() ? nullptr : &boxText(f.box));
}

QueryScreenModel::~QueryScreenModel() = default;

void QueryScreenModel::load()
{
    boxes_[std::string(spec_.dataDateBox)] = discInfo_.dataDate;
    boxes_[std::string(kProductionDateBox)] = discInfo_.productionDate;
    nextEnabled_ = previousEnabled_ = followingEnabled_ = false;
    history_.clear();
    combo_ = Text(spec_.keyKind(spec_.initialKeyKind).caption);
    input_.clear();
}

std::vector<Text> QueryScreenModel::comboItems() const
{
    std::vector<Text> items;
    for (int number : spec_.listOrder)
        items.emplace_back(spec_.keyKind(number).caption);
    return items;
}

void QueryScreenModel::typeInput(TextView text)
{
    input_ = Text(text.substr(0, kInputMaxLength));
}

void QueryScreenModel::typeCombo(TextView text)
{
    combo_ = Text(text);
}

void QueryScreenModel::chooseComboItem(TextView caption)
{
    combo_ = Text(caption);
    nextEnabled_ = false;
}

void QueryScreenModel::clickInput()
{
    nextEnabled_ = false;
}

void QueryScreenModel::buildSkipIndexInBackground(std::unique_ptr<BackgroundSkipIndex> build)
{
    skipBuild_ = std::move(build);
}

void QueryScreenModel::adoptSkipIndex()
{
    if (!skipBuild_)
        return;
    if (std::shared_ptr<const SkipIndex> index = skipBuild_->take()) {
        lookup_.setSkipIndex(std::move(index));
        skipBuild_.reset();
    }
}

bool QueryScreenModel::waitForSkipIndex(std::chrono::milliseconds timeout)
{
    if (skipBuild_ && skipBuild_->waitUntilBuilt(timeout))
        adoptSkipIndex();
    return !skipBuild_;
}

LookupOutcome QueryScreenModel::query()
{
    adoptSkipIndex();
    return lookup_.runQuery();
}

LookupOutcome QueryScreenModel::next()
{
    if (!nextEnabled_)
        return LookupOutcome::Shown;
    return lookup_.nextMatch();
}

// Stepping through the history reads the slot's record first: a record that can no longer
// be read leaves the screen, the history and the buttons as they were.
void QueryScreenModel::previousScreen()
{
    if (!previousEnabled_)
        return;
    try {
        const std::int64_t recordNo = history_.peekBack();
        const Text record = readRecordText(*files_.data, recordNo, spec_.dataN);
        history_.stepBack();
        showRecordText(recordNo, record);
        followingEnabled_ = true;
        if (history_.atOldest())
            previousEnabled_ = false;
    } catch (const RecordReadError &) {
        showMessage(spec_.damagedMessage);
    }
}

void QueryScreenModel::nextScreen()
{
    if (!followingEnabled_)
        return;
    try {
        const std::int64_t recordNo = history_.peekForward();
        const Text record = readRecordText(*files_.data, recordNo, spec_.dataN);
        history_.stepForward();
        showRecordText(recordNo, record);
        previousEnabled_ = true;
        if (history_.atNewest())
            followingEnabled_ = false;
    } catch (const RecordReadError &) {
        showMessage(spec_.damagedMessage);
    }
}

// DisplayRecord: every box of the record is set on every call, then the counters.
void QueryScreenModel::showRecordText(std::int64_t recordNo, const Text &record)
{
    const DisplayContext context{discInfo_.decimalFlag, discInfo_.securityName};
    for (size_t i = 0; i < spec_.fields.size(); ++i)
        if (Text *box = fieldBoxes_[i]) {
            const FieldSpec &f = spec_.fields[i];
            *box = applyRule(f.rule, fieldView(record, f.pos, f.width), context);
        }
    showCounters();
    recordShown_ = recordNo;
}

void QueryScreenModel::showCounters()
{
    boxText(kCountersBox) =
        formatCounters(history_.oldestSlot(), history_.currentSlot(), history_.newestSlot());
}

void QueryScreenModel::showMessage(TextView text)
{
    messages_.show({MessageKind::Plain, Text(text)});
}

Text &QueryScreenModel::boxText(std::string_view name)
{
    auto it = boxes_.find(name);
    if (it == boxes_.end())
        it = boxes_.emplace(std::string(name), Text()).first;
    return it->second;
}

Text QueryScreenModel::box(std::string_view name) const
{
    const auto it = boxes_.find(name);
    return it == boxes_.end() ? Text() : it->second;
}

Text QueryScreenModel::caption(std::string_view label) const
{
    for (const RowSpec &row : spec_.rows)
        for (const CellSpec &cell : row)
            if (cell.label == label)
                return Text(cell.caption);
    return {};
}

PrintedDocument QueryScreenModel::printout() const
{
    return recordPrintout(
        spec_.print, [this](std::string_view label) { return caption(label); },
        [this](std::string_view name) { return box(name); });
}

Text QueryScreenModel::pdfPath(TextView folderText, TextView baseName) const
{
    return pdfCopyPath(folderText, baseName, spec_.ext);
}

void QueryScreenModel::openPdf(TextView folderText, TextView baseName, DocumentOpener &opener)
{
    openDocument(pdfPath(folderText, baseName), opener, messages_);
}

LookupOutcome QueryScreenModel::showFound(int keyKind, TextView input, std::int64_t recordNo,
                                          bool freshHistory)
{
    const RecordHistory before = history_;
    chooseComboItem(spec_.keyKind(keyKind).caption);
    typeInput(input);
    LookupOutcome outcome = query();
    // The steps on the way are not the clerk's: they leave no trace in the history.
    while (outcome == LookupOutcome::Shown && recordShown_ != recordNo && nextEnabled_)
        outcome = lookup_.nextMatch();
    if (outcome != LookupOutcome::Shown || recordShown_ != recordNo)
        return outcome == LookupOutcome::Shown ? LookupOutcome::PrefixMessage : outcome;
    history_ = before;
    if (freshHistory)
        history_.clear();
    history_.push(recordNo);
    previousEnabled_ = !history_.holdsOne();
    followingEnabled_ = false;
    showCounters();  // the record's boxes already show it
    return LookupOutcome::Shown;
}

void QueryScreenModel::close()
{
    if (closed_)
        return;
    closed_ = true;
    skipBuild_.reset();  // stops the build before the files go
    files_.top->close();
    files_.detail->close();
    files_.data->close();
    if (onClose_)
        onClose_();
}

}  // namespace regdisc
