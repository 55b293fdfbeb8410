#pragma once
// The reader's setup as the program and the tool make it: TagLib for every tag and format.

#include <memory>

#include "TagLibReader.h"
#include "mpgtools/ReaderSetup.h"

namespace kestrune::testing {

inline ReaderSetup TagLibSetup(const LibrarySettings& library = {}) {
    ReaderSetup setup;
    setup.tags = std::make_shared<TagLibReader>();
    setup.library = library;
    return setup;
}

}  // namespace kestrune::testing
