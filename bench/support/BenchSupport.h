#pragma once
// What the benchmarks share: a scratch folder, the file collections they work on (generated
// songs, songs made by a real encoder, a station of category playlists, a music collection
// for the tag pass), a clock and prompts that never wait, and the I/O floor: a recorded run
// replayed with the fewest system calls that do the same reads and writes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "platform/Clock.h"
#include "platform/FileTrace.h"
#include "platform/LineList.h"

namespace kestrune::bench {

// A fresh folder under $KESTRUNE_BENCH_DIR (default: the system's temporary folder), removed
// with everything in it at the end, unless $KESTRUNE_BENCH_KEEP is set (the caller removes it).
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Generated songs: song-sized files whose middle is a hole (real frame headers at the start,
// the ID3v1 tag at the end): constant bit rates from 128 to 320 kbit/s, one in ten with a Xing
// header, one in ten behind a 4 to 36 KB ID3v2 block, a few MPEG-2 and single-channel files.
// Written into folders of `perFolder` files each; the paths in order.
std::vector<std::string> MakeGeneratedSongs(const std::string& folder, int count, int perFolder);

// Songs made by the lame encoder (three-second clips of eight encodings: constant, variable and
// average bit rates, single channel, MPEG-2, one behind an ID3v2 tag), copied `count` times
// with an ID3v1 tag of their own each. Throws when lame is missing.
std::vector<std::string> MakeEncodedSongs(const std::string& folder, int count);

// A library as a common tagger leaves it: the same lame-made clips behind an ID3v2.3 tag each
// (title, artist, album, year, genre, track; Latin-1 and UTF-16 in turn), a cover of
// `coverBytes` on every third file and an ID3v1 tag on every second. Throws when lame is missing.
std::vector<std::string> MakeLibrarySongs(const std::string& folder, int count, size_t coverBytes);

// A station of seven categories for the builder: three of music (150 to 300 seconds), four of
// spots (10 to 60 seconds); `songsPerCategory` files in each, artists and genres repeating.
class Station {
public:
    Station(const std::string& folder, int songsPerCategory);
    // Category playlists of the first `songs` files of each category, freshly written; the
    // session gets them, a current-hit clock over them, 1440 minutes and both checks on.
    void Prepare(int songs, BuildSession& session) const;
    // The playlists' paths for the first `songs` of each category.
    std::vector<std::string> Playlists(int songs) const;

private:
    std::string folder_;
    std::vector<std::vector<std::string>> songs_;  // per category
};

// A music collection for the tag pass, in nested folders: the folder for n files holds the
// folder for the next smaller size, so that each size is a subset of the next. File i has
// artist i / 15, album i / 10, one of 60 years and one of 40 genres: artists and albums grow
// with the collection, years and genres stay.
class TagCollection {
public:
    TagCollection(const std::string& folder, const std::vector<int>& sizes);
    // The folder that holds exactly `size` files (one of the sizes given).
    std::string Folder(int size) const;
    std::string Playlists() const;
    void ClearPlaylists() const;

private:
    std::string folder_;
    std::vector<int> sizes_;
};

class QuietPrompts : public Prompts {
public:
    void ShowMessage(const std::string&) override { ++messages; }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override { return answer; }
    int messages = 0;
    std::optional<std::string> answer;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return {2026, 12, 8, 4, 0, 0, 0}; }
    int64_t UtcMillisecondsOfDay() const override { return 14400000; }
};

// The floor of a recorded run: the same file operations in the same order, each done the
// plainest way: a status asked is one stat; a whole read is open, read, close; a replacement
// is a new file beside the target written and renamed over it (the least that keeps a file
// whole when the writer dies); block reads are open, fstat, pread for each block, close.
struct FloorOptions {
    bool statuses = true;  // replay the existence tests
    // Replace a file that exists by swapping names with a kept old body written over, as the
    // tag pass does (the least that keeps a file whole without making a file per write).
    bool reuseTemporaries = false;
};
class IoFloor {
public:
    explicit IoFloor(FileTrace trace, FloorOptions options = {});
    void Replay() const;
    const FileTrace& Trace() const { return trace_; }
    int64_t Count(FileOp op) const;
    int64_t Bytes(FileOp op) const;

private:
    FileTrace trace_;
    FloorOptions options_;
    size_t largest_ = 0;
};

// Runs `work` with a trace installed and answers the trace.
template <typename Work>
FileTrace Record(Work&& work) {
    FileTrace trace;
    SetFileTrace(&trace);
    try {
        work();
    } catch (...) {
        SetFileTrace(nullptr);
        throw;
    }
    SetFileTrace(nullptr);
    return trace;
}

}  // namespace kestrune::bench
