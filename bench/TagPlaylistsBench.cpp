// The tag pass over a generated collection of 10,000 MP3 files: the "Go!" command with all four
// boxes ticked, and its parts (the search alone, the reading alone).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "Mp3Synth.h"
#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "listtools/TagPlaylists.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrune;

constexpr int kFiles = 10000;
constexpr int kFolders = 80;
constexpr int kArtists = 40;
constexpr int kAlbums = 60;
constexpr int kYears = 30;
constexpr int kGenres = 25;

class SilentPrompts : public Prompts {
public:
    void ShowMessage(const std::string&) override { ++messages; }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override {
        return std::nullopt;
    }
    int messages = 0;
};

// A station folder with Music/ (the collection) and Playlists/, made once for all runs.
class Collection {
public:
    Collection() {
        std::random_device device;
        root_ = fs::temp_directory_path() / ("kestrune-tagbench-" + std::to_string(device()));
        fs::create_directories(root_ / "Playlists");
        std::mt19937 random(20261208);
        for (int i = 0; i < kFiles; ++i) {
            const int folder = i % kFolders;
            const fs::path dir = root_ / "Music" / ("Crate " + std::to_string(folder / 10)) /
                                 ("Box " + std::to_string(folder));
            if (i < kFolders) fs::create_directories(dir);
            synth::Id3v1Tag tag;
            tag.title = "Song number " + std::to_string(i);
            tag.artist = "The Artist No. " + std::to_string(random() % kArtists) + "!";
            tag.album = "Album " + std::to_string(random() % kAlbums) + " / Remastered";
            tag.year = std::to_string(1960 + random() % kYears);
            tag.genre = static_cast<uint8_t>(random() % kGenres * 5);
            synth::FileSpec layout;
            layout.frame.bitRateIndex = 9;
            layout.frames = 3;
            layout.tag = tag;
            synth::WriteFile((dir / ("Track " + std::to_string(i) + ".mp3")).string(),
                             synth::BuildFile(layout));
        }
    }
    ~Collection() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Music() const { return (root_ / "Music").string(); }
    std::string Playlists() const { return (root_ / "Playlists").string(); }
    void ClearPlaylists() const {
        std::error_code ec;
        fs::remove_all(root_ / "Playlists", ec);
        fs::create_directories(root_ / "Playlists");
    }

private:
    fs::path root_;
};

const Collection& TheCollection() {
    static const Collection collection;
    return collection;
}

void RunGo(benchmark::State& state, const TagCategories& boxes) {
    const Collection& collection = TheCollection();
    TagSearch search{collection.Music(), boxes, collection.Playlists()};
    for (auto _ : state) {
        state.PauseTiming();
        collection.ClearPlaylists();
        BuildSession session;
        HeadlessView view;
        SilentPrompts prompts;
        state.ResumeTiming();
        btnSearchForFilesClick(search, session, view, prompts);
        if (session.lbFiles.size() != static_cast<size_t>(kFiles) || prompts.messages != 1)
            state.SkipWithError("the pass did not take every file");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_TagPlaylistsAllFourBoxes(benchmark::State& state) {
    RunGo(state, TagCategories{true, true, true, true});
}
BENCHMARK(BM_TagPlaylistsAllFourBoxes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_TagPlaylistsNoBox(benchmark::State& state) {
    RunGo(state, TagCategories{});
}
BENCHMARK(BM_TagPlaylistsNoBox)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_FindMP3Files(benchmark::State& state) {
    const Collection& collection = TheCollection();
    for (auto _ : state) {
        LineList files;
        FindMP3Files(collection.Music(), files);
        benchmark::DoNotOptimize(files.data());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_FindMP3Files)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
