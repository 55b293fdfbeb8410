#include "support/Station.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kestrune::testing {

namespace {

// MPEG-1 Layer III, 32 kbit/s, 32 kHz, single channel: 144-byte frames, 4000 bytes a second.
const unsigned char kFrameHeader[4] = {0xFF, 0xFB, 0x18, 0xC0};
constexpr int kFrameLength = 144;
constexpr int kBytesPerSecond = 4000;

void PutText(std::string& tag, size_t at, const std::string& text, size_t width) {
    for (size_t i = 0; i < width && i < text.size(); ++i) tag[at + i] = text[i];
}

}  // namespace

void WriteSong(const std::string& path, const SongSpec& song) {
    const long long size = std::max<long long>(static_cast<long long>(song.seconds) * kBytesPerSecond,
                                               2 * kFrameLength + 128 + 4);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        std::string frames(2 * kFrameLength, '\0');
        for (int f = 0; f < 2; ++f)
            for (int i = 0; i < 4; ++i) frames[f * kFrameLength + i] = static_cast<char>(kFrameHeader[i]);
        out.write(frames.data(), static_cast<std::streamsize>(frames.size()));
    }
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size - 128));
    std::string tag(128, '\0');
    PutText(tag, 0, "TAG", 3);
    PutText(tag, 3, song.title, 30);
    PutText(tag, 33, song.artist, 30);
    PutText(tag, 93, "2026", 4);
    tag[127] = static_cast<char>(song.genre);
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(tag.data(), 128);
}

std::string ArrangedForShuffle(const LineList& wanted, uint32_t seed) {
    LineList order;
    for (size_t i = 0; i < wanted.size(); ++i) order.push_back(std::to_string(i));
    CountingSeeds seeds(seed);
    HeadlessView view;
    ShuffleList(order, seeds, view);
    // After the shuffle, position i holds the line that stood at order[i].
    LineList arranged(wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) arranged[std::stoul(order[i])] = wanted[i];
    return FormatLines(arranged);
}

int RecordingView::Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(statuses.begin(), statuses.end(), [&](const std::string& s) {
        return s.rfind(prefix, 0) == 0;
    }));
}

std::string StationFixture::SongPath(const SongSpec& song) const {
    std::string name = song.artist + " - " + song.title + ".mp3";
    for (char& c : name)
        if (c == '/') c = '-';
    return dir / ("songs/" + name);
}

std::string StationFixture::Playlist(const std::string& name, const std::vector<SongSpec>& songs) {
    std::filesystem::create_directories(dir / "songs");
    LineList lines;
    for (const SongSpec& song : songs) {
        WriteSong(SongPath(song), song);
        lines.push_back(SongPath(song));
    }
    dir.Write(name, FormatLines(lines));
    return dir / name;
}

std::string StationFixture::ShuffledPlaylist(const std::string& name,
                                             const std::vector<SongSpec>& songs, int index) {
    const std::string path = Playlist(name, songs);
    dir.Write(name, ArrangedForShuffle(Lines(path), 1000 + static_cast<uint32_t>(index)));
    return path;
}

LineList StationFixture::Lines(const std::string& path) const {
    LineList lines;
    LoadList(path, lines);
    return lines;
}

}  // namespace kestrune::testing
