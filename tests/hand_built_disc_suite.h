// The hand-built disc (hand_built_disc.h) written once for a whole test suite: the suites
// that read it derive their fixture from HandBuiltDiscSuite<> (or, for parameterised
// suites, HandBuiltDiscSuite<testing::TestWithParam<P>>) and find it at disc->path().
#pragma once

#include "hand_built_disc.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace regdisc::test {

template <class Base = testing::Test> class HandBuiltDiscSuite : public Base {
protected:
    static void SetUpTestSuite()
    {
        disc = std::make_unique<TempDir>();
        writeHandDisc(disc->path());
    }
    static void TearDownTestSuite() { disc.reset(); }
    static inline std::unique_ptr<TempDir> disc;
};

}  // namespace regdisc::test
