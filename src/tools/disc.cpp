#include "tools/disc.h"

#include "datasets/catalogue.h"
#include "platform/paths.h"
#include "shell/data_folder.h"

#include <algorithm>
#include <system_error>

namespace regdisc {

namespace fs = std::filesystem;

Disc::Disc(Text folderText) : menu_(messages_, std::move(folderText)) {}

bool Disc::open()
{
    messages_.last.clear();
    const bool opened = menu_.checkDataFolder(menu_.folderText()) && !menu_.readFailed();
    error_ = opened ? Text() : messages_.last;
    return opened;
}

fs::path Disc::pathOf(TextView sub, TextView name) const
{
    return openPath(menu_.folderText(), folderPath(menu_.folderText(), sub, name));
}

fs::path Disc::topIndexPath(const DataSetSpec &spec) const
{
    return pathOf(u"stkidx", info().baseName + u"idxp." + fromAscii(spec.ext));
}

fs::path Disc::detailIndexPath(const DataSetSpec &spec) const
{
    return pathOf(u"stkidx", info().baseName + u"idxd." + fromAscii(spec.ext));
}

fs::path Disc::dataFilePath(const DataSetSpec &spec) const
{
    return pathOf(u"stk", info().baseName + u"." + fromAscii(spec.ext));
}

fs::path Disc::listingPath(const ListingSpec &spec) const
{
    return pathOf(u"stk", info().baseName + u"." + fromAscii(spec.ext));
}

fs::path Disc::discInfoPath() const
{
    return pathOf(u"stkidx", u"security.txt");
}

RegisterState Disc::presence(const DataSetSpec &spec) const
{
    std::error_code error;
    int present = 0;
    for (const fs::path &p : {topIndexPath(spec), detailIndexPath(spec), dataFilePath(spec)})
        if (fs::exists(p, error))
            ++present;
    return present == 0 ? RegisterState::Absent : RegisterState::Present;
}

Disc::Opened Disc::openScreen(const DataSetSpec &spec)
{
    Opened opened;
    if (presence(spec) == RegisterState::Absent)
        return opened;
    // The menu's opening: the disc information again, the three files into their slots.
    messages_.last.clear();
    opened.screen = menu_.openDataSet(spec);
    if (!opened.screen) {
        opened.message = messages_.last;
        opened.state = opened.message == spec.msgTopEmpty ? RegisterState::NoData : RegisterState::Unreadable;
        return opened;
    }
    opened.state = RegisterState::Present;
    return opened;
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
