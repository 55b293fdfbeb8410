#include <gtest/gtest.h>
#include "building/LineList.h"
TEST(Placeholder, Builds) { EXPECT_EQ(kestrune::ParseLines("a\r\nb").size(), 2u); }
