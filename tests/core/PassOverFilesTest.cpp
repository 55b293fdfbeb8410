#include <gtest/gtest.h>

#include <deque>

#include "building/PassOverFiles.h"
#include "support/Station.h"

namespace kestrune {
namespace {

class AnsweringPrompts : public testing::ScriptedPrompts {
public:
    int AskOpenError(const std::string& fileName) override {
        openErrors.push_back(fileName);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<int> answers;
};

TEST(PassOverFiles, IgnoreAllAnswersTheRestOfTheCommandWithoutAsking) {
    AnsweringPrompts prompts;
    PassOverFiles question(prompts);
    prompts.answers = {kAnswerRetry, kAnswerIgnore, kAnswerCancel, kAnswerIgnoreAll};
    EXPECT_EQ(question.Ask("/m/a.mp3"), kAnswerRetry);
    EXPECT_EQ(question.Ask("/m/a.mp3"), kAnswerIgnore);
    EXPECT_EQ(question.Ask("/m/b.mp3"), kAnswerCancel);
    EXPECT_EQ(question.Ask("/m/c.mp3"), kAnswerIgnore) << "the reader knows no Ignore All";
    for (const char* later : {"/m/d.mp3", "/m/a.mp3", "/m/e.mp3", "/m/d.mp3"})
        EXPECT_EQ(question.Ask(later), kAnswerIgnore);
    EXPECT_EQ(prompts.openErrors.size(), 4u) << "no box after Ignore All";
    EXPECT_EQ(question.PassedOver(),
              (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"}));
    EXPECT_EQ(question.Summary(),
              "Passed over 5 files that could not be read: /m/a.mp3, /m/b.mp3, /m/c.mp3 and 2 "
              "more.");

    // The next command asks again.
    question.Reset();
    EXPECT_EQ(question.Summary(), "");
    prompts.answers = {kAnswerIgnore};
    EXPECT_EQ(question.Ask("/m/f.mp3"), kAnswerIgnore);
    EXPECT_EQ(prompts.openErrors.size(), 5u);
    EXPECT_EQ(question.Summary(), "Passed over 1 file that could not be read: /m/f.mp3.");
}

}  // namespace
}  // namespace kestrune
