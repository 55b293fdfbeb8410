#include "mpgtools/ReadWindow.h"

#include <algorithm>

namespace kestrune {

void ReadWindow::Attach(const RandomAccessFile* file) {
    file_ = file;
    size_ = file->Size();
    start_ = 0;
    length_ = 0;
    reads_ = 0;
}

void ReadWindow::Detach() {
    file_ = nullptr;
    size_ = 0;
    start_ = 0;
    length_ = 0;
}

const uint8_t* ReadWindow::Fetch(int64_t offset, size_t count, size_t atLeast) {
    if (file_ == nullptr || offset < 0 || offset > size_ ||
        static_cast<int64_t>(count) > size_ - offset) {
        return nullptr;
    }
    if (offset >= start_ &&
        offset + static_cast<int64_t>(count) <= start_ + static_cast<int64_t>(length_)) {
        return buffer_.data() + (offset - start_);
    }
    const size_t wanted = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(std::max(count, atLeast)), size_ - offset));
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    ++reads_;
    const long long got = file_->ReadAt(offset, buffer_.data(), wanted);
    if (got < static_cast<long long>(count)) {
        length_ = 0;  // a failed or short read leaves nothing trusted in memory
        return nullptr;
    }
    start_ = offset;
    length_ = static_cast<size_t>(got);
    return buffer_.data();
}

}  // namespace kestrune
