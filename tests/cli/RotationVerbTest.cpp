#include <gtest/gtest.h>

#include <filesystem>

#include "onair/AsPlayedLog.h"
#include "support/CliRunner.h"
#include "support/LocalTime.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::RunCli;
using testing::TempDir;

// A station of one session (currents and the exempt jingles, the Dupe Checker at 3 hours) with
// a play history around 2026-12-09 and an as-played log of its 06:00 and 07:00 hours.
struct RotationStation {
    TempDir dir;
    RotationStation() {
        std::filesystem::create_directories(dir / "Playlists");
        std::filesystem::create_directories(dir / "Sessions");
        dir.Write("kestrune.ini", "[Rules]\r\nhistory=1\r\nexempt=jingles.m3u\r\n");
        // b by a path relative to the list, d never played.
        dir.Write("Playlists/currents.m3u", "#EXTM3U\r\n" + Song("a") +
                                                "\r\n../Music/b.mp3\r\n" + Song("c") + "\r\n" +
                                                Song("d") + "\r\n");
        dir.Write("Playlists/jingles.m3u", Song("j") + "\r\n");
        const std::string currents = dir / "Playlists/currents.m3u";
        dir.Write("Sessions/hour.cwt", currents + "\r\n" + dir / "Playlists/jingles.m3u" +
                                           "\r\n#\r\n" + currents + "\r\n##\r\n6\r\n###\r\n" +
                                           dir / "out.m3u" + "\r\n####\r\n001\r\n3\r\n");
        // The 06:00 play of a gives way to what aired: c as a filler at 06:00, a at 07:00.
        dir.Write("Sessions/play_history.txt", Played("2026-12-08 05:00:00", "Ana", "a") +
                                                   Played("2026-12-09 05:00:00", "Ana", "a") +
                                                   Played("2026-12-09 05:04:00", "Bo", "b") +
                                                   Played("2026-12-09 06:00:00", "Ana", "a") +
                                                   Played("2026-12-09 07:05:00", "Bo", "b"));
        std::string log = "# Kestrune as-played log\n";
        const int64_t six = testing::LocalMomentMs(2026, 12, 9, 6);
        log += Aired(six, "filler", "c", "Cy", currents);
        log += Aired(six + 3600000, "plan", "a", "Ana", dir / "Playlists/onair.m3u8");
        dir.Write("Sessions/aired.txt", log);
    }
    std::string Song(const std::string& name) const { return dir / ("Music/" + name + ".mp3"); }
    std::string Played(const std::string& start, const std::string& artist,
                       const std::string& name) const {
        return start + "\t200\t" + artist + "\tSong " + name + "\t\t" + Song(name) + "\r\n";
    }
    std::string Aired(int64_t startMs, const std::string& kind, const std::string& name,
                      const std::string& artist, const std::string& list) const {
        return FormatUtcStamp(startMs) + "\tstart\t" + kind + "\t" + Song(name) + "\t" + artist +
               "\tSong " + name + "\t" + list + "\n" + FormatUtcStamp(startMs + 200000) +
               "\tend\t200.000\tended\t" + Song(name) + "\n";
    }
};

TEST(CliRotation, EachCategoryFromTheHistoryFollowingTheAir) {
    RotationStation s;
    const auto text = RunCli({"rotation", "--from", "2026-12-09"}, s.dir.Path());
    EXPECT_EQ(text.exitCode, 0) << text.err;
    // Plays a 05, b 05, c 06 (aired), a 07 (aired), b 07; the same-hour repeat is a at 05.
    // Ana at 07:00 and Bo at 07:05 come two hours after their 05:00 plays: the artist breaks.
    EXPECT_EQ(text.out,
              "Rotation 2026-12-09 to 2026-12-09: 24 hours, 3 with plays, 5 plays\n"
              "currents.m3u: 4 songs, 5 plays, turnover 2.4 h; plays per song min 0 median 1.5 "
              "max 2, never played 1; hour exposure mean 1.7 min 1; same-hour repeats 1\n"
              "jingles.m3u (exempt): 1 song, not counted\n"
              "Rule artist: 3 kept, 2 broken (60.0% kept)\n");
    EXPECT_EQ(text.err, "");

    const auto csv = RunCli({"rotation", "--from", "2026-12-09", "--to", "2026-12-09", "--csv",
                             "--station", s.dir.Path()},
                            "/");
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find("\r\n")),
              "kind,name,exempt,songs,plays,turnover_hours,min_plays,median_plays,max_plays,"
              "never_played,mean_exposure,min_exposure,same_hour_repeats,kept,broken,"
              "kept_percent");
    EXPECT_NE(csv.out.find("\r\ncategory,currents.m3u,0,4,5,2.4,0,1.5,2,1,1.7,1,1,,,\r\n"),
              std::string::npos)
        << csv.out;
    EXPECT_NE(csv.out.find("\r\nrule,artist,,,,,,,,,,,,3,2,60.0\r\n"), std::string::npos)
        << csv.out;
}

TEST(CliRotation, WrongCallsAndMissingHistory) {
    RotationStation s;
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"rotation"}, 2, "kestrune-cli: rotation needs --from YYYY-MM-DD\n"},
        {{"rotation", "--from", "09.12.2026"}, 2,
         "kestrune-cli: --from must be a date YYYY-MM-DD, not \"09.12.2026\"\n"},
        {{"rotation", "--from", "2026-12-09", "--to", "2026-12-08"}, 2,
         "kestrune-cli: --to comes before --from\n"},
        {{"rotation", "--from", "2026-12-09", "extra"}, 2,
         "kestrune-cli: rotation takes no argument \"extra\"\n"},
        // Days the history no longer holds (it keeps what the rules look back at).
        {{"rotation", "--from", "2026-12-01", "--to", "2026-12-02"}, 0,
         "No play in the history from 2026-12-01 to 2026-12-02\n"},
    };
    for (const Case& c : cases) {
        const auto result = RunCli(c.args, s.dir.Path());
        EXPECT_EQ(result.exitCode, c.exit) << c.args.back();
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err) << result.err;
    }
    // A file that is no session and a session whose category is gone are named and left out.
    s.dir.Write("Sessions/broken.cwt", "x\r\n");
    const std::string gone = s.dir / "Playlists/gone.m3u";
    s.dir.Write("Sessions/other.cwt", gone + "\r\n#\r\n" + gone + "\r\n##\r\n6\r\n###\r\n" +
                                          s.dir / "out.m3u" + "\r\n####\r\n000\r\n");
    std::filesystem::remove(s.dir / "Sessions/play_history.txt");
    const auto none = RunCli({"rotation", "--from", "2026-12-09"}, s.dir.Path());
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_NE(none.err.find("No play history: " + s.dir / "Sessions/play_history.txt" +
                            " is not there ([Rules] history=1 keeps one)\n"),
              std::string::npos)
        << none.err;
    EXPECT_NE(none.err.find(s.dir / "Sessions/broken.cwt" + " cannot be read as a session: "),
              std::string::npos)
        << none.err;
    EXPECT_NE(none.err.find("Category playlist left out: Cannot open file " +
                            s.dir / "Playlists/gone.m3u\n"),
              std::string::npos)
        << none.err;
    EXPECT_NE(none.out.find("currents.m3u: 4 songs, 0 plays;"), std::string::npos) << none.out;
}

}  // namespace
}  // namespace kestrune
