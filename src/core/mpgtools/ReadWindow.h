#pragma once
// A window of file bytes in memory, so that the reader's many small reads (a header here, a
// byte there) cost one system call per stretch of the file instead of one each.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/RandomAccessFile.h"

namespace kestrune {

class ReadWindow {
public:
    // The buffer is kept between files, so a reader object allocates it once.
    void Attach(const RandomAccessFile* file);
    void Detach();

    // Points at the `count` bytes at `offset`, reading `atLeast` bytes from there (as far as the
    // file goes) when they are not in memory yet. Null when any of them lies outside the file
    // or the system fails to give them.
    const uint8_t* Fetch(int64_t offset, size_t count, size_t atLeast = 0);

    // After a successful Fetch at `offset`: how many bytes from there are in memory.
    size_t AvailableFrom(int64_t offset) const {
        return static_cast<size_t>(start_ + static_cast<int64_t>(length_) - offset);
    }

    // The bytes from `offset` that are in memory already, without a read; empty when none.
    std::string_view Held(int64_t offset) const {
        if (file_ == nullptr || offset < start_ || offset >= start_ + static_cast<int64_t>(length_))
            return {};
        return std::string_view(reinterpret_cast<const char*>(buffer_.data()) + (offset - start_),
                                AvailableFrom(offset));
    }

    // System reads made since Attach (for tests and benchmarks).
    int Reads() const { return reads_; }

private:
    const RandomAccessFile* file_ = nullptr;
    int64_t size_ = 0;
    std::vector<uint8_t> buffer_;
    int64_t start_ = 0;
    size_t length_ = 0;
    int reads_ = 0;
};

}  // namespace kestrune
