// kestrune-cli report on a station of real files: tags from the aired files (an ID3v2.3 tag with
// ISRC and label, an ID3v1 tag, a file gone), listeners from an access log as Icecast writes it,
// an exempt jingle, both forms.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "Mp3Synth.h"
#include "onair/AsPlayedLog.h"
#include "support/LocalTime.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::RunCliCopy;
using testing::TempDir;

// 2026-12-09 06:00 on this machine's clock, as the on-air script and the tool both take it.
int64_t SixLocal() { return testing::LocalMomentMs(2026, 12, 9, 6); }

// An ID3v2.3 tag of Latin-1 text frames.
std::string Id3v23(const std::vector<std::pair<std::string, std::string>>& frames) {
    std::string body;
    for (const auto& [id, text] : frames) {
        const std::string data = std::string(1, '\0') + text;
        const auto size = static_cast<uint32_t>(data.size());
        body += id + std::string{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                                 static_cast<char>(size >> 8), static_cast<char>(size)};
        body += std::string(2, '\0') + data;
    }
    const auto size = static_cast<uint32_t>(body.size());
    return std::string("ID3\x03\0\0", 6) +
           std::string{static_cast<char>(size >> 21 & 127), static_cast<char>(size >> 14 & 127),
                       static_cast<char>(size >> 7 & 127), static_cast<char>(size & 127)} +
           body;
}

// "[09/Dec/2026:06:01:45 +0000]" for Icecast's line of a connection that ended at `ms`.
std::string AccessTime(int64_t ms) { return "[" + testing::AccessLogTime(ms) + "]"; }

struct ReportStation {
    TempDir dir;
    std::string program = dir / "bin/kestrune-cli";
    ReportStation() {
        fs::create_directories(dir / "Playlists");
        fs::create_directories(dir / "Sessions");
        fs::create_directories(dir / "Music");
        fs::create_directories(dir / "bin");
        fs::copy_file(KESTRUNE_CLI_PATH, program);
        dir.Write("bin/kestrune.ini",
                  "[Rules]\r\nexempt=jingles.m3u\r\n[Report]\r\nservice=Test Radio\r\n");
        synth::FileLayout a;
        a.frames = 40;
        a.prefix = Id3v23({{"TIT2", "Song\nA"}, {"TPE1", "Artist A"}, {"TALB", "Album\tA"},
                           {"TSRC", "USAAA2600001"}, {"TPUB", "Label \"A\""}});
        synth::WriteFile(Song("a"), synth::BuildFile(a));
        synth::FileLayout b;
        b.frames = 40;
        b.tag = synth::Id3v1Tag{};
        b.tag->title = "Song B";
        b.tag->artist = "Artist, B";
        b.tag->album = "Album B";
        synth::WriteFile(Song("b"), synth::BuildFile(b));
        synth::WriteFile(Song("j"), synth::BuildFile(b));
        dir.Write("Playlists/jingles.m3u", "../Music/j.mp3\r\n");
        // a, the jingle, b, a again, a file gone since, and c still on air; seconds from 06:00.
        std::string log = "# Kestrune as-played log\n";
        for (const auto& [name, start, end] :
             std::vector<std::tuple<std::string, int, int>>{{"a", 0, 100},   {"j", 100, 110},
                                                            {"b", 110, 210}, {"a", 210, 310},
                                                            {"g", 310, 360}, {"c", 360, -1}}) {
            log += FormatUtcStamp(SixLocal() + start * 1000) + "\tstart\tplan\t" + Song(name) +
                   "\tLog " + name + "\tGone \"" + name + "\"\t" + dir / "Playlists/x.m3u8\n";
            if (end > 0)
                log += FormatUtcStamp(SixLocal() + end * 1000) + "\tend\t" +
                       std::to_string(end - start) + ".000\tended\t" + Song(name) + "\n";
        }
        dir.Write("Sessions/aired.txt", log);
        // Listeners: all along; 50 s of a and 5 s of the jingle; 60 s of a's second play and
        // 20 s of the file gone; and lines that are no listener of the mount. The first line is
        // in the log rotated since.
        std::string access;
        for (const auto& [start, end, request, status] :
             std::vector<std::tuple<int, int, std::string, int>>{
                 {-60, 600, "GET /kestrune.mp3", 200},
                 {50, 105, "GET /kestrune.mp3", 200},
                 {250, 330, "GET /kestrune.mp3", 200},
                 {0, 600, "GET /other.mp3", 200},
                 {0, 600, "SOURCE /kestrune.mp3", 200},
                 {0, 600, "GET /kestrune.mp3", 403}})
            access += "127.0.0.1 - - " + AccessTime(SixLocal() + end * 1000) + " \"" + request +
                      " HTTP/1.1\" " + std::to_string(status) + " 1234 \"-\" \"VLC\" " +
                      std::to_string(end - start) + "\n";
        const size_t first = access.find('\n') + 1;
        dir.Write("access.log.1", access.substr(0, first));
        dir.Write("access.log", access.substr(first));
    }
    std::string Song(const std::string& name) const { return dir / ("Music/" + name + ".mp3"); }
    testing::CliResult Report(const std::string& format, const std::string& out) const {
        return RunCliCopy(program,
                          {"report", "--from", "2026-12-09", "--format", format, out,
                           "--access-log", dir / "access.log.1", "--access-log",
                           dir / "access.log"},
                          dir.Path());
    }
};

