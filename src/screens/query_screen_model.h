// The behaviour of a query screen without a window: its boxes, the enabled states of the
// stepping buttons, the combo and input texts, and what each user action does. The Qt
// screen shows this model; the command line drives it directly.
#pragma once

#include "datasets/dataset.h"
#include "disc/disc_info.h"
#include "engine/lookup.h"
#include "engine/record_history.h"
#include "platform/ui.h"
#include "screens/background_skip_index.h"
#include "screens/printout.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace regdisc {

class QueryScreenModel : private LookupScreen {
public:
    static constexpr int kInputMaxLength = 12;

    // The three files are the data set's open slots; `onClose` gives the menu button back.
    QueryScreenModel(const DataSetSpec &spec, DataSetFiles files, const DiscInfo &discInfo,
                     MessageSink &messages, std::function<void()> onClose);
    ~QueryScreenModel() override;

    const DataSetSpec &spec() const { return spec_; }

    // LoadScreen: the two dates, the initial caption, an empty input, an empty history.
    void load();

    // The user's actions.
    void typeInput(TextView text);  // edits tx_i_01 (at most 12 characters kept)
    void typeCombo(TextView text);  // edits the text of the editable comb_1
    void chooseComboItem(TextView caption);  // picks from comb_1's list: disables 次筆
    void clickInput();  // mouse press in tx_i_01: disables 次筆
    LookupOutcome query();  // cmd_1 查詢
    LookupOutcome next();  // cmd_2 次筆 (nothing while disabled)
    void previousScreen();  // cmd_5 前一畫面 (nothing while disabled)
    void nextScreen();  // cmd_6 下一畫面 (nothing while disabled)
    PrintedDocument printout() const;  // cmd_4 列印
    Text pdfPath(TextView folderText, TextView baseName) const;  // cmd_7 PDF 格式
    // cmd_7: opens the PDF copy and reports a failed opening.
    void openPdf(TextView folderText, TextView baseName, DocumentOpener &opener);
    // Shows a record a whole-disc lookup found by a KeyKind and the text typed for it: 查詢
    // and 次筆 up to that record, so that 次筆 goes on from there. The history then holds
    // the records it held before (none when `freshHistory`) and this record after them.
    LookupOutcome showFound(int keyKind, TextView input, std::int64_t recordNo, bool freshHistory);
    void close();  // cmd_3 結束 and the window's close request
    // A skip index built for this screen's files (off the screen's thread): its lookups
    // read fewer entries and answer exactly as before.
    void setSkipIndex(std::shared_ptr<const SkipIndex> skip) { lookup_.setSkipIndex(std::move(skip)); }
    // The same, built in the background from the files at these paths (the screen's own):
    // taken over by the first lookup after it is ready.
    void buildSkipIndexInBackground(std::unique_ptr<BackgroundSkipIndex> build);
    // Waits for that build (tests); whether the index is in use.
    bool waitForSkipIndex(std::chrono::milliseconds timeout);
    bool closed() const { return closed_; }

    // What the screen shows.
    Text inputText() const override { return input_; }
    Text comboText() const override { return combo_; }
    std::vector<Text> comboItems() const;
    bool nextEnabled() const { return nextEnabled_; }
    bool previousEnabled() const { return previousEnabled_; }
    bool followingEnabled() const { return followingEnabled_; }
    Text box(std::string_view name) const;
    const std::vector<std::string> &boxNames() const { return boxNames_; }
    Text caption(std::string_view label) const;  // a label's caption from the layout
    std::int64_t recordShown() const { return recordShown_; }
    const RecordHistory &history() const { return history_; }

private:
    // LookupScreen
    void setInputText(TextView text) override { input_ = Text(text); }
    void setComboText(TextView text) override { combo_ = Text(text); }
    void setNextEnabled(bool enabled) override { nextEnabled_ = enabled; }
    void setPreviousEnabled(bool enabled) override { previousEnabled_ = enabled; }
    void setFollowingEnabled(bool enabled) override { followingEnabled_ = enabled; }
    void displayRecord(std::int64_t recordNo, const Text &record) override
    {
        showRecordText(recordNo, record);
    }
    void showMessage(TextView text) override;

    void showRecordText(std::int64_t recordNo, const Text &record);
    void adoptSkipIndex();
    void showCounters();  // tx_o_pnt by the history's slots
    Text &boxText(std::string_view name);  // a box's text, found without a key string built

    const DataSetSpec &spec_;
    LookupProfile profile_;
    DataSetFiles files_;
    const DiscInfo &discInfo_;
    MessageSink &messages_;
    std::function<void()> onClose_;

    RecordHistory history_;
    KeyedLookup lookup_;
    std::vector<std::string> boxNames_;
    std::map<std::string, Text, std::less<>> boxes_;
    std::vector<Text *> fieldBoxes_;  // per field of the record, its box in boxes_ (or none)
    Text input_;
    Text combo_;
    bool nextEnabled_ = false;
    bool previousEnabled_ = false;
    bool followingEnabled_ = false;
    std::int64_t recordShown_ = 0;
    bool closed_ = false;
    std::unique_ptr<BackgroundSkipIndex> skipBuild_;
};

}  // namespace regdisc
