#include "FileStream.h"

#include <algorithm>

#include "platform/RandomAccessFile.h"

namespace kestrune {

FileStream::FileStream(const RandomAccessFile& file) : file_(file) {}

TagLib::FileName FileStream::name() const {
    return "";
}

TagLib::ByteVector FileStream::readBlock(unsigned long length) {
    const long size = static_cast<long>(file_.Size());
    if (position_ < 0 || position_ >= size || length == 0) return TagLib::ByteVector();
    const auto wanted = static_cast<unsigned long>(std::min<long>(
        static_cast<long>(std::min<unsigned long>(length, 1UL << 30)), size - position_));
    TagLib::ByteVector block(static_cast<unsigned int>(wanted));
    const long long got = file_.ReadAt(position_, block.data(), wanted);
    if (got <= 0) return TagLib::ByteVector();
    block.resize(static_cast<unsigned int>(got));
    position_ += static_cast<long>(got);
    return block;
}

void FileStream::writeBlock(const TagLib::ByteVector&) {}

void FileStream::insert(const TagLib::ByteVector&, unsigned long, unsigned long) {}

void FileStream::removeBlock(unsigned long, unsigned long) {}

bool FileStream::readOnly() const {
    return true;
}

bool FileStream::isOpen() const {
    return file_.IsOpen();
}

void FileStream::seek(long offset, Position p) {
    switch (p) {
        case Beginning:
            position_ = offset;
            break;
        case Current:
            position_ += offset;
            break;
        case End:
            position_ = static_cast<long>(file_.Size()) + offset;
            break;
    }
    position_ = std::max(position_, 0L);
}

long FileStream::tell() const {
    return position_;
}

long FileStream::length() {
    return static_cast<long>(file_.Size());
}

void FileStream::truncate(long) {}

}  // namespace kestrune
