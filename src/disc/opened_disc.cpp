#include "disc/opened_disc.h"

#include "datasets/catalogue.h"
#include "disc/data_folder.h"
#include "disc/data_set_files.h"
#include "platform/paths.h"

#include <algorithm>
#include <system_error>

namespace regdisc {

namespace fs = std::filesystem;

Disc::Disc(Text folderText) : folder_(std::move(folderText)) {}

bool Disc::open()
{
    // The main menu's check of the folder and its read of the disc information.
    error_.clear();
    if (missingSubFolders(folder_) > 0) {
        error_ = folder_ + u"資料夾內需同時存在stk及stkidx次目錄";
        return false;
    }
    const Text path = folderPath(folder_, u"stkidx", u"security.txt");
    if (!readDiscInfoFile(openPath(folder_, path), info_)) {
        error_ = u"MSG_0_00 " + path + u" 開檔錯誤 !";
        return false;
    }
    return true;
}

fs::path Disc::topIndexPath(const DataSetSpec &spec) const
{
    return openPath(folder_, topIndexPathText(folder_, info_, spec));
}

fs::path Disc::detailIndexPath(const DataSetSpec &spec) const
{
    return openPath(folder_, detailIndexPathText(folder_, info_, spec));
}

fs::path Disc::dataFilePath(const DataSetSpec &spec) const
{
    return openPath(folder_, dataFilePathText(folder_, info_, spec));
}

fs::path Disc::listingPath(const ListingSpec &spec) const
{
    return openPath(folder_, folderPath(folder_, u"stk", info_.baseName + u"." + fromAscii(spec.ext)));
}

RegisterState Disc::presence(const DataSetSpec &spec) const
{
    std::error_code error;
    for (const fs::path &p : {topIndexPath(spec), detailIndexPath(spec), dataFilePath(spec)})
        if (!p.empty() && (fs::exists(fs::symlink_status(p, error)) || fs::exists(p, error)))
            return RegisterState::Present;
    return RegisterState::Absent;
}

std::unique_ptr<RegisterQuery> Register::anotherQuery()
{
    if (state_ != RegisterState::Present || !top_.lends() || !detail_.lends() || !data_.lends())
        return nullptr;
    auto query =
        std::make_unique<RegisterQuery>(spec_.lookupProfile(), DataSetFiles{&top_, &detail_, &data_});
    query->setSkipIndex(query_->skipIndex());
    return query;
}

std::unique_ptr<Register> Disc::openRegister(const DataSetSpec &spec) const
{
    std::unique_ptr<Register> reg(new Register(spec));
    reg->state_ = presence(spec);
    if (reg->state_ == RegisterState::Absent)
        return reg;
    const DataSetOpening opening =
        openDataSetFiles(folder_, info_, spec, reg->top_, reg->detail_, reg->data_);
    if (opening.result == DataSetOpening::Opened) {
        reg->state_ = RegisterState::Present;
        reg->query_ = std::make_unique<RegisterQuery>(spec.lookupProfile(),
                                                      DataSetFiles{&reg->top_, &reg->detail_, &reg->data_});
        return reg;
    }
    reg->state_ = RegisterState::Unreadable;
    reg->message_ = opening.message;
    if (opening.result == DataSetOpening::Empty && opening.file == 0) {
        // An empty TopIndexFile leaves nothing to look up; that is a register without data
        // only when its other files are empty too.
        std::error_code error;
        const auto size = [&](const fs::path &p) {
            const std::uintmax_t n = fs::file_size(p, error);
            return error ? std::uintmax_t{0} : n;
        };
        const std::uintmax_t detailBytes = size(detailIndexPath(spec));
        const std::uintmax_t dataBytes = size(dataFilePath(spec));
        if (detailBytes == 0 && dataBytes == 0) {
            reg->state_ = RegisterState::NoData;
        } else {
            reg->message_ =
                Text(spec.msgTopEmpty) + u"（索引檔為空，資料檔卻有 " +
                fromAscii(std::to_string(dataBytes / static_cast<std::uintmax_t>(spec.data.length))) +
                u" 筆）";
        }
    }
    return reg;
}

Text stateText(RegisterState state)
{
    switch (state) {
    case RegisterState::Present:
        return u"有資料";
    case RegisterState::Absent:
        return u"無此名冊";
    case RegisterState::NoData:
        return u"無可查詢資料";
    case RegisterState::Unreadable:
        return u"無法讀取";
    }
    return {};
}

const char *stateName(RegisterState state)
{
    switch (state) {
    case RegisterState::Present:
        return "present";
    case RegisterState::Absent:
        return "absent";
    case RegisterState::NoData:
        return "no-data";
    case RegisterState::Unreadable:
        return "unreadable";
    }
    return "";
}

std::vector<const DataSetSpec *> selectDataSets(const std::vector<std::string> &exts,
                                                std::vector<std::string> *unknown)
{
    if (exts.empty())
        return allDataSets();
    std::vector<const DataSetSpec *> chosen;
    for (const DataSetSpec *spec : allDataSets())
        if (std::find(exts.begin(), exts.end(), std::string(spec->ext)) != exts.end())
            chosen.push_back(spec);
    if (unknown)
        for (const std::string &ext : exts)
            if (!findDataSet(ext))
                unknown->push_back(ext);
    return chosen;
}

Text registerName(const DataSetSpec &spec)
{
    Text name(spec.title);
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\u3000'; };
    name.erase(std::remove_if(name.begin(), name.end(), blank), name.end());
    const TextView suffix = u"查詢";
    if (name.size() > suffix.size() && TextView(name).substr(name.size() - suffix.size()) == suffix)
        name.resize(name.size() - suffix.size());
    return name;
}

}  // namespace regdisc