TEST(CliReport, WritesTheSoundExchangeRowsAndThePlaysOfTheDay) {
    ReportStation s;
    auto result = s.Report("soundexchange", "rou.txt");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    // Performances: a 2 + 2, b 1 (the first listener alone), the file gone 2; the jingle is
    // exempt; c is still on air.
    EXPECT_EQ(s.dir.Read("rou.txt"),
              "NAME_OF_SERVICE\tTRANSMISSION_CATEGORY\tFEATURED_ARTIST\tSOUND_RECORDING_TITLE\t"
              "ISRC\tALBUM_TITLE\tMARKETING_LABEL\tACTUAL_TOTAL_PERFORMANCES\r\n"
              "Test Radio\tA\tArtist A\tSong A\tUSAAA2600001\tAlbum A\tLabel \"A\"\t4\r\n"
              "Test Radio\tA\tArtist, B\tSong B\t\tAlbum B\t\t1\r\n"
              "Test Radio\tA\tLog g\tGone \"g\"\t\t\t\t2\r\n");
    EXPECT_EQ(result.out, "rou.txt: 3 rows, 5 plays (1 play of exempt songs), 7 performances\n");
    EXPECT_NE(result.err.find("1 aired file no longer there"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("still on air"), std::string::npos) << result.err;

    result = s.Report("csv", "plays.csv");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    auto at = [](int seconds) {
        std::string stamp = FormatUtcStamp(SixLocal() + seconds * 1000);
        return stamp.erase(stamp.size() - 5, 4);
    };
    EXPECT_EQ(s.dir.Read("plays.csv"),
              "UTC time,Artist,Title,Album,ISRC,Label,Seconds aired,Listeners\r\n" + at(0) +
                  ",Artist A,Song A,Album A,USAAA2600001,\"Label \"\"A\"\"\",100,2\r\n" + at(100) +
                  ",\"Artist, B\",Song B,Album B,,,10,2\r\n" + at(110) +
                  ",\"Artist, B\",Song B,Album B,,,100,1\r\n" + at(210) +
                  ",Artist A,Song A,Album A,USAAA2600001,\"Label \"\"A\"\"\",100,2\r\n" +
                  at(310) + ",Log g,\"Gone \"\"g\"\"\",,,,50,2\r\n");
}

TEST(CliReport, WrongCallsAndUnreadableFilesAreErrorsNamingTheFile) {
    ReportStation s;
    const std::vector<std::vector<std::string>> usage = {
        {"report", "--format", "csv", "x.csv"},
        {"report", "--from", "2026-12-09", "x.csv"},
        {"report", "--from", "2026-12-09", "--format", "xml", "x.csv"},
        {"report", "--from", "2026-12-09", "--format", "csv"},
        {"report", "--from", "2026-12-09", "--to", "2026-12-08", "--format", "csv", "x.csv"},
        {"report", "--from", "2026-12-32", "--format", "csv", "x.csv"}};
    for (const auto& args : usage) {
        const auto result = RunCliCopy(s.program, args, s.dir.Path());
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_NE(result.err.find("usage: kestrune-cli"), std::string::npos) << result.err;
    }
    const auto noAccess = RunCliCopy(
        s.program,
        {"report", "--from", "2026-12-09", "--format", "csv", "x.csv", "--access-log",
         s.dir / "none.log"},
        s.dir.Path());
    EXPECT_EQ(noAccess.exitCode, 2);
    EXPECT_NE(noAccess.err.find(s.dir / "none.log"), std::string::npos) << noAccess.err;
    const auto noFolder = s.Report("csv", s.dir / "no/such/folder.csv");
    EXPECT_EQ(noFolder.exitCode, 2);
    EXPECT_NE(noFolder.err.find(s.dir / "no/such/folder.csv"), std::string::npos) << noFolder.err;
    EXPECT_FALSE(fs::exists(s.dir / "x.csv"));
}

// The as-played log turned round (tac) or merged out of order gives the same report.
TEST(CliReport, ALogInAnyOrderGivesTheSameReport) {
    ReportStation s;
    ASSERT_EQ(s.Report("soundexchange", "ordered.txt").exitCode, 0);
    const std::string log = s.dir.Read("Sessions/aired.txt");
    std::vector<std::string> lines;
    for (size_t from = 0; from < log.size();) {
        const size_t end = log.find('\n', from);
        lines.push_back(log.substr(from, end + 1 - from));
        from = end + 1;
    }
    std::string reversed;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) reversed += *line;
    s.dir.Write("Sessions/aired.txt", reversed);
    const auto result = s.Report("soundexchange", "reversed.txt");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(s.dir.Read("reversed.txt"), s.dir.Read("ordered.txt"));
    EXPECT_EQ(result.err.find("not read"), std::string::npos) << result.err;
}

