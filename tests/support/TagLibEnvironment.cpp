// Every test of the reader runs with the real tag library installed, as the program does.

#include <gtest/gtest.h>

#include "TagLibReader.h"

namespace {

class TagLibEnvironment : public ::testing::Environment {
public:
    void SetUp() override { kestrune::InstallTagLibReader(); }
};

[[maybe_unused]] ::testing::Environment* const kTagLib =
    ::testing::AddGlobalTestEnvironment(new TagLibEnvironment);

}  // namespace
