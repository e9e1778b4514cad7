// The main menu frm_0 without a window: the folder box and its check, the disc
// information, the production-date box, the menu buttons and the opening of a data set or
// a count listing into its file slots.
#pragma once

#include "datasets/catalogue.h"
#include "disc/disc_info.h"
#include "platform/record_file.h"
#include "platform/ui.h"
#include "screens/listing_model.h"
#include "screens/query_screen_model.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace regdisc {

class MainMenuModel {
public:
    static constexpr int kSlotCount = 47;  // file slots 1..46

    explicit MainMenuModel(MessageSink &messages, Text folderText = {});

    // The silent read when the menu is loaded: no message, an empty box on failure.
    void startupRead();

    // Folder box tx_i_01.
    const Text &folderText() const { return folder_; }
    void setFolderText(TextView text) { folder_ = Text(text); }
    void folderFocusOut() { checkDataFolder(folder_); }  // every time, changed or not
    void chooseFolder(FolderChooser &chooser);  // lab_01 檔案位置

    bool checkDataFolder(TextView folder);  // CheckDataFolder
    void readDiscInfo();  // ReadDiscInfo
    bool readFailed() const { return readFailed_; }

    const Text &productionDateBox() const { return productionDateBox_; }  // tx_o_01
    const DiscInfo &discInfo() const { return discInfo_; }
    // The folder text the disc information was last read from, while the menu reads that
    // disc: nothing once a folder check or a read has failed since.
    const std::optional<Text> &discFolder() const { return discFolder_; }

    bool buttonEnabled(std::string_view button) const;

    // A data-set button: re-reads the disc information, opens the three files in the
    // row's slots, disables the button and gives the screen (already loaded); nothing
    // when a message ended the opening.
    // With `skipIndex`, the screen's skip index is built in the background (the desktop
    // does; a one-shot query walks as it is).
    std::unique_ptr<QueryScreenModel> openDataSet(const DataSetSpec &spec, bool skipIndex = false);
    // A count-listing button.
    std::unique_ptr<ListingModel> openListing(const ListingSpec &spec);

    RecordFile &slot(int number) { return slots_.at(static_cast<size_t>(number)); }
    // Ends the run (cmd_6 結束作業): every open file is closed, no screen's close runs.
    void closeAllFiles();

private:
    void show(TextView text) { messages_.show({MessageKind::Plain, Text(text)}); }

    MessageSink &messages_;
    Text folder_;
    DiscInfo discInfo_;
    std::optional<Text> discFolder_;
    bool readFailed_ = false;
    Text productionDateBox_;
    Text pathLastBuilt_;
    std::map<std::string, bool, std::less<>> disabled_;
    std::array<RecordFile, kSlotCount> slots_;
};

}  // namespace regdisc
