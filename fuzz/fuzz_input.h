// What the fuzz targets share: a check that aborts with a message (libFuzzer reports the
// input), and reading an input piece by piece.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace regdisc::fuzz {

// The fuzz input taken from the front: single bytes, and pieces with a 4-byte length.
class InputReader {
public:
    InputReader(const std::uint8_t *data, std::size_t size)
        : rest_(reinterpret_cast<const char *>(data), size)
    {
    }
    std::uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view bytes(std::size_t count)
    {
        const std::string_view out = rest_.substr(0, count);
        rest_.remove_prefix(out.size());
        return out;
    }
    // A piece written as a little-endian 4-byte length and its bytes (cut at the input's end).
    std::string_view piece()
    {
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i)
            length |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return bytes(length);
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// The inverse of InputReader::piece, for writing seeds.
inline std::string pieceBytes(std::string_view bytes)
{
    std::string out;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    out += bytes;
    return out;
}

}  // namespace regdisc::fuzz
