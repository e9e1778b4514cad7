// A count listing screen (frm_5, frm_9): the listing text read once when it opens, a
// printout, and its close.
#pragma once

#include "datasets/dataset.h"
#include "screens/printout.h"

#include <functional>

namespace regdisc {

// The listing box text: for every line, CR LF, two blanks and the line.
Text listingText(const std::vector<Text> &lines);
// The same of a text's lines, read as the file's lines are read.
Text listingTextOf(TextView text);

class ListingModel {
public:
    ListingModel(const ListingSpec &spec, Text text, std::function<void()> onClose);

    const ListingSpec &spec() const { return spec_; }
    const Text &text() const { return text_; }  // tx_o_01
    PrintedDocument printout() const;  // cmd_1 列印
    void close();  // cmd_2 結束 and the close request
    bool closed() const { return closed_; }

private:
    const ListingSpec &spec_;
    Text text_;
    std::function<void()> onClose_;
    bool closed_ = false;
};

}  // namespace regdisc
