#include <gtest/gtest.h>

#include "building/TemplateEditor.h"
#include "support/Station.h"

namespace kestrune {
namespace {

TEST(TemplateEditor, SlotsAreAddedRemovedAndMoved) {
    BuildSession s;
    testing::ScriptedPrompts prompts;
    EXPECT_EQ(lbMasterPlaylistsDblClick(s, -1, -1), -1) << "nothing selected, nothing added";
    EXPECT_EQ(btFileUpClick(s, -1, prompts), -1);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{messages::kNoFilesToMove});

    AddMasterPlaylists(s, {"b.m3u", "A.m3u", "c.m3u", "b.m3u"});
    EXPECT_EQ(s.lbMasterPlaylists.Lines(), (LineList{"A.m3u", "b.m3u", "b.m3u", "c.m3u"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lbMasterPlaylistsDblClick(s, 0, -1), i);
    EXPECT_EQ(s.lbClockwheelTemplate, LineList(3, "A.m3u"));

    s.lbClockwheelTemplate = {"A", "B", "C"};
    prompts.messages.clear();
    EXPECT_EQ(btFileDownClick(s, -1, prompts), -1);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{messages::kSelectFileToMove});
    EXPECT_EQ(btFileUpClick(s, 1, prompts), 0);
    EXPECT_EQ(s.lbClockwheelTemplate, (LineList{"B", "A", "C"}));
    EXPECT_EQ(btFileDownClick(s, 0, prompts), 1);
    EXPECT_EQ(s.lbClockwheelTemplate, (LineList{"A", "B", "C"}));
    EXPECT_EQ(btFileUpClick(s, 0, prompts), 0);
    EXPECT_EQ(btFileDownClick(s, 2, prompts), 2);
    EXPECT_EQ(s.lbClockwheelTemplate, (LineList{"A", "B", "C"}));
    EXPECT_EQ(prompts.messages.size(), 1u) << "the ends move nothing and say nothing";

    EXPECT_EQ(lbClockwheelTemplateDblClick(s, 1), -1);
    EXPECT_EQ(s.lbClockwheelTemplate, (LineList{"A", "C"}));
    lbClockwheelTemplateDblClick(s, 5);
    EXPECT_EQ(s.lbClockwheelTemplate.size(), 2u);

    // Removing a master playlist leaves the slots that name it.
    s.lbClockwheelTemplate = {"A.m3u"};
    Button2Click(s, 0);
    Button2Click(s, -1);
    EXPECT_EQ(s.lbMasterPlaylists.Lines(), (LineList{"b.m3u", "b.m3u", "c.m3u"}));
    EXPECT_EQ(s.lbClockwheelTemplate, LineList{"A.m3u"});
    Button3Click(s);
    EXPECT_TRUE(s.lbMasterPlaylists.Empty());
    btClearTemplateClick(s);
    EXPECT_TRUE(s.lbClockwheelTemplate.empty());
}

}  // namespace
}  // namespace kestrune
