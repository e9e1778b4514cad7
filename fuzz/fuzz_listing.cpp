// The count listings: any bytes become lines and the listing box text; the printout and the
// terminal's escaped text of every line stay sound.
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "platform/text_input.h"
#include "screens/listing_model.h"
#include "screens/printout.h"

#include <algorithm>

using namespace regdisc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Text text = decodeCp950(std::string_view(reinterpret_cast<const char *>(data), size));
    const std::vector<Text> lines = readLines(text);
    std::size_t characters = 0;
    for (const Text &line : lines) {
        FUZZ_CHECK(line.find_first_of(u"\r\n") == Text::npos);
        characters += line.size();
        const Text shown = escapeControls(line);
        FUZZ_CHECK(std::none_of(shown.begin(), shown.end(), isControl));
        FUZZ_CHECK(shown.size() >= line.size());
    }
    FUZZ_CHECK(characters <= text.size());

    const Text box = listingText(lines);
    FUZZ_CHECK(box.size() == characters + 4 * lines.size());
    FUZZ_CHECK(lines.empty() || box.starts_with(u"\r\n  "));
    const PrintedDocument printed = listingPrintout(u"title", box);
    // Three heading lines, then the box's empty first line and one line per listed line.
    FUZZ_CHECK(printed.lines.size() == (lines.empty() ? 3 : 4 + lines.size()));
    return 0;
}
