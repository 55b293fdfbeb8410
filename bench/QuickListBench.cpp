// The quick list of one folder of 10,000 MP3 files (and a few others): the folder's MP3 file
// names as the "By Folder" page shows them, then "Save As Playlist" writing the list.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchSupport.h"
#include "Mp3Synth.h"
#include "listtools/QuickList.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kFiles = 10000;

const ScratchFolder& Folder() {
    static ScratchFolder folder("quicklist");
    static const bool made = [] {
        const std::string songs = folder / "Music";
        std::filesystem::create_directories(songs);
        const std::string bytes(2048, '\0');
        for (int i = 0; i < kFiles; ++i)
            synth::WriteFile(songs + "/Artist " + std::to_string(i % 300) + " - Song " +
                                 std::to_string(i) + (i % 7 == 0 ? ".MP3" : ".mp3"),
                             bytes);
        // What else lies in a music folder: pictures, notes, a hidden file.
        for (int i = 0; i < 50; ++i)
            synth::WriteFile(songs + "/cover" + std::to_string(i) + ".jpg", bytes);
        synth::WriteFile(songs + "/notes.txt", bytes);
        synth::WriteFile(songs + "/.hidden.mp3", bytes);
        return true;
    }();
    (void)made;
    return folder;
}

void BM_QuickList(benchmark::State& state) {
    const ScratchFolder& folder = Folder();
    BuildSession session;
    QuietPrompts prompts;
    prompts.answer = folder / "quick.m3u";
    SaveQuestion dialog = PlaylistSaveDialog(folder.Path());
    size_t lines = 0;
    for (auto _ : state) {
        QuickListFolder shown{"/", folder / "Music", MP3FileNames(folder / "Music", LibrarySettings{})};
        SaveAsList(shown, session, prompts, dialog);
        lines = session.lbListMakerMP3s.size();
    }
    if (lines != static_cast<size_t>(kFiles)) state.SkipWithError("not every MP3 file was listed");
    state.counters["files"] = static_cast<double>(lines);
}
BENCHMARK(BM_QuickList)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
