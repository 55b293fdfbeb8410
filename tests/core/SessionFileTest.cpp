#include <gtest/gtest.h>

#include "platform/KestruneError.h"
#include "sessions/SessionFile.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::StationFixture;

const char* const kThirteenLines =
    "E:\\Lists\\demo_current.m3u\r\nE:\\Lists\\demo_oldies.m3u\r\n#\r\n"
    "E:\\Lists\\demo_current.m3u\r\nE:\\Lists\\demo_oldies.m3u\r\nE:\\Lists\\demo_current.m3u\r\n"
    "##\r\n60\r\n###\r\nE:\\Lists\\hour1.m3u\r\n####\r\n011\r\n3\r\n";

std::string LoadError(const std::string& path, BuildContext& context) {
    try {
        LoadSession(path, context);
    } catch (const KestruneError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(SessionFile, TheThirteenLineExampleReadsAndWritesByteForByte) {
    StationFixture f;
    f.dir.Write("example.cwt", kThirteenLines);
    f.session.cbTextOutput = true;
    f.session.fDMCA = {false, "5"};
    f.session.lbFinalPlaylist = {"unsaved.mp3"};
    f.session.mTextOutput = {"log of the unsaved build"};
    f.session.lbDupeArtistChecklist = {"artist stays"};
    f.view.SetMeterPosition(Meter::ProgressBar2, 77);
    LoadSession(f.dir / "example.cwt", f.context);

    EXPECT_EQ(f.session.lbMasterPlaylists.Lines(),
              (LineList{"E:\\Lists\\demo_current.m3u", "E:\\Lists\\demo_oldies.m3u"}));
    EXPECT_EQ(f.session.lbClockwheelTemplate,
              (LineList{"E:\\Lists\\demo_current.m3u", "E:\\Lists\\demo_oldies.m3u",
                        "E:\\Lists\\demo_current.m3u"}));
    EXPECT_EQ(f.session.ComboBox1, "60");
    EXPECT_EQ(f.session.lbSavePlaylist, LineList{"E:\\Lists\\hour1.m3u"});
    EXPECT_FALSE(f.session.cbTextOutput);
    EXPECT_TRUE(f.session.fGenre.cbGenreCheck);
    EXPECT_TRUE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.fDMCA.ComboBox1, "3");
    EXPECT_TRUE(f.session.lbFinalPlaylist.empty());
    EXPECT_TRUE(f.session.mTextOutput.empty()) << "the log goes with the final playlist";
    EXPECT_EQ(f.session.lbDupeArtistChecklist, LineList{"artist stays"});
    EXPECT_EQ(f.view.State(Meter::ProgressBar2).position, 0);

    f.prompts.saveAnswer = f.dir / "again.cwt";
    SaveQuestion dialog = SessionSaveDialog(f.dir.Path());
    ASSERT_TRUE(SaveSession(f.context, dialog));
    EXPECT_EQ(f.dir.Read("again.cwt"), kThirteenLines);
}

TEST(SessionFile, SaveChecksAskAndRemember) {
    StationFixture f;
    SaveQuestion dialog = SessionSaveDialog("/srv/radio/Sessions");
    EXPECT_EQ(dialog.filter, "Clock Wheel Template|*.cwt");
    EXPECT_EQ(dialog.defaultExtension, "cwt");
    EXPECT_EQ(dialog.proposedName, "*.cwt");

    f.session.ComboBox1 = "abc";
    EXPECT_THROW(SaveSession(f.context, dialog), KestruneError)
        << "the number comes before the checks";
    EXPECT_TRUE(f.prompts.messages.empty());

    f.session.ComboBox1 = "0";
    EXPECT_FALSE(SaveSession(f.context, dialog));
    f.session.lbMasterPlaylists.Add("/l/b.m3u");
    EXPECT_FALSE(SaveSession(f.context, dialog));
    f.session.lbClockwheelTemplate = {"/l/b.m3u"};
    EXPECT_FALSE(SaveSession(f.context, dialog));
    f.session.ComboBox1 = "90";
    EXPECT_FALSE(SaveSession(f.context, dialog));
    EXPECT_EQ(f.prompts.messages, (std::vector<std::string>{
                                      messages::kSessionNoPlaylists, messages::kSessionNoTemplate,
                                      messages::kSessionTooShort, messages::kSessionNoOutputFile}));
    EXPECT_TRUE(f.prompts.questions.empty());

    // Cancelled: nothing written, nothing said.
    f.session.SetOutputFile("/l/out.m3u");
    f.session.fDMCA.cbDupeCheck = false;
    f.session.cbTextOutput = true;
    f.prompts.messages.clear();
    EXPECT_FALSE(SaveSession(f.context, dialog));
    EXPECT_EQ(f.prompts.questions.size(), 1u);
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_TRUE(f.dir.Names().empty());

    // Saved over an older file; the name stays proposed.
    f.dir.Write("mine.cwt", "an older, longer session file\r\n\r\n\r\n\r\n");
    f.prompts.saveAnswer = f.dir / "mine.cwt";
    EXPECT_TRUE(SaveSession(f.context, dialog));
    EXPECT_EQ(f.dir.Read("mine.cwt"),
              "/l/b.m3u\r\n#\r\n/l/b.m3u\r\n##\r\n90\r\n###\r\n/l/out.m3u\r\n####\r\n100\r\n");
    EXPECT_EQ(dialog.proposedName, f.dir / "mine.cwt");
    EXPECT_TRUE(f.prompts.messages.empty());

    // Loading it back leaves the hours as they were: the dupe check is off.
    f.session.fDMCA.ComboBox1 = "4";
    f.session.cbTextOutput = false;
    f.session.fDMCA.cbDupeCheck = true;
    LoadSession(f.dir / "mine.cwt", f.context);
    EXPECT_TRUE(f.session.cbTextOutput);
    EXPECT_FALSE(f.session.fGenre.cbGenreCheck);
    EXPECT_FALSE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.fDMCA.ComboBox1, "4");
}

