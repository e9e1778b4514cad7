#include "platform/codepage.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace regdisc;
using namespace regdisc::test;

TEST(CodePage, DecodesBig5) { EXPECT_EQ(u8(decodeCp950("A\xa4\x40")), "A一"); }
