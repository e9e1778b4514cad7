#include "test_support.h"

#include <atomic>
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

Text TempDir::text() const { return fromUtf8(path_.string()); }

std::vector<std::string> RecordedMessages::texts() const
{
    std::vector<std::string> out;
    for (const Message &m : shown)
        out.push_back(toUtf8(m.text));
    return out;
}

std::string u8(TextView text) { return toUtf8(text); }
Text t(std::string_view utf8) { return fromUtf8(utf8); }

}  // namespace regdisc::test
