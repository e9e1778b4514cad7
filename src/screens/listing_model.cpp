#include "screens/listing_model.h"

#include "platform/text_input.h"

namespace regdisc {

Text listingText(const std::vector<Text> &lines)
{
    Text text;
    for (const Text &line : lines)
        text += u"\r\n  " + line;
    return text;
}

Text listingTextOf(TextView text)
{
    size_t lines = 0;
    forEachLine(text, [&](TextView) { ++lines; });
    Text out;
    out.reserve(text.size() + 2 * lines);
    forEachLine(text, [&](TextView line) {
        out += u"\r\n  ";
        out += line;
    });
    return out;
}

ListingModel::ListingModel(const ListingSpec &spec, Text text, std::function<void()> onClose)
    : spec_(spec), text_(std::move(text)), onClose_(std::move(onClose))
{
}

PrintedDocument ListingModel::printout() const
{
    return listingPrintout(spec_.printTitle, text_);
}

void ListingModel::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (onClose_)
        onClose_();
}

}  // namespace regdisc
