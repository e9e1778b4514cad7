// The text comparison of Chinese-name keys: the Traditional Chinese locale's sort (Big5
// order) ignoring letter case and width, as the disc's name chains are ordered.
#pragma once

#include "platform/text.h"

#include <string>

namespace regdisc {

// < 0, 0 or > 0 as a sorts before, with or after b.
int compareText(TextView a, TextView b);

// A byte string whose plain byte order is the order of compareText.
std::string textSortKey(TextView text);
void textSortKey(TextView text, std::string &key);  // into a buffer that is reused

// Binary comparison: character code order; a text that begins another is the smaller.
int compareBinary(TextView a, TextView b);

}  // namespace regdisc
