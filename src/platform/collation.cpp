#include "platform/collation.h"

#include <unicode/coll.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace regdisc {

namespace {

icu::Collator &collator()
{
    thread_local std::unique_ptr<icu::Collator> instance = [] {
        UErrorCode error = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(
            icu::Collator::createInstance(icu::Locale("zh@collation=big5han"), error));
        if (U_FAILURE(error) || !c)
            throw std::runtime_error("ICU has no zh@collation=big5han collator");
        c->setStrength(icu::Collator::SECONDARY);
        return c;
    }();
    return *instance;
}

icu::UnicodeString view(TextView t)
{
    return icu::UnicodeString(false, t.data(), static_cast<int32_t>(t.size()));
}

}  // namespace

int compareText(TextView a, TextView b)
{
    // The same characters sort together under any collation; a name chain holds runs of
    // the same name, so the collator is spared most of a walk's comparisons.
    if (a == b)
        return 0;
    UErrorCode error = U_ZERO_ERROR;
    return static_cast<int>(collator().compare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                                               static_cast<int32_t>(b.size()), error));
}

std::string textSortKey(TextView text)
{
    std::string key;
    textSortKey(text, key);
    return key;
}

void textSortKey(TextView text, std::string &key)
{
    const icu::UnicodeString s = view(text);
    key.resize(std::max<size_t>(key.capacity(), 64));
    int32_t n =
        collator().getSortKey(s, reinterpret_cast<uint8_t *>(key.data()), static_cast<int32_t>(key.size()));
    if (n > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<size_t>(n));
        n = collator().getSortKey(s, reinterpret_cast<uint8_t *>(key.data()), n);
    }
    key.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);  // drop the terminating zero
}

int compareBinary(TextView a, TextView b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace regdisc