// A report never replaces a file it reads nor a file of the station, however it is named: the
// file stays byte for byte, exit 2, the message names it.
TEST(CliReport, NeverWritesOverItsInputsOrTheStationsFiles) {
    ReportStation s;
    s.dir.Write("Sessions/morning.cwt", "x\r\n");
    s.dir.Write("Sessions/play_history.txt", "h\r\n");
    fs::create_symlink(s.dir / "Sessions/aired.txt", s.dir / "log-link.txt");
    const struct {
        std::string output;
        const char* what;
    } cases[] = {
        {"Sessions/aired.txt", "the as-played log the report reads"},
        {s.dir / "Sessions/../Sessions/aired.txt", "the as-played log the report reads"},
        {"log-link.txt", "the as-played log the report reads"},
        {s.dir / "access.log", "an access log the report reads"},
        {"Playlists/jingles.m3u", "a playlist"},
        {"Sessions/morning.cwt", "a session, schedule or week grid file"},
        {"Sessions/play_history.txt", "a file of the station"},
        {"bin/kestrune.ini", "a file of the station"},
    };
    for (const auto& c : cases) {
        const std::string path = c.output[0] == '/' ? c.output : s.dir / c.output;
        const std::string before = s.dir.Read(path);
        const auto result = s.Report("csv", c.output);
        EXPECT_EQ(result.exitCode, 2) << c.output;
        EXPECT_NE(result.err.find("Cannot write the report to " + c.output + ": it is " +
                                  c.what + ", which a report never replaces; nothing was written."),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(s.dir.Read(path), before) << c.output;
    }
}

}  // namespace
}  // namespace kestrune
