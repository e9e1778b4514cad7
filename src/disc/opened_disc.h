// A disc folder opened for the whole-disc tools: the folder check and the disc
// information read as the main menu makes them, and each register opened for queries by
// the main menu's own opening of its three files, without a screen.
#pragma once

#include "datasets/dataset.h"
#include "disc/disc_info.h"
#include "engine/register_query.h"
#include "platform/record_file.h"
#include "platform/text.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace regdisc {

enum class RegisterState {
    Present,  // its three files open
    Absent,  // none of its three files is on the disc
    NoData,  // its files are empty: the disc has nothing to look up in it
    Unreadable,  // a file is missing, empty while the others are not, cannot be read, or its
                 // index is damaged: `message` says which
};

// One register of the disc, opened for queries.
class Register {
public:
    const DataSetSpec &spec() const { return spec_; }
    RegisterState state() const { return state_; }
    // Why it could not be opened (the main menu's message), or nothing.
    const Text &message() const { return message_; }
    // Its query; only while the register is present.
    RegisterQuery &query() { return *query_; }
    // Another query of the same open files, with the same skip index, for another thread:
    // only where every file lends its bytes (RecordSource::lends), nothing otherwise.
    std::unique_ptr<RegisterQuery> anotherQuery();
    // Records of the DataFile, as its size counts them when it was opened.

private:
    friend class Disc;
    explicit Register(const DataSetSpec &spec) : spec_(spec) {}

    const DataSetSpec &spec_;
    RegisterState state_ = RegisterState::Absent;
    Text message_;
    RecordFile top_, detail_, data_;
    std::unique_ptr<RegisterQuery> query_;
};

class Disc {
public:
    explicit Disc(Text folderText);

    // The folder check and the disc-information read; false with `error()` the message
    // the main menu would have shown.
    bool open();
    const Text &error() const { return error_; }
    const Text &folderText() const { return folder_; }
    const DiscInfo &info() const { return info_; }

    // Which of the data set's files are on the disc, without opening them: Absent when
    // none is.
    RegisterState presence(const DataSetSpec &spec) const;

    // The register with its files opened as its menu button opens them: present, absent,
    // without data, or unreadable with the menu's message.
    std::unique_ptr<Register> openRegister(const DataSetSpec &spec) const;

    // The file-system paths of a data set's files and of the disc's count listings.
    std::filesystem::path topIndexPath(const DataSetSpec &spec) const;
    std::filesystem::path detailIndexPath(const DataSetSpec &spec) const;
    std::filesystem::path dataFilePath(const DataSetSpec &spec) const;
    std::filesystem::path listingPath(const ListingSpec &spec) const;

private:
    Text folder_;
    DiscInfo info_;
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
