#include "SparseSong.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kestrune::synth {

FrameFields SparseSongFrame() {
    FrameFields frame;
    frame.bitRateIndex = 1;     // 32 kbit/s
    frame.sampleRateIndex = 2;  // 32000 Hz
    frame.mode = kSingleChannel;
    return frame;
}

void WriteSparseSong(const std::string& path, int seconds, const Id3v1Tag& tag) {
    const std::string frame = SilentFrame(SparseSongFrame());
    const long long minimum = static_cast<long long>(2 * frame.size() + 128);
    const long long size =
        std::max<long long>(static_cast<long long>(seconds) * kSparseBytesPerSecond, minimum);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << frame << frame;
        if (!out) throw std::runtime_error("cannot write " + path);
    }
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size - 128));
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << Id3v1Bytes(tag);
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace kestrune::synth
