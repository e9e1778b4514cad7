// All sixteen printouts, line by line, against the printed lines written out literally in
// tests/expected/printout_<ext>.txt: the fourteen query screens with the hand-built record
// of tests/hand_built_disc.cpp on display, and the two count listings.
#include "expected_printout.h"
#include "hand_built_disc_suite.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

namespace {

class ExpectedPrintout : public HandBuiltDiscSuite<testing::TestWithParam<std::string>> {};

void expectLines(const std::vector<std::string> &printed, const std::vector<std::string> &expected,
                 const std::string &ext)
{
    for (size_t i = 0; i < std::max(printed.size(), expected.size()); ++i)
        EXPECT_EQ(i < printed.size() ? printed[i] : "(no line)",
                  i < expected.size() ? expected[i] : "(no line)")
            << "printout_" << ext << ".txt, printed line " << i + 1;
}

}  // namespace

TEST_P(ExpectedPrintout, EveryLineAsWritten)
{
    const std::string ext = GetParam();
    const std::vector<std::string> expected = expectedPrintout(ext);
    ASSERT_GT(expected.size(), 4u) << ext;
    RecordedMessages messages;
    MainMenuModel menu(messages, fromUtf8(disc->path().string()));
    menu.checkDataFolder(menu.folderText());
    if (const ListingSpec *listing = findListing(ext)) {
        const auto screen = menu.openListing(*listing);
        ASSERT_TRUE(screen);
        expectLines(printedLines(screen->printout()), expected, ext);
    } else {
        const auto screen = menu.openDataSet(*findDataSet(ext));
        ASSERT_TRUE(screen);
        ASSERT_EQ(screen->query(), LookupOutcome::Shown);
        expectLines(printedLines(screen->printout()), expected, ext);
    }
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(SixteenPrintouts, ExpectedPrintout,
                         testing::Values("psm", "pla", "psl", "psr", "ptr", "pid", "pco", "lnx", "pru", "tru",
                                         "lmk", "rae", "pel", "drf", "cpm", "rsa"),
                         [](const auto &info) { return info.param; });
