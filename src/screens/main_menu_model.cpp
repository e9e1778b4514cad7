#include "screens/main_menu_model.h"

#include "disc/data_folder.h"
#include "disc/data_set_files.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/text_input.h"

namespace regdisc {

namespace {
constexpr std::u16string_view kOpenFailedEnd = u" 開檔錯誤 !";
// A register's count listing is a few hundred thousand lines at most; a larger file is
// refused as a whole, never shown cut short.
constexpr std::u16string_view kTooLargeEnd = u" 檔案過大，無法完整顯示 !";
}  // namespace

MainMenuModel::MainMenuModel(MessageSink &messages, Text folderText)
    : messages_(messages), folder_(std::move(folderText))
{
}

void MainMenuModel::startupRead()
{
    pathLastBuilt_ = folderPath(folder_, u"stkidx", u"security.txt");
    if (readDiscInfoFile(openPath(folder_, pathLastBuilt_), discInfo_)) {
        productionDateBox_ = u"製作日期:" + discInfo_.productionDate;
        discFolder_ = folder_;
    } else {
        productionDateBox_.clear();
        discFolder_.reset();
    }
}

void MainMenuModel::chooseFolder(FolderChooser &chooser)
{
    const Text chosen = chooser.choose(u"選擇檔案所在資料夾");
    if (chosen.empty()) {
        show(u"未選擇資料夾或取消選擇資料夾！");
        return;
    }
    folder_ = chosen;
    checkDataFolder(folder_);
}

bool MainMenuModel::checkDataFolder(TextView folder)
{
    if (missingSubFolders(folder) > 0) {
        messages_.show({MessageKind::FolderWarning, Text(folder) + u"資料夾內需同時存在stk及stkidx次目錄"});
        productionDateBox_ = u"檔案位置錯誤";
        discFolder_.reset();
        return false;
    }
    readDiscInfo();
    return true;
}

void MainMenuModel::readDiscInfo()
{
    readFailed_ = true;
    pathLastBuilt_ = folderPath(folder_, u"stkidx", u"security.txt");
    if (!readDiscInfoFile(openPath(folder_, pathLastBuilt_), discInfo_)) {
        productionDateBox_ = u"開檔錯誤";
        discFolder_.reset();
        show(u"MSG_0_00 " + pathLastBuilt_ + Text(kOpenFailedEnd));
        return;
    }
    productionDateBox_ = u"製作日期:" + discInfo_.productionDate;
    discFolder_ = folder_;
    readFailed_ = false;
}

bool MainMenuModel::buttonEnabled(std::string_view button) const
{
    const auto it = disabled_.find(button);
    return it == disabled_.end() || !it->second;
}

std::unique_ptr<QueryScreenModel> MainMenuModel::openDataSet(const DataSetSpec &spec, bool skipIndex)
{
    // A disabled button does nothing: its screen is open and owns the slots.
    if (!buttonEnabled(spec.button))
        return nullptr;
    readDiscInfo();
    if (readFailed_)
        return nullptr;
    const DataSetOpening opening = openDataSetFiles(folder_, discInfo_, spec, slot(spec.top.slot),
                                                    slot(spec.detail.slot), slot(spec.data.slot));
    pathLastBuilt_ = opening.path;
    if (opening.result != DataSetOpening::Opened) {
        show(opening.message);
        return nullptr;
    }
    disabled_[std::string(spec.button)] = true;
    const std::string button(spec.button);
    auto screen = std::make_unique<QueryScreenModel>(
        spec, DataSetFiles{&slot(spec.top.slot), &slot(spec.detail.slot), &slot(spec.data.slot)}, discInfo_,
        messages_, [this, button] { disabled_[button] = false; });
    screen->load();
    if (skipIndex)
        screen->buildSkipIndexInBackground(std::make_unique<BackgroundSkipIndex>(
            spec.lookupProfile(), openPath(folder_, topIndexPathText(folder_, discInfo_, spec)),
            openPath(folder_, detailIndexPathText(folder_, discInfo_, spec)),
            openPath(folder_, dataFilePathText(folder_, discInfo_, spec)), spec.top.length,
            spec.detail.length, spec.data.length));
    return screen;
}

std::unique_ptr<ListingModel> MainMenuModel::openListing(const ListingSpec &spec)
{
    if (!buttonEnabled(spec.button))
        return nullptr;
    readDiscInfo();
    if (readFailed_)
        return nullptr;
    pathLastBuilt_ = folderPath(folder_, u"stk", discInfo_.baseName + u"." + fromAscii(spec.ext));
    Text decoded;
    {
        // The file's bytes go once they are decoded: a listing may be tens of megabytes.
        const FileContent content = readBoundedFile(openPath(folder_, pathLastBuilt_), kMaxListingBytes);
        if (content.status != FileContent::Read) {
            const TextView end = content.status == FileContent::TooLarge ? kTooLargeEnd : kOpenFailedEnd;
            show(Text(spec.msgOpenFailed) + pathLastBuilt_ + Text(end));
            return nullptr;
        }
        decoded = decodeCp950(content.bytes);
    }
    const std::string button(spec.button);
    disabled_[button] = true;
    return std::make_unique<ListingModel>(spec, listingTextOf(decoded),
                                          [this, button] { disabled_[button] = false; });
}

void MainMenuModel::closeAllFiles()
{
    for (RecordFile &file : slots_)
        file.close();
}

}  // namespace regdisc
