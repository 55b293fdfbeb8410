#pragma once
// Helpers for tests of the MP3 reader: counting the reader's calls into the user interface,
// sparse files, and a plain byte-per-read model of the frame search to compare against.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mpgtools/ReaderSetup.h"

namespace kestrune::testing {

// Counts the calls of the pump of the setups it makes; it outlives their readers.
class PumpCounter {
public:
    PumpCounter() = default;
    PumpCounter(const PumpCounter&) = delete;
    PumpCounter& operator=(const PumpCounter&) = delete;
    // `base` with this counter as its pump.
    ReaderSetup Setup(ReaderSetup base);
    long long count = 0;
};

// A file of `size` bytes: `head` at the start, `tail` at the end, holes (zeros) between.
void WriteSparseFile(const std::string& path, long long size, const std::string& head,
                     const std::string& tail);

// What the frame search should answer for a file holding `bytes`, worked out the simple way:
// one byte per read, every header decoded. Xing and tag reads are checked only for whether
// they fit in the file.
struct SearchOutcome {
    int32_t result = -1;
    int32_t headerPosition = 0;
    long long pumps = 0;
};
SearchOutcome ReferenceSearch(const std::string& bytes, int32_t searchLimit = 0);

}  // namespace kestrune::testing
