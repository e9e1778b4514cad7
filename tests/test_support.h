// Fixtures shared by the tests: temporary disc folders written by the project's own disc
// writer, and scripted message boxes.
#pragma once

#include "datasets/catalogue.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "screens/main_menu_model.h"
#include "writer/disc_writer.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace regdisc::test {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path &path() const { return path_; }
    Text text() const;

private:
    std::filesystem::path path_;
};

// Records every message instead of showing it.
class RecordedMessages : public MessageSink {
public:
    void show(const Message &message) override { shown.push_back(message); }
    std::vector<Message> shown;
    std::vector<std::string> texts() const;  // UTF-8, for readable assertions
    void clear() { shown.clear(); }
};

std::string u8(TextView text);
Text t(std::string_view utf8);

// A DataFile record text of the data set with the fields named by their meaning.
Text makeRecord(const DataSetSpec &spec, const std::map<std::string, std::string> &values);

// The disc information of the test discs.
DiscInfo testDiscInfo(std::string decimalFlag = "N");

// A disc folder holding security.txt and the given data sets.
struct DataSetContent {
    const DataSetSpec *spec;
    std::vector<Text> records;
    IndexOptions options{};
};
void writeTestDisc(const std::filesystem::path &folder, const std::vector<DataSetContent> &dataSets,
                   const DiscInfo &info = testDiscInfo());

// The path of one of a data set's files on a test disc ("idxp", "idxd" or "data").
std::filesystem::path dataSetFile(const std::filesystem::path &folder, const DataSetSpec &spec,
                                  std::string_view which);

// Overwrites bytes of a file at an offset.
void patchFile(const std::filesystem::path &path, std::uint64_t offset, std::string_view bytes);

// The main menu on a folder with one data set's screen open, as the clerk would have it.
struct OpenScreen {
    OpenScreen(const std::filesystem::path &folder, const DataSetSpec &spec);
    RecordedMessages messages;
    MainMenuModel menu;
    std::unique_ptr<QueryScreenModel> screen;

    // Types the input and the combo text (chosen from the list), then presses 查詢.
    LookupOutcome query(std::string caption, std::string input);
    // Records shown by 查詢 and every 次筆 while it is enabled.
    std::vector<std::int64_t> queryAll(std::string caption, std::string input);
};

}  // namespace regdisc::test
