#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace regdisc {

namespace {

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// One converter per thread: ICU converters keep state and are not shareable.
UConverter *cp950()
{
    thread_local Converter converter = [] {
        UErrorCode error = U_ZERO_ERROR;
        Converter c(ucnv_open("windows-950", &error));
        if (U_FAILURE(error) || !c)
            throw std::runtime_error("ICU has no windows-950 converter");
        return c;
    }();
    ucnv_reset(converter.get());
    return converter.get();
}

}  // namespace

namespace {

Text decodeWithIcu(std::string_view bytes)
{
    UConverter *c = cp950();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
    Text out(bytes.size() + 1, u'\0');
    error = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                    static_cast<int32_t>(bytes.size()), &error);
    if (U_FAILURE(error))
        return Text(bytes.size(), u'\uFFFD');
    out.resize(static_cast<size_t>(n));
    // ICU substitutes U+001A for a few illegal single bytes; the system shows U+FFFD for
    // every invalid sequence.
    for (char16_t &ch : out)
        if (ch == u'\x1A')
            ch = u'\uFFFD';
    return out;
}

// What the converter makes of each byte below 0x80 and of each lead and trail byte pair,
// learnt from it once (a row of 256 pairs per lead byte, when the lead is first met), so
// that a record decodes in one pass over its bytes. 0: not one character by itself; the
// record then goes through the converter whole, as do invalid sequences.
class DecodeForms {
public:
    DecodeForms()
    {
        for (int b = 0; b < 0x80; ++b) {
            const char byte = static_cast<char>(b);
            const Text one = decodeWithIcu(std::string_view(&byte, 1));
            single_[b] = one.size() == 1 ? one[0] : 0;
            if (b >= 0x20)
                asciiAsIs_ = asciiAsIs_ && single_[b] == b;
        }
    }
    char16_t single(unsigned char b) const { return single_[b]; }
    // Every byte from 0x20 to 0x7F is the character of that code: runs of them are copied.
    bool asciiAsIs() const { return asciiAsIs_; }
    char16_t pair(unsigned char lead, unsigned char trail)
    {
        std::atomic<bool> &known = known_[lead - 0x80];
        if (!known.load(std::memory_order_acquire))
            learn(lead, known);
        return rows_[lead - 0x80][trail];
    }

private:
    void learn(unsigned char lead, std::atomic<bool> &known)
    {
        std::lock_guard lock(mutex_);
        if (known.load(std::memory_order_relaxed))
            return;
        for (int trail = 0; trail < 256; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const Text one = decodeWithIcu(std::string_view(bytes, 2));
            rows_[lead - 0x80][trail] = one.size() == 1 && one[0] != u'\uFFFD' ? one[0] : 0;
        }
        known.store(true, std::memory_order_release);
    }

    char16_t single_[0x80] = {};
    bool asciiAsIs_ = true;
    std::atomic<bool> known_[0x80] = {};  // apart from the rows: one cache line holds many
    char16_t rows_[0x80][256] = {};
    std::mutex mutex_;
};

DecodeForms &decodeForms()
{
    static DecodeForms forms;
    return forms;
}

// Eight bytes below 0x80 as the eight characters of those codes.
inline void widenEight(const unsigned char *from, char16_t *to)
{
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(from));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(to), _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
#else
    for (int k = 0; k < 8; ++k)
        to[k] = from[k];
#endif
}

// Decodes from byte `from` on, appending to `out` until it holds `limit` characters or the
// bytes end, from the learnt forms; returns the byte it stopped at, or npos when an invalid
// sequence came first (the converter must then decide).
size_t decodeByForms(std::string_view bytes, size_t from, size_t limit, Text &out)
{
    DecodeForms &forms = decodeForms();
    const bool ascii = forms.asciiAsIs();
    size_t n = out.size();
    if (n >= limit)
        return from;
    const size_t end = std::min(limit, n + (bytes.size() - from));
    out.resize(end);
    char16_t *const to = out.data();
    const auto *const p = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t size = bytes.size();
    size_t i = from;
    while (n < end && i < size) {
        const unsigned char b = p[i];
        if (ascii && b >= 0x20 && b < 0x80) {
            // Runs of printable ASCII, eight at a time while no byte of the eight leaves it.
            constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
            while (i + 8 <= size && n + 8 <= end) {
                std::uint64_t word;
                std::memcpy(&word, p + i, 8);
                if (((word | (word - 0x20 * ones)) & highs) != 0)
                    break;
                widenEight(p + i, to + n);
                n += 8;
                i += 8;
            }
            if (n < end && i < size && p[i] >= 0x20 && p[i] < 0x80)
                to[n++] = p[i++];
            continue;
        }
        char16_t c = 0;
        if (b < 0x80) {
            c = forms.single(b);
            i += 1;
        } else if (i + 1 < size) {
            c = forms.pair(b, p[i + 1]);
            i += 2;
        }
        if (c == 0)
            return std::string_view::npos;
        to[n++] = c;
    }
    out.resize(n);
    return i;
}

}  // namespace

