#include "support/Mp3Fixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "mpgtools/AudioBounds.h"
#include "mpgtools/MPGTools.h"
#include "mpgtools/ReaderSetup.h"

namespace kestrune::testing {

ReaderSetup PumpCounter::Setup(ReaderSetup base) {
    base.pump = [this] { ++count; };
    return base;
}

void WriteSparseFile(const std::string& path, long long size, const std::string& head,
                     const std::string& tail) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(head.data(), static_cast<std::streamsize>(head.size()));
        if (!out) throw std::runtime_error("cannot write " + path);
    }
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    if (tail.empty()) return;
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(size - static_cast<long long>(tail.size())));
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
    if (!out) throw std::runtime_error("cannot write the end of " + path);
}

namespace {

// One search from `start`; pumps are added to what `out` holds.
void SearchFrom(const std::string& bytes, int32_t searchLimit, int64_t start, SearchOutcome& out) {
    const auto size = static_cast<int64_t>(bytes.size());
    TMPEGAudio decoder;
    const auto reset = [&] {
        decoder.ResetInfo();
        decoder.MPEGFileInfo.FileLength = static_cast<int32_t>(size);
        decoder.MPEGFileInfo.FileDateTime = 1;
    };
    reset();
    const auto read4 = [&](int64_t at, uint32_t& value) {
        if (at < 0 || at + 4 > size) return false;
        value = 0;
        for (int64_t i = at; i < at + 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
        return true;
    };
    const TMPEGFileInfo& info = decoder.MPEGFileInfo;
    int64_t position = start;
    for (;;) {
        uint32_t header = 0;
        if (!read4(position, header)) {
            out.result = -1;
            return;
        }
        position += 4;
        while (!decoder.DecodeFrameHeader(header)) {
            if (position >= size) break;
            if (searchLimit != 0 && position > searchLimit) break;
            header = (header << 8) | static_cast<uint8_t>(bytes[position]);
            ++position;
            if (position % 300 == 0) ++out.pumps;
        }
        out.headerPosition = static_cast<int32_t>(position - 4);
        const int64_t hp = position - 4;
        if (decoder.IsValid() && size - hp - info.FrameLength + (info.ProtectionBit ? 2 : 0) > 0) {
            uint32_t second = 0;
            if (!read4(hp + info.FrameLength, second)) {
                out.result = -1;
                return;
            }
            position = hp + info.FrameLength + 4;
            if (!decoder.DecodeFrameHeader(second)) {
                reset();
                position = hp + 1;
                out.result = -1;
            } else {
                out.result = 0;
                const int64_t offset =
                    info.Version == 1 ? (info.Mode == 3 ? 21 : 36) : (info.Mode == 3 ? 13 : 21);
                uint32_t probe = 0;
                if (!read4(hp + offset, probe)) {
                    out.result = -1;
                    return;
                }
                if (probe == 0x58696E67u) {  // "Xing"
                    uint32_t flags = 0;
                    uint32_t frames = 0;
                    if (hp + offset + 4 + 116 > size) {
                        out.result = -1;
                        return;
                    }
                    read4(hp + offset + 4, flags);
                    if (flags & 1) read4(hp + offset + 8, frames);
                    if (frames == 0) out.result = -1;
                }
                return;
            }
        } else {
            reset();
            out.headerPosition = static_cast<int32_t>(size + 1);
            out.result = -1;
        }
        if (decoder.IsValid() || position >= size || (searchLimit > 0 && position > searchLimit)) {
            return;
        }
    }
}

}  // namespace

SearchOutcome ReferenceSearch(const std::string& bytes, int32_t searchLimit) {
    // The leading ID3v2 tags are skipped by their declared sizes; where that leads to no pair,
    // the search starts again right after the first tag's header.
    const auto size = static_cast<int64_t>(bytes.size());
    const int64_t start = LeadingTagsEnd(
        [&bytes, size](int64_t offset, size_t count) {
            if (offset < 0 || offset + static_cast<int64_t>(count) > size)
                return std::string_view();
            return std::string_view(bytes).substr(static_cast<size_t>(offset), count);
        },
        size);
    SearchOutcome out;
    SearchFrom(bytes, searchLimit, start, out);
    if (out.result != 0 && start > 0) SearchFrom(bytes, searchLimit, kId3v2HeaderSize, out);
    return out;
}

}  // namespace kestrune::testing
