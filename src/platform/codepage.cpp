#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <stdexcept>

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

Text decodeCp950(std::string_view bytes)
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

std::string encodeCp950(TextView text, bool *exact)
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

}  // namespace regdisc
