#include <gtest/gtest.h>

#include "AppPrompts.h"

namespace kestrune::app {
namespace {

TEST(AppPrompts, ErrorsEndWithAFullStopUnlessTheyEndInOneOrBelow) {
    EXPECT_EQ(WithFullStop("Cannot open file /a.m3u"), "Cannot open file /a.m3u.");
    EXPECT_EQ(WithFullStop("'abc' is not a valid integer value"), "'abc' is not a valid integer value.");
    EXPECT_EQ(WithFullStop("List index out of bounds (3)"), "List index out of bounds (3)");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
    EXPECT_EQ(WithFullStop("trailing blank "), "trailing blank ");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop("path/"), "path/.");
    EXPECT_EQ(WithFullStop(""), ".");
}

}  // namespace
}  // namespace kestrune::app
