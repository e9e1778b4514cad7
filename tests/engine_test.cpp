// The record text model, numbers, display rules and the record history.
#include "engine/display_rules.h"
#include "engine/record_history.h"
#include "engine/record_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

TEST(RecordText, CutOrFilledToTheCharactersOfTheRead)
{
    // Six double-byte name characters: 12 bytes give 6 characters.
    EXPECT_EQ(recordText("\xa4\xfd\xa4\x6a\xa9\xfa\xa1\x40\xa1\x40\xa1\x40", 6), u"王大明　　　");
    // Single-byte characters in a double-byte field: more characters than laid out, cut.
    EXPECT_EQ(recordText("ABCDEFGHIJKL", 6), u"ABCDEF");
    // More double-byte characters than laid out: fewer characters, filled with blanks.
    EXPECT_EQ(recordText("\xa4\xfd\xa4\xfd", 4), u"王王  ");
    EXPECT_EQ(field(u"ABCDEF", 5, 4), u"EF");  // ends early
    EXPECT_EQ(field(u"ABC", 4, 1), u"");
}

TEST(RecordText, TopRecordOfTheHolderRegisterNameKind)
{
    // 100 entries of a 6-character name key and a 7-digit number: 1900 bytes, 1300 characters.
    std::string bytes;
    for (int i = 1; i <= 100; ++i) {
        bytes += "\xa4\xfd\xa4\x6a\xa9\xfa\xa1\x40\xa1\x40\xa1\x40";
        char number[8];
        std::snprintf(number, sizeof number, "%07d", i);
        bytes += number;
    }
    ASSERT_EQ(bytes.size(), 1900u);
    const Text text = recordText(bytes, 1300);
    EXPECT_EQ(text.size(), 1300u);
    EXPECT_EQ(field(text, 1288, 6), u"王大明　　　");
    EXPECT_EQ(field(text, 1294, 7), u"0000100");
}

TEST(Numbers, NumericRule)
{
    const std::pair<const char16_t *, std::int64_t> cases[] = {
        {u"0000007", 7},   {u"0000007 ", 7},
        {u"       ", 0},   {u"", 0},
        {u" 12 34", 1234}, {u"-0012", -12},
        {u"12a9", 12},     {u"1.5", 2},
        {u"2.49", 2},      {u"abc", 0},
        {u"１２", 0},      {u"+3", 3},
        {u"1-2", 1},       {u"99999999999999999999999", INT64_MAX},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(wholeNumber(text), value) << u8(text);
}

TEST(DisplayRules, Quantities)
{
    const std::tuple<const char16_t *, const char16_t *, const char *> cases[] = {
        {u"0000000123456", u"Y", "1,234.56"},
        {u"0000000123456", u"y", "123,456"},
        {u"0000000123456", u"", "123,456"},
        {u"             ", u"Y", "0.00"},
        {u"             ", u"N", "0"},
        {u"0000001234567", u"Y", "12,345.67"},
        {u"0000000000100", u"Y", "1.00"},
        {u"0000000000005", u"Y", "0.05"},
        {u"9999999999999", u"N", "9,999,999,999,999"},
        {u"9999999999999", u"Y", "99,999,999,999.99"},
        {u"-000000001234", u"N", "-1,234"},
    };
    for (const auto &[f, flag, shown] : cases)
        EXPECT_EQ(u8(formatQuantity(f, flag)), shown) << u8(f) << " " << u8(flag);
    EXPECT_EQ(u8(formatWholeNumber(u"0000001234567")), "1,234,567");
    EXPECT_EQ(u8(formatWholeNumber(u"             ")), "0");
}

TEST(DisplayRules, DatesSecurityAndCounters)
{
    EXPECT_EQ(u8(formatBirthDate(u"10100101")), "民前010/01/01");
    EXPECT_EQ(u8(formatBirthDate(u" 0650315")), "065/03/15");
    EXPECT_EQ(u8(formatBirthDate(u"1       ")), "民前");
    EXPECT_EQ(u8(formatBirthDate(u"        ")), "");
    EXPECT_EQ(u8(formatDate(u"00851231")), "0085/12/31");
    EXPECT_EQ(u8(formatDate(u"        ")), "");
    EXPECT_EQ(u8(formatSecurity(u"2330  ", u"台積電")), "2330    台積電");
    EXPECT_EQ(u8(formatCounters(1, 3, 3)), "0001 0003 0003 ");
    EXPECT_EQ(u8(formatCounters(2, 1000, 1)), "0002 1000 0001 ");
    EXPECT_EQ(u8(applyRule(Rule::Text, u"王　 ", {})), "王　 ");  // trailing blanks kept
}

TEST(RecordHistory, RingOfAThousand)
{
    RecordHistory h;
    h.clear();
    h.push(1);
    EXPECT_TRUE(h.holdsOne());
    EXPECT_EQ(h.oldestSlot(), 1);
    for (int r = 2; r <= 1000; ++r)
        h.push(r);
    EXPECT_EQ(std::tuple(h.oldestSlot(), h.currentSlot(), h.newestSlot()), std::tuple(1, 1000, 1000));
    h.push(1001);  // into slot 1; the oldest is forgotten
    EXPECT_EQ(std::tuple(h.oldestSlot(), h.currentSlot(), h.newestSlot()), std::tuple(2, 1, 1));
    EXPECT_EQ(h.stepBack(), 1000);  // from slot 1 back to slot 1000
    EXPECT_EQ(h.currentSlot(), 1000);
    int steps = 1;
    while (!h.atOldest()) {
        h.stepBack();
        ++steps;
    }
    EXPECT_EQ(steps, 999);  // down to slot 2: 1000 records reachable
    EXPECT_EQ(h.currentRecord(), 2);
}

TEST(RecordHistory, PushAfterSteppingBackKeepsTheSteppedOverRecords)
{
    RecordHistory h;
    for (int r = 1; r <= 5; ++r)
        h.push(r * 10);
    h.stepBack();
    h.stepBack();
    h.push(60);
    EXPECT_EQ(h.currentSlot(), 6);
    EXPECT_TRUE(h.atNewest());
    std::vector<std::int64_t> back;
    while (!h.atOldest())
        back.push_back(h.stepBack());
    EXPECT_EQ(back, (std::vector<std::int64_t>{50, 40, 30, 20, 10}));
}
