#include "test_support.h"

#include <atomic>
#include <fstream>
#include <random>

namespace regdisc::test {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    std::random_device device;
    path_ = std::filesystem::temp_directory_path() /
            ("regdisc-test-" + std::to_string(device()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

Text TempDir::text() const
{
    return fromUtf8(path_.string());
}

std::vector<std::string> RecordedMessages::texts() const
{
    std::vector<std::string> out;
    for (const Message &m : shown)
        out.push_back(toUtf8(m.text));
    return out;
}

std::string u8(TextView text)
{
    return toUtf8(text);
}
Text t(std::string_view utf8)
{
    return fromUtf8(utf8);
}

Text makeRecord(const DataSetSpec &spec, const std::map<std::string, std::string> &values)
{
    RecordBuilder record(spec.dataN);
    for (const FieldSpec &f : spec.fields) {
        const auto it = values.find(fieldName(f));
        record.put(f.pos, f.width, it == values.end() ? Text() : t(it->second), f.doubleByte);
    }
    return record.text();
}

DiscInfo testDiscInfo(std::string decimalFlag)
{
    return {u"T01", u"測試公司", u"113/12/06", t(decimalFlag), u"113/12/09"};
}

void writeTestDisc(const std::filesystem::path &folder, const std::vector<DataSetContent> &dataSets,
                   const DiscInfo &info)
{
    std::filesystem::create_directories(folder / "stk");
    writeDiscInfo(folder, info);
    for (const DataSetContent &content : dataSets)
        writeDataSet(folder, info.baseName, *content.spec, content.records, content.options);
}

std::filesystem::path dataSetFile(const std::filesystem::path &folder, const DataSetSpec &spec,
                                  std::string_view which)
{
    const std::string ext(spec.ext);
    if (which == "idxp")
        return folder / "stkidx" / ("T01idxp." + ext);
    if (which == "idxd")
        return folder / "stkidx" / ("T01idxd." + ext);
    return folder / "stk" / ("T01." + ext);
}

void patchFile(const std::filesystem::path &path, std::uint64_t offset, std::string_view bytes)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

OpenScreen::OpenScreen(const std::filesystem::path &folder, const DataSetSpec &spec)
    : menu(messages, fromUtf8(folder.string()))
{
    menu.checkDataFolder(menu.folderText());
    screen = menu.openDataSet(spec);
}

LookupOutcome OpenScreen::query(std::string caption, std::string input)
{
    screen->chooseComboItem(t(caption));
    screen->typeInput(t(input));
    return screen->query();
}

std::vector<std::int64_t> OpenScreen::queryAll(std::string caption, std::string input)
{
    std::vector<std::int64_t> shown;
    if (query(std::move(caption), std::move(input)) != LookupOutcome::Shown)
        return shown;
    shown.push_back(screen->recordShown());
    while (screen->nextEnabled()) {
        if (screen->next() != LookupOutcome::Shown)
            break;
        shown.push_back(screen->recordShown());
    }
    return shown;
}

}  // namespace regdisc::test
