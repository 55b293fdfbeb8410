#pragma once
// TagLib's view of a file the reader already has open: reads go to the same open file, so a file
// is opened once whatever reads it. Writing is refused.

#include <taglib/tiostream.h>

namespace kestrune {

class RandomAccessFile;

class FileStream : public TagLib::IOStream {
public:
    explicit FileStream(const RandomAccessFile& file);

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override;
    bool isOpen() const override;
    void seek(long offset, Position p = Beginning) override;
    long tell() const override;
    long length() override;
    void truncate(long length) override;

private:
    const RandomAccessFile& file_;
    long position_ = 0;
};

}  // namespace kestrune
