#pragma once
// A small station on disk for build tests: songs whose playing time, artist, title and genre
// are chosen, category playlists, and a view and prompts that record what the user would see.

#include <string>
#include <vector>

#include "building/BuildContext.h"
#include "support/TempDir.h"

namespace kestrune::testing {

struct TestSong {
    int seconds = 0;
    std::string artist;
    std::string title;
    int genre = 255;
    std::string album = std::string();
    bool tagged = true;  // false: the file has no tag (the reader's fallbacks apply)
};

// Writes an MP3 file whose constant-bit-rate playing time is exactly `seconds` (the file is
// sparse: two frames at the start, the tag at the end).
void WriteSong(const std::string& path, const TestSong& song);

// The file text that a shuffle with `seed` turns into `wanted`, line for line.
std::string ArrangedForShuffle(const LineList& wanted, uint32_t seed);

class RecordingView : public HeadlessView {
public:
    void ShowStatus(const std::string& text) override {
        statuses.push_back(text);
        HeadlessView::ShowStatus(text);
    }
    int Count(const std::string& prefix) const;
    std::vector<std::string> statuses;
};

class ScriptedPrompts : public Prompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    int AskOpenError(const std::string& fileName) override {
        openErrors.push_back(fileName);
        return kAnswerIgnore;
    }
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override {
        questions.push_back(question);
        return saveAnswer;
    }
    bool AskYesNo(const std::string& text) override {
        yesNoQuestions.push_back(text);
        return yesNoAnswer;
    }
    std::vector<std::string> messages;
    std::vector<std::string> openErrors;
    std::vector<SaveQuestion> questions;
    std::optional<std::string> saveAnswer;
    std::vector<std::string> yesNoQuestions;
    bool yesNoAnswer = false;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return now; }
    int64_t UtcMillisecondsOfDay() const override { return millis; }
    LocalDateTime now{2026, 12, 6, 18, 5, 0, 0};
    int64_t millis = 65131000;
};

// A session, its context and a folder to hold its files.
struct StationFixture {
    TempDir dir;
    BuildSession session;
    RecordingView view;
    ScriptedPrompts prompts;
    CountingSeeds seeds{1000};
    FixedClock clock;
    BuildContext context{session, view, prompts, seeds, clock};

    // Writes the songs under songs/ and a playlist of them; answers the playlist's path.
    std::string Playlist(const std::string& name, const std::vector<TestSong>& songs);
    // The same, with its lines arranged so that the start shuffle of the build leaves them in
    // the given order; `index` is the playlist's place in the sorted master list.
    std::string ShuffledPlaylist(const std::string& name, const std::vector<TestSong>& songs,
                                 int index);
    std::string SongPath(const TestSong& song) const;
    LineList Lines(const std::string& path) const;
};

}  // namespace kestrune::testing