TEST(SessionFile, LoadingSortsPlaylistsAndSkipsTheLaterSeparatorsByPosition) {
    StationFixture f;
    f.dir.Write("s.cwt",
                "c.m3u\nA.m3u\r\nb.m3u\r# "
                "\r\n#\rz.m3u\nz.m3u\na.m3u\n##\n120\nanything\nout.m3u\nelse\n111\n2\n");
    LoadSession(f.dir / "s.cwt", f.context);
    EXPECT_EQ(f.session.lbMasterPlaylists.Lines(), (LineList{"# ", "A.m3u", "b.m3u", "c.m3u"}));
    EXPECT_EQ(f.session.lbClockwheelTemplate, (LineList{"z.m3u", "z.m3u", "a.m3u"}));
    EXPECT_EQ(f.session.ComboBox1, "120");
    EXPECT_EQ(f.session.OutputFile(), "out.m3u");
    EXPECT_TRUE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.fDMCA.ComboBox1, "2");
}

TEST(SessionFile, BrokenFilesStopWhereTheyEnd) {
    StationFixture f;
    auto fresh = [&] {
        f.session.lbMasterPlaylists.Clear();
        f.session.lbMasterPlaylists.Add("old.m3u");
        f.session.lbClockwheelTemplate = {"old.m3u"};
        f.session.ComboBox1 = "60";
        f.session.SetOutputFile("old-out.m3u");
        f.session.cbTextOutput = false;
        f.session.fGenre.cbGenreCheck = false;
        f.session.fDMCA = {true, "3"};
    };

    fresh();
    EXPECT_EQ(LoadError(f.dir / "missing.cwt", f.context),
              "Cannot open file " + (f.dir / "missing.cwt"));
    EXPECT_TRUE(f.session.lbMasterPlaylists.Empty());
    EXPECT_TRUE(f.session.lbClockwheelTemplate.empty());
    EXPECT_EQ(f.session.ComboBox1, "");
    EXPECT_TRUE(f.session.lbSavePlaylist.empty());

    fresh();
    f.dir.Write("nohash.cwt", "b.m3u\r\na.m3u\r\nc.m3u\r\n");
    EXPECT_EQ(LoadError(f.dir / "nohash.cwt", f.context), "List index out of bounds (3)");
    EXPECT_EQ(f.session.lbMasterPlaylists.Lines(), (LineList{"a.m3u", "b.m3u", "c.m3u"}));
    EXPECT_TRUE(f.session.lbClockwheelTemplate.empty());

    fresh();
    f.dir.Write("notemplateend.cwt", "a.m3u\r\n#\r\na.m3u\r\n# #\r\n");
    EXPECT_EQ(LoadError(f.dir / "notemplateend.cwt", f.context), "List index out of bounds (4)");
    EXPECT_EQ(f.session.lbClockwheelTemplate, (LineList{"a.m3u", "# #"}));
    EXPECT_EQ(f.session.ComboBox1, "");

    fresh();
    f.dir.Write("short.cwt", "a.m3u\r\n#\r\na.m3u\r\n##\r\n45\r\n###\r\n");
    EXPECT_EQ(LoadError(f.dir / "short.cwt", f.context), "List index out of bounds (6)");
    EXPECT_EQ(f.session.ComboBox1, "45");
    EXPECT_TRUE(f.session.lbSavePlaylist.empty());

    // Ends before the options: flags and hours keep what they had.
    fresh();
    f.session.cbTextOutput = true;
    f.dir.Write("nooptions.cwt", "a.m3u\r\n#\r\na.m3u\r\n##\r\n45\r\n###\r\nout.m3u\r\n####\r\n");
    EXPECT_EQ(LoadError(f.dir / "nooptions.cwt", f.context), "(no error)");
    EXPECT_TRUE(f.session.cbTextOutput);
    EXPECT_TRUE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.OutputFile(), "out.m3u");

    // One character of options: the first flag is applied, the others stay.
    fresh();
    f.dir.Write("onechar.cwt",
                "a.m3u\r\n#\r\na.m3u\r\n##\r\n45\r\n###\r\nout.m3u\r\n####\r\n1\r\n5\r\n");
    EXPECT_EQ(LoadError(f.dir / "onechar.cwt", f.context), "(no error)");
    EXPECT_TRUE(f.session.cbTextOutput);
    EXPECT_FALSE(f.session.fGenre.cbGenreCheck);
    EXPECT_TRUE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.fDMCA.ComboBox1, "3");

    // Dupe check on, but the hours line is missing: the hours stay.
    fresh();
    f.dir.Write("nohours.cwt",
                "a.m3u\r\n#\r\na.m3u\r\n##\r\n45\r\n###\r\nout.m3u\r\n####\r\nx1y\r\n");
    EXPECT_EQ(LoadError(f.dir / "nohours.cwt", f.context), "(no error)");
    EXPECT_FALSE(f.session.cbTextOutput);
    EXPECT_TRUE(f.session.fGenre.cbGenreCheck);
    EXPECT_FALSE(f.session.fDMCA.cbDupeCheck);
    EXPECT_EQ(f.session.fDMCA.ComboBox1, "3");
}

}  // namespace
}  // namespace kestrune
