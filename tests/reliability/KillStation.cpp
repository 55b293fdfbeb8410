// The kill test's station and its checks.
//
// kestrune_kill_station make FOLDER
//   Writes the station: songs, spots and jingles with ID3v1 tags (sparse files of real MPEG
//   frames, so that a day's worth costs little disk), files that the reader cannot make sense
//   of, raw sound for the script to encode with lame, five category playlists of several
//   hundred lines each, sessions from three hours to a whole day, and the schedule file.
//   FOLDER must be an absolute path that does not exist yet.
//
// kestrune_kill_station check FOLDER INITIAL REFERENCE
//   After a kill: every playlist of INITIAL/ stands in FOLDER/Playlists/ whole and with exactly
//   its lines (as a multiset); every file in FOLDER/Output/ is whole and every line of its
//   playlists names a file of the station; every tag playlist (FOLDER/Playlists/_*) is whole
//   and a beginning of the file of the same name in REFERENCE/; the play history
//   (FOLDER/Sessions/play_history.txt), where there is one, is whole and every line of it reads
//   as a play. "Whole": not empty, every line ended by CR LF. Prints the number of temporary files in the station; exits 1 on the first
//   problem, after naming it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "platform/FileSetReplace.h"
#include "SparseSong.h"

namespace {

namespace fs = std::filesystem;
using kestrune::synth::Id3v1Tag;

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t Below(uint32_t range) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<uint32_t>((static_cast<uint64_t>(state_) * range) >> 32);
    }

private:
    uint32_t state_;
};

