// The reader on a messy station library made by real tools (the fixture step runs
// make_messy_library.py): lengths against ffprobe, tags against what was written, and the
// settings that give back the old reading.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "building/PlaylistBuilder.h"
#include "listtools/QuickList.h"
#include "mpgtools/MPGTools.h"
#include "platform/LineList.h"
#include "support/Station.h"
#include "support/TagLibSetup.h"
#include "support/TempDir.h"
#include "tags/LibrarySettings.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    int64_t ffprobeMs = 0;
    bool refused = false;  // no reader here can time it
    std::string tagSource, title, artist, album, year, genre, isrc, label;
};

std::string Library() {
    const char* folder = std::getenv("KESTRUNE_MESSY_LIBRARY");
    return folder == nullptr ? std::string() : std::string(folder);
}

std::vector<Entry> Manifest() {
    std::vector<Entry> entries;
    std::ifstream in(Library() + "/manifest.tsv");
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t')) f.push_back(field);
        f.resize(11);
        entries.push_back({f[0], std::stoll(f[1]), f[2] == "refused", f[3], f[4], f[5], f[6], f[7],
                           f[8], f[9], f[10]});
    }
    return entries;
}

class MessyLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        if (Library().empty()) GTEST_SKIP() << "KESTRUNE_MESSY_LIBRARY is not set";
        entries_ = Manifest();
        ASSERT_GE(entries_.size(), 30u);
    }
    std::vector<Entry> entries_;
};

TEST_F(MessyLibrary, LengthsAgreeWithFfprobeAndTagsWithWhatWasWritten) {
    TMPEGAudio reader{testing::TagLibSetup()};
    std::vector<std::string> asked;
    reader.ErrorCallback = [&asked](const TMPEGFileInfo& info) {
        asked.push_back(info.FileName);
        return uint16_t{5};
    };
    int64_t worst = 0;
    for (const Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        asked.clear();
        reader.SetFileName(Library() + "/" + e.name);
        const TMPEGFileInfo& info = reader.MPEGFileInfo;
        if (e.refused) {
            // Never a made-up length: no playing time, the question names the file, and the
            // reason says which format could not be timed.
            EXPECT_EQ(info.DurationMs, 0);
            EXPECT_EQ(info.Duration, 0);
            EXPECT_TRUE(info.Format.empty());
            EXPECT_FALSE(info.Problem.empty());
            EXPECT_EQ(asked, std::vector<std::string>{Library() + "/" + e.name});
            continue;
        }
        const int64_t difference = std::llabs(info.DurationMs - e.ffprobeMs);
        worst = std::max(worst, difference);
        EXPECT_LE(difference, 50) << info.DurationMs << " against " << e.ffprobeMs;
        EXPECT_LE(std::llabs(info.Duration * 1000LL - e.ffprobeMs), 550);
        EXPECT_TRUE(asked.empty());
        EXPECT_TRUE(info.Problem.empty()) << info.Problem;
        EXPECT_FALSE(info.Format.empty());
        EXPECT_EQ(info.TagSource, e.tagSource);
        if (e.tagSource != "none") {
            EXPECT_NE(reader.GetArtist(), "Unknown Artist");
        }
        if (!e.title.empty()) {
            EXPECT_EQ(reader.GetTitle(), e.title);
        }
        if (!e.artist.empty()) {
            EXPECT_EQ(reader.GetArtist(), e.artist);
        }
        if (!e.album.empty()) {
            EXPECT_EQ(info.Album, e.album);
        }
        if (!e.year.empty()) {
            EXPECT_EQ(info.Year, e.year);
        }
        if (!e.genre.empty()) {
            EXPECT_EQ(reader.GetGenreText(), e.genre);
        }
        // Every file: those without the two fields must read none.
        EXPECT_EQ(info.Isrc, e.isrc);
        EXPECT_EQ(info.Label, e.label);
    }
    RecordProperty("worst_difference_ms", static_cast<int>(worst));
}