Text decodeCp950(std::string_view bytes)
{
    Text out;
    decodeCp950(bytes, out);
    return out;
}

void decodeCp950(std::string_view bytes, Text &out)
{
    out.clear();
    if (decodeByForms(bytes, 0, bytes.size(), out) == std::string_view::npos)
        out = decodeWithIcu(bytes);  // an invalid sequence: the converter decides
}

void decodeCp950Prefix(std::string_view bytes, size_t characters, Text &out)
{
    Cp950Decoder decoder(bytes, out);
    decoder.decodeTo(characters);
    if (out.size() > characters)
        out.resize(characters);
}

Cp950Decoder::Cp950Decoder(std::string_view bytes, Text &out) : bytes_(bytes), out_(out)
{
    out_.clear();
}

void Cp950Decoder::decodeTo(size_t characters)
{
    if (atEnd() || out_.size() >= characters)
        return;
    next_ = decodeByForms(bytes_, next_, characters, out_);
    if (next_ == std::string_view::npos) {
        // An invalid sequence: the converter decodes the whole.
        out_ = decodeWithIcu(bytes_);
        next_ = bytes_.size();
    }
}

namespace {

std::string encodeWithIcu(TextView text, bool *exact)
{
    UConverter *c = cp950();
    UErrorCode error = U_ZERO_ERROR;
    struct Flag {
        bool lossy = false;
    } flag;
    // Substitute '?' and remember that a substitution happened.
    ucnv_setFromUCallBack(
        c,
        [](const void *context, UConverterFromUnicodeArgs *args, const UChar *, int32_t, UChar32,
           UConverterCallbackReason reason, UErrorCode *err) {
            if (reason > UCNV_IRREGULAR)
                return;
            const_cast<Flag *>(static_cast<const Flag *>(context))->lossy = true;
            *err = U_ZERO_ERROR;
            ucnv_cbFromUWriteBytes(args, "?", 1, 0, err);
        },
        &flag, nullptr, nullptr, &error);
    std::string out(text.size() * 2 + 4, '\0');
    error = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                      static_cast<int32_t>(text.size()), &error);
    if (U_FAILURE(error))
        throw std::runtime_error("code page 950 encoding failed");
    out.resize(static_cast<size_t>(n));
    if (exact)
        *exact = !flag.lossy;
    return out;
}

// What the converter makes of each character of the Basic Multilingual Plane, remembered
// as it is met (a disc has millions of characters and a few thousand different ones):
// 0 not yet known, kUnmappable, or the byte count (1 or 2) in the top byte above the bytes.
constexpr std::uint32_t kUnmappable = 0xFFFFFFFFu;
constexpr std::uint32_t kOwnContext = 0xFFFFFFFEu;  // converted with its neighbours only
std::atomic<std::uint32_t> encoded[0x10000];

std::uint32_t learnForm(char16_t c)
{
    std::uint32_t form = 0;
    bool exact = false;
    const std::string bytes = encodeWithIcu(TextView(&c, 1), &exact);
    if (!exact)
        form = kUnmappable;
    else if (bytes.size() == 1)
        form = (1u << 24) | static_cast<unsigned char>(bytes[0]);
    else if (bytes.size() == 2)
        form = (2u << 24) | (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8) |
               static_cast<unsigned char>(bytes[1]);
    else
        form = kOwnContext;
    encoded[c].store(form, std::memory_order_relaxed);
    return form;
}

inline std::uint32_t encodedForm(char16_t c)
{
    const std::uint32_t form = encoded[c].load(std::memory_order_relaxed);
    return form != 0 ? form : learnForm(c);
}

}  // namespace

std::string encodeCp950(TextView text, bool *exact)
{
    std::string out;
    encodeCp950(text, out, exact);
    return out;
}

void encodeCp950(TextView text, std::string &out, bool *exact)
{
    out.resize(2 * text.size());
    char *to = out.data();
    bool lossy = false;
    for (char16_t c : text) {
        if (c < 0x80) {  // code page 950's single bytes are ASCII
            *to++ = static_cast<char>(c);
            continue;
        }
        const std::uint32_t form = (c & 0xF800) == 0xD800 ? kOwnContext : encodedForm(c);
        if (form == kOwnContext) {
            out = encodeWithIcu(text, exact);  // surrogates: the converter sees the pairs
            return;
        }
        if (form == kUnmappable) {
            *to++ = '?';
            lossy = true;
        } else if ((form >> 24) == 1) {
            *to++ = static_cast<char>(form & 0xFF);
        } else {
            *to++ = static_cast<char>((form >> 8) & 0xFF);
            *to++ = static_cast<char>(form & 0xFF);
        }
    }
    out.resize(static_cast<size_t>(to - out.data()));
    if (exact)
        *exact = !lossy;
}

bool hasCp950Form(char16_t c)
{
    if ((c & 0xF800) == 0xD800)
        return false;
    const std::uint32_t form = encodedForm(c);
    return form != kUnmappable && form != kOwnContext;
}

}  // namespace regdisc
