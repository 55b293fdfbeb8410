#include "support/Station.h"

#include "SparseSong.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kestrune::testing {

void WriteSong(const std::string& path, const TestSong& song) {
    synth::Id3v1Tag tag;
    tag.title = song.title;
    tag.artist = song.artist;
    tag.year = "2026";
    tag.genre = static_cast<uint8_t>(song.genre);
    tag.album = song.album;
    if (!song.tagged) tag.header = "---";
    synth::WriteSparseSong(path, song.seconds, tag);
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
    return static_cast<int>(
        std::count_if(statuses.begin(), statuses.end(),
                      [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
}

std::string StationFixture::SongPath(const TestSong& song) const {
    std::string name = song.artist + " - " + song.title +
                       (song.album.empty() ? "" : " (" + song.album + ")") + ".mp3";
    for (char& c : name)
        if (c == '/') c = '-';
    return dir / ("songs/" + name);
}

std::string StationFixture::Playlist(const std::string& name, const std::vector<TestSong>& songs) {
    std::filesystem::create_directories(dir / "songs");
    LineList lines;
    for (const TestSong& song : songs) {
        WriteSong(SongPath(song), song);
        lines.push_back(SongPath(song));
    }
    dir.Write(name, FormatLines(lines));
    return dir / name;
}

std::string StationFixture::ShuffledPlaylist(const std::string& name,
                                             const std::vector<TestSong>& songs, int index) {
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
