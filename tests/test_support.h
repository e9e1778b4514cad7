// Fixtures shared by the tests: temporary disc folders and scripted message boxes.
#pragma once

#include "platform/ui.h"
#include "platform/text.h"

#include <filesystem>
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

}  // namespace regdisc::test
