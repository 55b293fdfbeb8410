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

    // Removing a master playlist that slots use asks whether they go too: No keeps them.
    s.lbClockwheelTemplate = {"A.m3u"};
    Button2Click(s, 0, prompts);
    Button2Click(s, -1, prompts);
    EXPECT_EQ(s.lbMasterPlaylists.Lines(), (LineList{"b.m3u", "b.m3u", "c.m3u"}));
    EXPECT_EQ(s.lbClockwheelTemplate, LineList{"A.m3u"});
    EXPECT_EQ(prompts.yesNoQuestions,
              std::vector<std::string>{
                  "1 slot of the Clock Wheel Template uses A.m3u. Remove that slot too?"});
}

TEST(TemplateEditor, RemovingAPlaylistAsksAboutTheSlotsThatUseIt) {
    BuildSession s;
    testing::ScriptedPrompts prompts;
    prompts.yesNoAnswer = true;
    AddMasterPlaylists(s, {"b.m3u", "a.m3u", "c.m3u", "b.m3u"});
    s.lbClockwheelTemplate = {"b.m3u", "a.m3u", "b.m3u", "c.m3u"};
    Button2Click(s, 1, prompts);  // one of the two b.m3u: the other still feeds the slots
    EXPECT_TRUE(prompts.yesNoQuestions.empty());
    EXPECT_EQ(s.lbClockwheelTemplate.size(), 4u);
    Button2Click(s, 1, prompts);
    EXPECT_EQ(prompts.yesNoQuestions,
              std::vector<std::string>{
                  "2 slots of the Clock Wheel Template use b.m3u. Remove those slots too?"});
    EXPECT_EQ(s.lbClockwheelTemplate, (LineList{"a.m3u", "c.m3u"}));
    EXPECT_EQ(s.lbMasterPlaylists.Lines(), (LineList{"a.m3u", "c.m3u"}));
    Button2Click(s, 0, prompts);
    Button2Click(s, 0, prompts);
    EXPECT_TRUE(s.lbClockwheelTemplate.empty());
    EXPECT_EQ(prompts.yesNoQuestions.size(), 3u);

    // A playlist no slot uses goes without a question.
    AddMasterPlaylists(s, {"d.m3u"});
    Button2Click(s, 0, prompts);
    EXPECT_EQ(prompts.yesNoQuestions.size(), 3u);
    EXPECT_TRUE(s.lbMasterPlaylists.Empty());

    s.lbClockwheelTemplate = {"A.m3u"};
    Button3Click(s);
    EXPECT_TRUE(s.lbMasterPlaylists.Empty());
    btClearTemplateClick(s);
    EXPECT_TRUE(s.lbClockwheelTemplate.empty());
}

}  // namespace
}  // namespace kestrune
