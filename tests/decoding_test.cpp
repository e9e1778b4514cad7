// Decoding a record in one pass over its bytes gives what ICU's windows-950 converter gives
// for the whole record, valid or not; encoding a character gives the converter's bytes; pointers read
// directly give what the numeric rule gives.
#include "engine/record_text.h"
#include "platform/codepage.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstdint>
#include <limits>
#include <random>

using namespace regdisc;
using namespace regdisc::test;

namespace {

// The converter itself, with every invalid sequence shown as U+FFFD (ICU gives U+001A for
// a few of them).
Text icuDecode(std::string_view bytes)
{
    UErrorCode error = U_ZERO_ERROR;
    UConverter *c = ucnv_open("windows-950", &error);
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
    Text out(bytes.size() + 1, u'\0');
    const int32_t n = ucnv_toUChars(c, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                    static_cast<int32_t>(bytes.size()), &error);
    ucnv_close(c);
    out.resize(static_cast<size_t>(n));
    for (char16_t &ch : out)
        if (ch == u'\x1A')
            ch = u'\uFFFD';
    return out;
}

}  // namespace

TEST(Decoding, EveryByteAndPairAsTheConverterDecodesThem)
{
    int differing = 0;
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        differing += decodeCp950(one) != icuDecode(one);
        for (int b = 0; b < 256; ++b) {
            // The pair alone and between ASCII neighbours.
            const std::string pair{static_cast<char>(a), static_cast<char>(b)};
            differing += decodeCp950(pair) != icuDecode(pair);
            const std::string framed = "A" + pair + "z";
            differing += decodeCp950(framed) != icuDecode(framed);
        }
    }
    EXPECT_EQ(differing, 0);
}

// Every character but a lone surrogate encodes as the converter encodes it alone; one it
// cannot encode becomes '?' and the encoding is reported inexact.
TEST(Encoding, EveryCharacterAsTheConverterEncodesIt)
{
    UErrorCode error = U_ZERO_ERROR;
    UConverter *c = ucnv_open("windows-950", &error);
    ASSERT_TRUE(U_SUCCESS(error));
    ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    int differing = 0;
    for (int u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u < 0xE000)
            continue;
        const char16_t ch = static_cast<char16_t>(u);
        char bytes[8];
        error = U_ZERO_ERROR;
        ucnv_reset(c);
        const int32_t n = ucnv_fromUChars(c, bytes, sizeof bytes, &ch, 1, &error);
        // The converter drops the default-ignorable characters (soft hyphen, …); a record
        // keeps its length, so they too become '?'.
        const bool mapped = U_SUCCESS(error) && n > 0;
        bool exact = false;
        const std::string ours = encodeCp950(TextView(&ch, 1), &exact);
        differing += ours != (mapped ? std::string(bytes, static_cast<size_t>(n)) : "?") || exact != mapped;
    }
    ucnv_close(c);
    EXPECT_EQ(differing, 0);
}

TEST(Decoding, RandomRecordsAsTheConverterDecodesThem)
{
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(random() % 48, '\0');
        for (char &b : bytes)  // half ASCII, half lead and trail bytes
            b = static_cast<char>(random() % 2 ? random() % 0x80 : 0x80 + random() % 0x80);
        ASSERT_EQ(decodeCp950(bytes), icuDecode(bytes)) << i;
    }
}

// The first characters alone, as the lookup's scans decode them: the converter's first
// characters of the whole, whatever invalid sequences come after them or among them.
TEST(Decoding, FirstCharactersAsTheConverterDecodesTheWhole)
{
    std::mt19937 random(12);
    Text prefix;
    for (int i = 0; i < 5000; ++i) {
        std::string bytes(random() % 40, '\0');
        for (char &b : bytes)  // mostly ASCII runs, so that they are copied eight at a time
            b = static_cast<char>(random() % 4 ? 0x20 + random() % 0x5F : 0x80 + random() % 0x80);
        const Text whole = icuDecode(bytes);
        Text resumed;
        Cp950Decoder decoder(bytes, resumed);  // going on, character by character
        for (size_t k = 0; k <= bytes.size() + 1; ++k) {
            decodeCp950Prefix(bytes, k, prefix);
            ASSERT_EQ(prefix, whole.substr(0, k)) << i << " " << k;
            decoder.decodeTo(k);
            ASSERT_GE(resumed.size(), std::min(k, whole.size())) << i << " " << k;
            ASSERT_EQ(resumed.substr(0, k), whole.substr(0, k)) << i << " " << k;
        }
        EXPECT_TRUE(decoder.atEnd());
        EXPECT_EQ(resumed, whole);
    }
}

TEST(Numbers, PointersReadDirectly)
{
    const std::pair<const char16_t *, std::int64_t> cases[] = {
        {u"9999999", 9999999},
        {u"\t000123\r\n", 123},
        {u"000000000000000012", 12},  // 18 digits
        {u"0000000000000000012", 12},  // 19 digits, leading zeros
        {u"123456789012345678", 123456789012345678},
        {u"1234567890123456789", std::numeric_limits<std::int64_t>::max()},  // saturates
        {u"00 7", 7},
        {u"7.", 7},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(wholeNumber(text), value) << u8(text);
}
