// A 24-hour build from seven category playlists of 5,000 songs each, both checks on, without a
// window: the builder alone, and the whole build command (checks, repair, build).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "SparseSong.h"
#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "platform/Files.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrune;

constexpr int kCategories = 7;
constexpr int kSongsPerCategory = 5000;

class QuietPrompts : public Prompts {
public:
    void ShowMessage(const std::string&) override {}
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override {
        return std::nullopt;
    }
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return {2026, 12, 8, 4, 0, 0, 0}; }
    int64_t UtcMillisecondsOfDay() const override { return 14400000; }
};

// Seven categories: three of music (2.5 to 5 minutes), four of spots (10 to 60 seconds).
class Station {
public:
    Station() {
        std::random_device device;
        root_ = fs::temp_directory_path() / ("kestrune-buildbench-" + std::to_string(device()));
        std::mt19937 random(1440);
        for (int c = 0; c < kCategories; ++c) {
            const bool music = c < 3;
            const fs::path folder = root_ / "Music" / ("Category " + std::to_string(c));
            fs::create_directories(folder);
            LineList lines;
            for (int i = 0; i < kSongsPerCategory; ++i) {
                synth::Id3v1Tag tag;
                tag.title = "Title " + std::to_string(i);
                tag.artist = "Artist " + std::to_string(c) + "-" + std::to_string(random() % 900);
                tag.genre = static_cast<uint8_t>(random() % 12);
                const int seconds = music ? 150 + static_cast<int>(random() % 150)
                                          : 10 + static_cast<int>(random() % 50);
                const std::string path = (folder / ("Song " + std::to_string(i) + ".mp3")).string();
                synth::WriteSparseSong(path, seconds, tag);
                lines.push_back(path);
            }
            playlists_.push_back((root_ / ("category" + std::to_string(c) + ".m3u")).string());
            originals_.push_back(FormatLines(lines));
        }
    }
    ~Station() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // A fresh session over freshly written category files.
    void Reset(BuildSession& session) const {
        for (int c = 0; c < kCategories; ++c) ReplaceWholeFile(playlists_[c], originals_[c]);
        session = BuildSession();
        for (const std::string& path : playlists_) session.lbMasterPlaylists.Add(path);
        // A current-hit clock: music and spots, with back-to-back songs now and then.
        for (int slot : {6, 0, 3, 1, 2, 4, 0, 5, 1, 3, 0, 2, 6, 1, 4, 0})
            session.lbClockwheelTemplate.push_back(playlists_[slot]);
        session.ComboBox1 = "1440";
        session.fGenre.cbGenreCheck = true;
        session.SetOutputFile((root_ / "day.m3u").string());
    }

private:
    fs::path root_;
    std::vector<std::string> playlists_;
    std::vector<std::string> originals_;
};

const Station& TheStation() {
    static const Station station;
    return station;
}

template <bool kWholeCommand>
void BM_DayBuild(benchmark::State& state) {
    const Station& station = TheStation();
    BuildSession session;
    HeadlessView view;
    QuietPrompts prompts;
    FixedClock clock;
    CountingSeeds seeds(7);
    BuildContext context{session, view, prompts, seeds, clock};
    size_t songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        station.Reset(session);
        state.ResumeTiming();
        if (kWholeCommand) {
            btBuildPlaylistClick(context);
        } else {
            BuildPlaylist(context);
        }
        songs = session.lbFinalPlaylist.size();
    }
    state.counters["songs"] = static_cast<double>(songs);
    if (view.Status().rfind("Playlist is complete", 0) != 0)
        state.SkipWithError(view.Status().c_str());
}

BENCHMARK(BM_DayBuild<false>)
    ->Name("BM_DayBuild/builder")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_DayBuild<true>)
    ->Name("BM_DayBuild/command")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