void WriteLines(const fs::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

struct Category {
    std::string name;
    std::string folder;
    int count;
    int shortest;
    int longest;
    int lines;  // lines of its playlist, songs repeated as needed
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void Problem(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::exit(1);
}

// The lines of a whole file: not empty, each line ended by CR LF, no other CR or LF.
std::vector<std::string> WholeLines(const fs::path& path) {
    const std::string bytes = Slurp(path);
    if (bytes.empty()) Problem(path.string() + " is empty");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos || bytes[end] != '\r' || end + 1 >= bytes.size() ||
            bytes[end + 1] != '\n')
            Problem(path.string() + " is cut in a line or has a stray line end");
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<fs::path> Files(const fs::path& folder, const std::string& prefix = "") {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        // A writer's temporary left by a kill may hold any beginning, even nothing: it is no
        // playlist, and the count of leftovers below answers for it.
        if (name[0] == '.' && name.find(".kestrune-") != std::string::npos) continue;
        if (entry.is_regular_file() && name.compare(0, prefix.size(), prefix) == 0)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

int Check(const fs::path& station, const fs::path& initial, const fs::path& reference) {
    // As the next job sees the station: it carries through what a killed one began as one step.
    kestrune::FinishUnfinishedReplace((station / "Sessions").string());
    for (const fs::path& made : Files(initial)) {
        std::vector<std::string> before = WholeLines(made);
        std::vector<std::string> now = WholeLines(station / "Playlists" / made.filename());
        std::sort(before.begin(), before.end());
        std::sort(now.begin(), now.end());
        if (before != now)
            Problem((station / "Playlists" / made.filename()).string() + " lost or gained lines");
    }
    const std::string music = (station / "Music").string() + "/";
    for (const fs::path& output : Files(station / "Output")) {
        const std::vector<std::string> lines = WholeLines(output);
        if (output.extension() != ".m3u") continue;
        for (const std::string& line : lines) {
            if (line.compare(0, music.size(), music) != 0 || !fs::is_regular_file(line))
                Problem(output.string() + " has a line that names no song: " + line);
        }
    }
    for (const fs::path& tags : Files(station / "Playlists", "_")) {
        WholeLines(tags);
        const fs::path full = reference / tags.filename();
        if (!fs::exists(full)) Problem(tags.string() + " is not written by an uninterrupted run");
        const std::string bytes = Slurp(tags);
        if (Slurp(full).compare(0, bytes.size(), bytes) != 0)
            Problem(tags.string() + " is not a beginning of what an uninterrupted run writes");
    }
    if (const fs::path history = station / "Sessions" / "play_history.txt"; fs::exists(history)) {
        for (const std::string& line : WholeLines(history)) {
            // "2026-12-07 00:00:00", then the seconds, artist, title, album and file.
            const bool dated = line.size() > 20 && line[4] == '-' && line[7] == '-' &&
                               line[10] == ' ' && line[13] == ':' && line[16] == ':' &&
                               line[19] == '\t';
            if (!dated || std::count(line.begin(), line.end(), '\t') != 5)
                Problem(history.string() + " has a line that is no play: " + line);
        }
    }
    // An hour and its plays are one step: every hour playlist of the week on disk has exactly
    // its songs as plays of that hour in the history, and an hour not on disk has none.
    std::map<std::string, std::vector<std::string>> playsByHour;
    if (const fs::path history = station / "Sessions" / "play_history.txt"; fs::exists(history)) {
        for (const std::string& line : WholeLines(history)) {
            const size_t file = line.rfind('\t');
            if (line.size() > 13 && file != std::string::npos)
                playsByHour[line.substr(0, 13)].push_back(line.substr(file + 1));
        }
    }
    for (const char* hour : {"00", "01", "02"}) {
        const fs::path playlist = station / "Output" / (std::string("hour_2026-12-07_") + hour + ".m3u");
        std::vector<std::string> plays = playsByHour[std::string("2026-12-07 ") + hour];
        std::vector<std::string> songs;
        if (fs::exists(playlist)) songs = WholeLines(playlist);
        std::sort(plays.begin(), plays.end());
        std::sort(songs.begin(), songs.end());
        if (plays != songs)
            Problem(playlist.string() + " holds " + std::to_string(songs.size()) +
                    " songs, the history " + std::to_string(plays.size()) + " plays of its hour");
    }
    // A build's playlist and its text log are one step too: the log names as many songs.
    for (const fs::path& output : Files(station / "Output")) {
        const fs::path log = output.string() + ".txt";
        if (output.extension() != ".m3u" || !fs::exists(log)) continue;
        size_t logged = 0;
        for (const std::string& line : WholeLines(log))
            logged += !line.empty() && line[0] >= '0' && line[0] <= '9' &&
                              line.find(" - \"") != std::string::npos
                          ? 1
                          : 0;
        if (logged != WholeLines(output).size())
            Problem(log.string() + " names " + std::to_string(logged) + " songs, " +
                    output.string() + " holds " + std::to_string(WholeLines(output).size()));
    }
    int temporaries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(station)) {
        const std::string name = entry.path().filename().string();
        // ".NAME.kestrune-tmp", and any other name a writer of ours has ever used.
        if (name[0] == '.' && name.find(".kestrune-") != std::string::npos) ++temporaries;
    }
    std::printf("%d\n", temporaries);
    return 0;
}

int Make(const fs::path& station) {
    const fs::path music = station / "Music";
    for (const char* sub : {"Music", "Music/Lame", "Playlists", "Sessions", "Output"})
        fs::create_directories(station / sub);

    const Category categories[] = {
        {"hits", "Current Hits", 60, 170, 290, 700}, {"oldies", "Oldies", 45, 140, 260, 500},
        {"spots", "Spots", 20, 15, 60, 300},         {"jingles", "Jingles", 12, 4, 12, 200},
        {"promos", "Promos", 10, 20, 45, 150},
    };
    const uint8_t genres[] = {13, 17, 11, 3, 2, 8, 12};
    Random random(2026);
    std::vector<std::vector<std::string>> songs(std::size(categories));
    for (size_t c = 0; c < std::size(categories); ++c) {
        const Category& category = categories[c];
        fs::create_directories(music / category.folder);
        for (int i = 0; i < category.count; ++i) {
            Id3v1Tag tag;
            tag.artist = category.name == "hits" || category.name == "oldies"
                             ? "Artist " + std::to_string(random.Below(40))
                             : "Station Voice";
            tag.title = category.folder + " " + std::to_string(i);
            tag.album = "Album " + std::to_string(random.Below(15));
            tag.year = std::to_string(1960 + random.Below(66));
            tag.genre = genres[random.Below(std::size(genres))];
            const int seconds = category.shortest +
                                static_cast<int>(random.Below(
                                    static_cast<uint32_t>(category.longest - category.shortest)));
            const fs::path path =
                music / category.folder / (tag.artist + " - " + tag.title + ".mp3");
            kestrune::synth::WriteSparseSong(path.string(), seconds, tag);
            songs[c].push_back(path.string());
        }
    }
    // Files that exist but that the reader cannot read as MP3: placed with no playing time.
    {
        std::ofstream(music / "Current Hits" / "not really.mp3", std::ios::binary)
            << kestrune::synth::Junk(5000, 3);
        std::ofstream(music / "Oldies" / "empty.mp3", std::ios::binary);
        songs[0].push_back((music / "Current Hits" / "not really.mp3").string());
        songs[1].push_back((music / "Oldies" / "empty.mp3").string());
    }
    // Raw sound for lame: the script encodes each FILE.raw into FILE.mp3, tagged.
    for (int i = 0; i < 4; ++i) {
        const int rate = 22050;
        std::string pcm(static_cast<size_t>(rate) * 2 * 2, '\0');  // two seconds, mono
        uint32_t state = 77u + static_cast<uint32_t>(i);
        for (size_t s = 0; s < pcm.size() / 2; ++s) {
            state = state * 1664525u + 1013904223u;
            const int tone = (s / (20u + static_cast<size_t>(i) * 7u)) % 2 == 0 ? 5000 : -5000;
            const auto sample = static_cast<int16_t>(tone + static_cast<int>(state >> 21) - 1024);
            pcm[2 * s] = static_cast<char>(sample & 0xFF);
            pcm[2 * s + 1] = static_cast<char>((sample >> 8) & 0xFF);
        }
        const fs::path raw = music / "Lame" / ("encoded " + std::to_string(i) + ".raw");
        std::ofstream(raw, std::ios::binary) << pcm;
        const std::string mp3 =
            (music / "Lame" / ("encoded " + std::to_string(i) + ".mp3")).string();
        songs[i % 2 == 0 ? 3 : 4].push_back(mp3);  // among the jingles and the promos
    }

    std::vector<std::string> playlists;
    for (size_t c = 0; c < std::size(categories); ++c) {
        std::vector<std::string> lines;
        // Every song at least once, then random repeats: a playlist is a multiset of lines.
        lines = songs[c];
        while (static_cast<int>(lines.size()) < categories[c].lines)
            lines.push_back(songs[c][random.Below(static_cast<uint32_t>(songs[c].size()))]);
        for (size_t i = lines.size() - 1; i > 0; --i)
            std::swap(lines[i], lines[random.Below(static_cast<uint32_t>(i + 1))]);
        const fs::path path = station / "Playlists" / (categories[c].name + ".m3u");
        WriteLines(path, lines);
        playlists.push_back(path.string());
    }
    const std::string& hits = playlists[0];
    const std::string& oldies = playlists[1];
    const std::string& spots = playlists[2];
    const std::string& jingles = playlists[3];
    const std::string& promos = playlists[4];

    const auto session = [&](const std::string& name, const std::vector<std::string>& masters,
                             const std::vector<std::string>& slots, int minutes,
                             const std::string& options, const std::string& dupeHours) {
        std::vector<std::string> lines = masters;
        lines.push_back("#");
        lines.insert(lines.end(), slots.begin(), slots.end());
        lines.insert(lines.end(),
                     {"##", std::to_string(minutes), "###",
                      (station / "Output" / (name + ".m3u")).string(), "####", options});
        if (options[2] == '1') lines.push_back(dupeHours);
        WriteLines(station / "Sessions" / (name + ".cwt"), lines);
        return (station / "Sessions" / (name + ".cwt")).string();
    };
    session("day", playlists, {hits, jingles, oldies, hits, spots, hits, promos, oldies}, 1440,
            "111", "2");
    const std::string morning =
        session("morning", {hits, jingles, spots}, {hits, jingles, hits, spots}, 180, "001", "1");
    const std::string evening =
        session("evening", {oldies, promos, hits}, {oldies, promos, oldies, hits}, 240, "010", "");
    const std::string night =
        session("night", playlists, {oldies, jingles, hits, spots, promos}, 360, "101", "3");
    WriteLines(station / "auto_build.cws", {night, morning, evening});
    // The week's run: three hours of one Monday, one after the other.
    // Artists apart for a day: the history keeps the plays of all three hours, so each hour
    // on disk can be checked against its plays.
    session("hour", {hits, jingles, spots}, {hits, hits, jingles, hits, spots}, 60, "001", "24");
    WriteLines(station / "Sessions" / "week.kwg", {"Mon 00 hour.cwt", "Mon 01 hour.cwt",
                                                   "Mon 02 hour.cwt"});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "make" && fs::path(args[1]).is_absolute() &&
        !fs::exists(args[1]))
        return Make(args[1]);
    if (args.size() == 4 && args[0] == "check") return Check(args[1], args[2], args[3]);
    std::fprintf(stderr,
                 "usage: kestrune_kill_station make NEW_ABSOLUTE_FOLDER\n"
                 "       kestrune_kill_station check FOLDER INITIAL REFERENCE\n");
    return 2;
}