TEST_F(MessyLibrary, FilesThatCannotBeTimedArePassedOverAndNamed) {
    testing::StationFixture f;
    f.context.reader = testing::TagLibSetup();
    LineList songs;
    std::vector<std::string> refused;
    for (const Entry& e : entries_) {
        if (!e.refused) continue;
        songs.push_back(Library() + "/" + e.name);
        refused.push_back(Library() + "/" + e.name);
    }
    ASSERT_GE(refused.size(), 5u);
    songs.push_back(Library() + "/untagged-jingle.mp3");
    f.dir.Write("mixed.m3u", FormatLines(songs));
    const std::string list = f.dir / "mixed.m3u";
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.ComboBox1 = "1";
    BuildPlaylist(f.context);
    // Only the jingle has a playing time; each of the others is named as passed over.
    for (const std::string& song : f.session.lbFinalPlaylist)
        EXPECT_EQ(song, Library() + "/untagged-jingle.mp3");
    EXPECT_FALSE(f.session.lbFinalPlaylist.empty());
    const std::vector<std::string>& problems = f.view.Problems();
    for (const std::string& path : refused) {
        const std::string named =
            "Passed over " + path + ": it cannot be played (no playing time).";
        EXPECT_EQ(std::count(problems.begin(), problems.end(), named), 1) << path;
    }
}

TEST_F(MessyLibrary, Id3v1SettingGivesBackTheOldReading) {
    LibrarySettings old;
    old.id3v1Only = true;
    TMPEGAudio reader{testing::TagLibSetup(old)};
    reader.SetFileName(Library() + "/v23-utf16-cover.mp3");
    EXPECT_EQ(reader.GetArtist(), "Unknown Artist");
    EXPECT_EQ(reader.MPEGFileInfo.Title, "v23-utf16-cover.mp3");
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 8);  // the length is the audio's all the same
    reader.SetFileName(Library() + "/id3v1-latin1.mp3");
    EXPECT_EQ(reader.GetArtist(), "J\xFCrgen Gro\xDF");  // Latin-1 bytes as stored
    EXPECT_EQ(reader.MPEGFileInfo.TagSource, "ID3v1");
    reader.SetFileName(Library() + "/v23-over-id3v1.mp3");
    EXPECT_EQ(reader.GetTitle(), "Lower Title");
}

TEST_F(MessyLibrary, PathsLongerThan255BytesAreRead) {
    testing::TempDir dir;
    std::string folder = dir.Path();
    while (folder.size() < 400) folder += "/a-rather-long-folder-name-for-the-station";
    fs::create_directories(folder);
    const std::string path = folder + "/v24-utf8-cjk.mp3";
    fs::copy_file(Library() + "/v24-utf8-cjk.mp3", path);
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.AutoLoad = false;
    reader.SetFileName(path);
    EXPECT_EQ(reader.Load(), 0);
    EXPECT_EQ(reader.GetFileName(), path);
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 6);
    EXPECT_EQ(reader.MPEGFileInfo.Album, "\xE3\x83\x8D\xE3\x82\xAA\xE3\x83\xB3");  // ネオン
}

TEST_F(MessyLibrary, TheBuilderPlacesTheOtherFormatsLikeMp3Files) {
    testing::StationFixture f;
    f.context.reader = testing::TagLibSetup();
    LineList songs;
    for (const Entry& e : entries_) {
        if (!MatchesMP3Mask(e.name) && !e.refused) songs.push_back(Library() + "/" + e.name);
    }
    ASSERT_EQ(songs.size(), 7u);
    f.dir.Write("formats.m3u", FormatLines(songs));
    const std::string list = f.dir / "formats.m3u";
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.ComboBox1 = "1";  // placed until 30 s: five of the seven-second files
    BuildPlaylist(f.context);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 5u);
    EXPECT_TRUE(f.prompts.openErrors.empty());
    EXPECT_EQ(f.view.Status().rfind("Playlist is complete and is exactly 0:00:35.", 0), 0u);
    int logged = 0;
    for (const std::string& line : f.session.mTextOutput)
        logged += line.find(
                      "Format Fan - \"\xC3\x9Cn\xC3\xAF"
                      "code ") != std::string::npos;
    EXPECT_EQ(logged, 5);
}

TEST_F(MessyLibrary, QuickListListsEveryFormatUnlessMp3Only) {
    const LineList all = MP3FileNames(Library(), LibrarySettings{});
    EXPECT_EQ(all.size(), entries_.size());
    LibrarySettings mp3;
    mp3.mp3Only = true;
    const LineList onlyMp3 = MP3FileNames(Library(), mp3);
    EXPECT_LT(onlyMp3.size(), all.size());
    for (const std::string& name : onlyMp3) EXPECT_TRUE(MatchesMP3Mask(name)) << name;
}

}  // namespace
}  // namespace kestrune
