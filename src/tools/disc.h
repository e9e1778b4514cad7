// A disc folder opened for the whole-disc tools: the folder check and the disc
// information read as the main menu makes them, and each data set opened into a query
// screen without a window, exactly as its menu button opens it.
#pragma once

#include "datasets/dataset.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "screens/main_menu_model.h"
#include "shell/disc_info.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace regdisc {

enum class RegisterState {
    Present,  // its three files open
    Absent,  // none of its three files is on the disc
    NoData,  // its TopIndexFile is empty: the disc has nothing to look up in it
    Unreadable,  // a file is missing, empty or cannot be read: `message` says which
};

// The messages of the menu and of the tools' screens, the last one kept instead of shown:
// a lookup's outcome says what happened, the text is wanted only for reports.
class LastMessage : public MessageSink {
public:
    void show(const Message &message) override { last = message.text; }
    Text last;
};

class Disc {
public:
    explicit Disc(Text folderText);

    // The folder check and the disc-information read; false with `error()` the message
    // the main menu would have shown.
    bool open();
    const Text &error() const { return error_; }
    const Text &folderText() const { return menu_.folderText(); }
    const DiscInfo &info() const { return menu_.discInfo(); }

    // Which of the data set's files are on the disc, without opening them.
    RegisterState presence(const DataSetSpec &spec) const;

    // The data set's query screen with its three files open, loaded; nothing when it
    // cannot be opened (`state` and `message` say why). Its messages are not shown; close
    // it when done, so that the data set can be opened again.
    struct Opened {
        std::unique_ptr<QueryScreenModel> screen;
        RegisterState state = RegisterState::Absent;
        Text message;
    };
    Opened openScreen(const DataSetSpec &spec);

    // The file-system paths of a data set's files and of the disc's plain-text files.
    std::filesystem::path topIndexPath(const DataSetSpec &spec) const;
    std::filesystem::path detailIndexPath(const DataSetSpec &spec) const;
    std::filesystem::path dataFilePath(const DataSetSpec &spec) const;
    std::filesystem::path listingPath(const ListingSpec &spec) const;
    std::filesystem::path discInfoPath() const;

private:
    std::filesystem::path pathOf(TextView sub, TextView name) const;

    LastMessage messages_;
    MainMenuModel menu_;
    Text error_;
};

// The state's word for reports: u"有資料", u"無此名冊", u"無可查詢資料", u"無法讀取".
Text stateText(RegisterState state);
// The same as a stable ASCII word for scripts: present, absent, no-data, unreadable.
const char *stateName(RegisterState state);

// The data sets a list of extensions names, in menu order; all of them for an empty list.
// Unknown extensions are returned in `unknown`.
std::vector<const DataSetSpec *> selectDataSets(const std::vector<std::string> &exts,
                                                std::vector<std::string> *unknown = nullptr);

// A register's name for reports: its title without the trailing u"查詢" and blanks.
Text registerName(const DataSetSpec &spec);

}  // namespace regdisc
